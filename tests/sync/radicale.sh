# A Radicale server of the test's own on 127.0.0.1: a free port, a temporary
# storage folder and a users file with plain passwords (Debian's radicale
# reads plain and, with python3-bcrypt, bcrypt). Sourced by the sync
# scenarios; radicale_start starts it, and it is stopped when the script
# ends, however it ends. It listens on no other address.

set -uo pipefail

SYNC_WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-sync.XXXXXX")
RADICALE_PID=
SYNC_FAILED=0

sync_cleanup() {
    radicale_stop
    rm -rf "$SYNC_WORK"
}
trap sync_cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

# A missing server or client skips the scenario on a developer's machine and
# fails it in CI (scripts/deps.sh test installs both).
missing() {
    echo "SKIP: $1 is not installed (scripts/deps.sh test installs it)"
    [ "${CI:-}" = true ] && exit 1
    exit 77
}
command -v radicale >/dev/null || missing radicale
/usr/bin/python3 -c "import caldav" 2>/dev/null || missing python3-caldav

RADICALE_PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
SYNC_URL="http://127.0.0.1:$RADICALE_PORT/"
export KELVO_SYNC_PASSWORD=geheim
printf 'alice:geheim\n' >"$SYNC_WORK/users"
cat >"$SYNC_WORK/radicale.conf" <<CONF
[server]
hosts = 127.0.0.1:$RADICALE_PORT
[auth]
type = htpasswd
htpasswd_filename = $SYNC_WORK/users
htpasswd_encryption = plain
[storage]
filesystem_folder = $SYNC_WORK/collections
[rights]
type = owner_only
[logging]
level = warning
CONF

# From now on the server speaks TLS with a self-signed certificate made here;
# RADICALE_FINGERPRINT is its SHA-256 fingerprint (lower-case hex).
radicale_use_tls() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
        -keyout "$SYNC_WORK/key.pem" -out "$SYNC_WORK/cert.pem" 2>/dev/null
    sed -i "/^hosts = /a ssl = True\ncertificate = $SYNC_WORK/cert.pem\nkey = $SYNC_WORK/key.pem" \
        "$SYNC_WORK/radicale.conf"
    RADICALE_FINGERPRINT=$(openssl x509 -in "$SYNC_WORK/cert.pem" -noout -fingerprint -sha256 |
        sed 's/.*=//; s/://g' | tr A-F a-f)
    SYNC_URL="https://127.0.0.1:$RADICALE_PORT/"
}

# Starts the server and waits (at most 10 s) until it takes connections.
radicale_start() {
    radicale --config "$SYNC_WORK/radicale.conf" >>"$SYNC_WORK/radicale.log" 2>&1 &
    RADICALE_PID=$!
    for _ in $(seq 100); do
        python3 -c "import socket; socket.create_connection(('127.0.0.1', $RADICALE_PORT), 0.1)" \
            2>/dev/null && return 0
        sleep 0.1
    done
    echo "radicale did not start:"; cat "$SYNC_WORK/radicale.log"
    exit 1
}

radicale_stop() {
    if [ -n "$RADICALE_PID" ]; then
        kill "$RADICALE_PID" 2>/dev/null
        wait "$RADICALE_PID" 2>/dev/null
        RADICALE_PID=
    fi
}

# check WHAT COMMAND...: runs the command, counts a failure with WHAT.
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        SYNC_FAILED=1
    fi
}

# A data directory set up against the server ("a computer").
computer() {
    local dir=$SYNC_WORK/$1
    mkdir -p "$dir"
    echo "$KELVO_SYNC_PASSWORD" | "$KELVOCTL" --dir "$dir" sync --setup "$SYNC_URL" alice >/dev/null ||
        { echo "FAILED: setup of $1"; exit 1; }
}

ctl() {
    local who=$1
    shift
    "$KELVOCTL" --dir "$SYNC_WORK/$who" "$@"
}

# The messages of a computer's reminders, sorted, one a line.
messages() {
    ctl "$1" list --json | python3 -c 'import json,sys; print("\n".join(sorted(json.loads(l)["Message"] for l in sys.stdin)))'
}

# The number of the computer's reminder with this message.
number_of() {
    ctl "$1" list --json | M="$2" python3 -c 'import json,os,sys
print(next(json.loads(l)["Item"] for l in sys.stdin if json.loads(l)["Message"] == os.environ["M"]))'
}

sync_end() {
    if [ "$SYNC_FAILED" = 0 ]; then
        echo "every check passed"
        exit 0
    fi
    echo "--- radicale log"; cat "$SYNC_WORK/radicale.log"
    exit 1
}
