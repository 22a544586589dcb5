#!/usr/bin/env bash
# The sync account dialog against a Radicale of its own (radicale.sh): a
# wrong password, the right one, saving with a new calendar, a web server
# that is no CalDAV server; then over TLS with a self-signed certificate,
# trusted from the dialog.
# account_dialog.sh SYNC_DIALOG_TESTS
source "$(dirname "$0")/radicale.sh"
export QT_QPA_PLATFORM=offscreen
HTTP_PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server --bind 127.0.0.1 --directory "$SYNC_WORK" "$HTTP_PORT" >/dev/null 2>&1 &
HTTP_PID=$!
trap 'kill $HTTP_PID; sync_cleanup' EXIT
radicale_start
for _ in $(seq 50); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $HTTP_PORT), 0.1)" 2>/dev/null && break
    sleep 0.1
done
SYNC_URL=$SYNC_URL PLAIN_HTTP_URL=http://127.0.0.1:$HTTP_PORT/ "$1" || exit 1
radicale_stop
radicale_use_tls
radicale_start
SYNC_URL=$SYNC_URL RADICALE_FINGERPRINT=$RADICALE_FINGERPRINT "$1" untrustedCertificateCanBeTrusted
