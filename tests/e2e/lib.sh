# Shared steps of the end-to-end scenarios: a virtual X display with a window
# manager and a notification area, optionally a PulseAudio server with a null
# sink, the real program on a data directory of the test's own, and helpers
# that wait for windows, click, type and take screenshots.
#
# A scenario sources this file, calls e2e_init with the program and the output
# directory, and then uses the functions below. Everything started is killed
# and every temporary file removed when the script ends, however it ends.
# Log-on entries of the program go to a config folder inside the temporary
# directory, never to the user's own.

set -uo pipefail

E2E_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_PIDS=()
E2E_KELVO_PID=

# e2e_init NAME KELVO_BINARY OUTPUT_DIR
e2e_init() {
    E2E_NAME=$1
    E2E_KELVO=$2
    E2E_OUT=$3/e2e
    mkdir -p "$E2E_OUT"
    e2e_require Xvfb jwm xdotool xwininfo xprop import
    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-e2e-$E2E_NAME.XXXXXX")
    trap e2e_cleanup EXIT
    # A test ended from outside (CTest's time-out) cleans up as well.
    trap 'exit 143' TERM
    trap 'exit 130' INT
    trap 'exit 129' HUP
    E2E_DATA=$E2E_WORK/data
    mkdir -p "$E2E_DATA" "$E2E_WORK/home" "$E2E_WORK/config" "$E2E_WORK/runtime"
    chmod 700 "$E2E_WORK/runtime"
    # The program under test and every helper see only the test's folders.
    export HOME=$E2E_WORK/home
    export XDG_CONFIG_HOME=$E2E_WORK/config
    export XDG_RUNTIME_DIR=$E2E_WORK/runtime
    export XDG_DATA_HOME=$E2E_WORK/home/.local/share
    unset DISPLAY PULSE_SERVER DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
}

# e2e_skip REASON: skips the scenario (exit 77) on a developer's machine
# that lacks something it needs; in CI (CI=true), where scripts/deps.sh has
# installed everything, the lack is a failure.
e2e_skip() {
    if [ "${CI:-}" = true ]; then
        echo "FAIL: $1 (CI=true: nothing may be missing)"
        exit 1
    fi
    echo "SKIP: $1"
    exit 77
}

# Skips the scenario when a tool it needs is not installed.
e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || e2e_skip "$tool is not installed"
    done
}

e2e_cleanup() {
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${E2E_PIDS[i]}" 2>/dev/null
    done
    for i in "${E2E_PIDS[@]}"; do
        wait "$i" 2>/dev/null
    done
    rm -rf "$E2E_WORK"
}

e2e_log() {
    echo "[$E2E_NAME $(date +%T.%N | cut -c1-12)] $*"
}

# Reports a failure with the program's output and a screenshot, and ends.
e2e_fail() {
    echo "FAIL: $*"
    if [ -n "${DISPLAY:-}" ]; then
        xwininfo -root -tree 2>/dev/null | grep -v '^$' | head -40
        import -window root "$E2E_OUT/$E2E_NAME-failure.png" 2>/dev/null &&
            echo "screenshot: $E2E_OUT/$E2E_NAME-failure.png"
    fi
    for log in "$E2E_WORK"/*.log "$E2E_DATA"/*.ini "$E2E_DATA"/*.dat; do
        [ -s "$log" ] && { echo "--- $log"; tail -"${E2E_LOG_LINES:-30}" "$log"; }
    done
    exit 1
}

# e2e_wait SECONDS COMMAND...: polls the command until it succeeds.
e2e_wait() {
    local tenths=$(($1 * 10)) t
    shift
    for ((t = 0; t < tenths; t++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Starts Xvfb on a display number the server picks itself, then jwm with a
# task bar and a notification area along the top edge, where the tray menu
# opens below the pointer, clear of the icon that was clicked.
e2e_start_desktop() {
    local fifo=$E2E_WORK/displayfd
    mkfifo "$fifo"
    # -noreset: by default the server resets when its last client leaves (the
    # readiness probe below), and a window manager connecting meanwhile fails.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" \
        >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    local n
    read -r -t 20 n <"$fifo" || e2e_fail "Xvfb did not start"
    export DISPLAY=":$n"
    e2e_wait 20 xwininfo -root || e2e_fail "display $DISPLAY does not answer"
    jwm -f "$E2E_HERE/jwmrc" >"$E2E_WORK/jwm.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 20 xwininfo -root -name JWM || e2e_fail "jwm did not start"
    e2e_wait 20 env QT_QPA_PLATFORM=xcb "$(dirname "$E2E_KELVO")/e2e_tray_ready" ||
        e2e_fail "jwm's tray did not come up"
    e2e_log "desktop on $DISPLAY"
}

# Starts PulseAudio with one null sink named "kelvo" whose monitor the test
# records, reachable through a socket of the test's own.
e2e_start_pulse() {
    e2e_require pulseaudio pactl parec sox
    local sock=$E2E_WORK/pulse.sock
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --system=false -F /dev/null \
        --load="module-null-sink sink_name=kelvo" \
        --load="module-native-protocol-unix socket=$sock auth-anonymous=1" \
        >"$E2E_WORK/pulse.log" 2>&1 &
    E2E_PIDS+=($!)
    export PULSE_SERVER=unix:$sock
    e2e_wait 20 pactl info || e2e_fail "PulseAudio did not start"
    pactl set-default-sink kelvo
}

# e2e_record_start FILE: records the null sink's monitor as raw 16-bit mono.
# A stream of zeros keeps the sink running, so that the monitor delivers
# silence while nothing plays and the recording keeps step with the clock.
e2e_record_start() {
    pacat --playback --device=kelvo --format=s16le --rate=44100 --channels=1 \
        </dev/zero 2>>"$E2E_WORK/parec.log" &
    E2E_PIDS+=($!)
    parec --device=kelvo.monitor --format=s16le --rate=44100 --channels=1 \
        --latency-msec=20 >"$1" 2>>"$E2E_WORK/parec.log" &
    E2E_RECORDER=$!
    E2E_RECORDING=$1
    E2E_PIDS+=("$E2E_RECORDER")
    e2e_wait 20 test -s "$1" || e2e_fail "nothing is recorded from the sink's monitor"
}

# The position of the recording now, in seconds: what has been written so
# far, which with the short latency trails the sink by a few milliseconds.
e2e_record_time() {
    awk -v bytes="$(stat -c %s "$E2E_RECORDING")" 'BEGIN { printf "%.2f\n", bytes / 88200 }'
}

# e2e_recorded SECONDS: the recording holds at least SECONDS (fractions allowed).
e2e_recorded() {
    awk -v have="$(e2e_record_time)" -v want="$1" 'BEGIN { exit !(have + 0 >= want + 0) }'
}

e2e_record_stop() {
    kill "$E2E_RECORDER" 2>/dev/null
    wait "$E2E_RECORDER" 2>/dev/null
}

# e2e_rms FILE START [LENGTH]: RMS amplitude (0 … 1) of a stretch of a
# recording; without a length, to its end.
e2e_rms() {
    sox -t raw -r 44100 -e signed -b 16 -c 1 "$1" -n trim "$2" ${3:+"$3"} stat 2>&1 |
        awk '/^RMS +amplitude/ { print $3 }'
}

# e2e_louder_than VALUE LIMIT: succeeds when VALUE > LIMIT.
e2e_louder_than() {
    awk -v v="${1:-0}" -v l="$2" 'BEGIN { exit !(v + 0 > l + 0) }'
}

# e2e_write_items KEY=VALUE...: writes a data file with these reminder items;
# each "Hour=" argument starts the next item.
e2e_write_items() {
    local file=$E2E_DATA/DataFile.dat count
    count=$(printf '%s\n' "$@" | grep -c '^Hour=')
    {
        printf '[Main]\nItems=%d\nOpenTimes=0\n' "$count"
        local n=0 line
        for line in "$@"; do
            if [[ $line == Hour=* ]]; then
                n=$((n + 1))
                printf '[Item%d]\n' "$n"
            fi
            printf '%s\n' "$line"
        done
    } >"$file"
}

# A settings file as a second start leaves it: the window goes to the tray
# unless SHOW_MAIN is 1.
e2e_write_config() {
    local show_main=${1:-0}
    printf '[Sys]\nShowMainForm=%s\nOpenTimes=20\nFormLeft=100\nFormTop=100\n' \
        "$show_main" >"$E2E_DATA/Config.ini"
    printf '[ShowMsg]\nFormLeft=324\nFormTop=196\n[NewItem]\nFormLeft=339\nFormTop=198\n' \
        >>"$E2E_DATA/Config.ini"
}

# A log-on entry that starts the program on the test's data directory, so
# that a start asks nothing.
e2e_write_autostart() {
    mkdir -p "$XDG_CONFIG_HOME/autostart"
    printf '[Desktop Entry]\nType=Application\nName=Kelvo\nExec=%s --dir %s\n' \
        "$(readlink -f "$E2E_KELVO")" "$E2E_DATA" >"$XDG_CONFIG_HOME/autostart/Kelvo1.00.desktop"
}

# e2e_start_kelvo [WRAPPER...]: starts the program on the test's data
# directory, behind an optional wrapper command such as faketime.
e2e_start_kelvo() {
    QT_QPA_PLATFORM=xcb "$@" "$E2E_KELVO" --dir "$E2E_DATA" \
        >"$E2E_WORK/kelvo.log" 2>&1 &
    E2E_KELVO_PID=$!
    E2E_PIDS+=("$E2E_KELVO_PID")
}

# The path of libfaketime; skips the scenario without it.
e2e_faketime_lib() {
    local lib
    lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 /usr/lib/faketime/libfaketime.so.1 \
        2>/dev/null | head -1)
    [ -n "$lib" ] || e2e_skip "libfaketime is not installed"
    echo "$lib"
}

# faketime -f SPEC COMMAND...: COMMAND with libfaketime preloaded, on the
# clock SPEC as libfaketime reads it ("@2026-12-07 08:29:50 x10", "+2h"),
# in place of Debian's faketime wrapper, which keeps a semaphore named by its
# own process number: a killed run leaves it in /dev/shm for a later process
# of the same number to fail on ("sem_open: File exists"). COMMAND takes the
# place of the shell that calls this (by exec), so that a program started in
# the background keeps the process number $! names: call it with & or in
# $(...), never in the scenario's own shell.
faketime() {
    [ "$1" = -f ] || e2e_fail "faketime takes -f SPEC"
    local spec=$2 lib
    shift 2
    lib=$(e2e_faketime_lib) || exit
    exec env LD_PRELOAD="$lib" FAKETIME="$spec" "$@"
}

# e2e_clock_file TIME: a clock the test moves while the program runs, read by
# libfaketime from a file at every call; it starts at TIME ("YYYY-MM-DD
# hh:mm:ss") and runs at the real pace. The wrapper for e2e_start_kelvo is
# left in the array E2E_CLOCK_WRAPPER.
e2e_clock_file() {
    local lib
    lib=$(e2e_faketime_lib) || exit
    E2E_CLOCK_FILE=$E2E_WORK/faketime.rc
    e2e_set_clock "$1"
    E2E_CLOCK_WRAPPER=(env LD_PRELOAD="$lib" FAKETIME_TIMESTAMP_FILE="$E2E_CLOCK_FILE"
        FAKETIME_NO_CACHE=1)
}

# e2e_set_clock TIME: sets the clock of e2e_clock_file to TIME, from where it
# runs on. The file is replaced whole: a reader never finds it empty.
e2e_set_clock() {
    echo "@$1" >"$E2E_CLOCK_FILE.new"
    mv "$E2E_CLOCK_FILE.new" "$E2E_CLOCK_FILE"
}

# e2e_fake_start SPEED: from now on e2e_fake_seconds tells how many seconds
# a clock running SPEED times as fast (libfaketime's xSPEED) has gone on.
e2e_fake_start() {
    E2E_FAKE_SPEED=$1
    E2E_FAKE_START=$(date +%s.%N)
}
e2e_fake_seconds() {
    awk -v s="$E2E_FAKE_START" -v n="$(date +%s.%N)" -v x="$E2E_FAKE_SPEED" \
        'BEGIN {printf "%d", (n - s) * x}'
}

# e2e_windows TITLE: how many visible windows bear exactly this title.
e2e_windows() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

# e2e_origin WINDOW: the absolute position of a window's client area, "X Y".
e2e_origin() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        END { print x, y }'
}

e2e_kelvo_running() {
    kill -0 "$E2E_KELVO_PID" 2>/dev/null
}

# e2e_window TITLE: the id of a visible window with exactly this title; the
# tray icon, which bears the program's name too, does not count.
e2e_window() {
    local id tray
    tray=$(e2e_tray_icon)
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ -n "$tray" ] && [ $((id)) -eq $((tray)) ] && continue
        echo "$id"
        return 0
    done
}

# e2e_settled WINDOW: the window is mapped and stands still: its frame is
# where it was at two polls a tenth of a second apart, so the window manager
# and the program have placed it and a click lands where the test aims.
e2e_settled() {
    local first second
    xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || return 1
    first=$(e2e_frame "$1" 2>/dev/null) || return 1
    sleep 0.1
    second=$(e2e_frame "$1" 2>/dev/null) || return 1
    [ -n "$first" ] && [ "$first" = "$second" ]
}

# e2e_wait_window SECONDS TITLE: waits for the window to come up and settle
# (e2e_settled) and prints its id.
e2e_wait_window() {
    local tenths=$(($1 * 10)) t id
    for ((t = 0; t < tenths; t++)); do
        id=$(e2e_window "$2")
        [ -n "$id" ] && e2e_settled "$id" && {
            echo "$id"
            return 0
        }
        sleep 0.1
    done
    return 1
}

e2e_window_gone() {
    [ -z "$(e2e_window "$1")" ]
}

# e2e_click WINDOW X Y [BUTTON]: clicks at a point of the window's client
# area: the move and the click go in this order on one connection, the click
# a moment after the move (an embedded tray icon takes a click only once the
# pointer has entered it).
e2e_click() {
    xdotool mousemove --window "$1" "$2" "$3" sleep 0.2 click "${4:-1}"
}

# e2e_control_box FORM NAME: where the control NAME of the window whose form
# is FORM.ui (under src/) lies in the window's client area, "X Y WIDTH
# HEIGHT", from the control's place in the form: a test names the control,
# not its pixels. The add, edit and view dialogs put a row of their own
# (the interval and the warnings days ahead) into the form at a height, and
# what lies below it moves down by the row's height (see their constructors).
e2e_control_box() {
    python3 - "$E2E_HERE/../../src" "$1" "$2" <<'PY'
import pathlib, sys, xml.etree.ElementTree as ET
src, form, name = sys.argv[1:]
files = list(pathlib.Path(src).rglob(form + ".ui"))
if len(files) != 1:
    sys.exit(f"no single form {form}.ui")
def find(widget, x, y):
    rect = widget.find("property[@name='geometry']/rect")
    if rect is not None and widget is not top:
        x += int(rect.findtext("x")); y += int(rect.findtext("y"))
    if widget.get("name") == name:
        return x, y, int(rect.findtext("width")), int(rect.findtext("height"))
    for child in widget.findall("widget"):
        found = find(child, x, y)
        if found:
            return found
    return None
top = ET.parse(files[0]).getroot().find("widget")
point = find(top, 0, 0)
if not point:
    sys.exit(f"no control {name} in {form}.ui")
rows = {"newitem": (350, 52), "edititem": (334, 52), "viewitem": (274, 36)}
if form in rows and point[1] >= rows[form][0]:
    point = (point[0], point[1] + rows[form][1]) + point[2:]
print(*point)
PY
}

# e2e_control FORM NAME: the centre of the control, "X Y" (see e2e_control_box).
e2e_control() {
    local box
    box=$(e2e_control_box "$1" "$2") || return 1
    echo "$box" | awk '{ print $1 + int($3 / 2), $2 + int($4 / 2) }'
}

# e2e_click_first_line WINDOW FORM LIST [REPEAT]: clicks (REPEAT times, a
# double click with 2) the first line of the list control LIST.
e2e_click_first_line() {
    local x y w h
    read -r x y w h < <(e2e_control_box "$2" "$3") || e2e_fail "no control $3 in $2.ui"
    xdotool mousemove --window "$1" $((x + w / 2)) $((y + 8)) click --repeat "${4:-1}" --delay 80 1
}

# e2e_click_control WINDOW FORM NAME [BUTTON]: clicks the control NAME.
e2e_click_control() {
    local point
    point=$(e2e_control "$2" "$3") || e2e_fail "no control $3 in $2.ui"
    # shellcheck disable=SC2086 # "X Y"
    e2e_click "$1" $point "${4:-1}"
}

# e2e_fill WINDOW FORM NAME TEXT: replaces the text of the field NAME.
e2e_fill() {
    local point
    point=$(e2e_control "$2" "$3") || e2e_fail "no control $3 in $2.ui"
    # shellcheck disable=SC2086 # "X Y"
    e2e_field "$1" $point "$4"
}

# e2e_key WINDOW KEYS...: activates the window and types the key chords.
e2e_key() {
    local win=$1
    shift
    xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
    xdotool key --clearmodifiers "$@"
}

# e2e_field WINDOW X Y TEXT: replaces the text of the field at that point.
e2e_field() {
    e2e_click "$1" "$2" "$3"
    xdotool key ctrl+a BackSpace
    xdotool type --delay 30 "$4"
}

# The program's icon in the notification area (an embedded 16…64 px window);
# fails while there is none.
e2e_tray_icon() {
    xwininfo -root -tree | awk '/ "Kelvo"\)  / {
        split($0, a, /\)  /); split(a[2], g, /[x+]/)
        if (g[1] >= 16 && g[1] <= 64 && g[2] >= 16 && g[2] <= 64) { print $1; found = 1; exit }
    } END { exit !found }'
}

# A popup menu of the program that is open now (an override-redirect window),
# other than the windows named in $E2E_NOT_MENUS (the desktop clock is one
# of that kind too).
e2e_open_menu() {
    local id
    for id in $(xdotool search --onlyvisible --class kelvo 2>/dev/null); do
        [[ " ${E2E_NOT_MENUS:-} " == *" $id "* ]] && continue
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
            xwininfo -id "$id" | grep -q 'Map State: IsViewable' && {
            echo "$id"
            return 0
        }
    done
    return 1
}

# e2e_tray_menu KEY: opens the tray menu with a right click and picks the item
# with that access key.
e2e_tray_menu() {
    local icon menu
    icon=$(e2e_tray_icon)
    [ -n "$icon" ] || e2e_fail "no tray icon"
    E2E_NOT_MENUS=$(xdotool search --onlyvisible --class kelvo 2>/dev/null | tr '\n' ' ')
    export E2E_NOT_MENUS
    e2e_click "$icon" 10 10 3
    e2e_wait 10 e2e_open_menu || e2e_fail "the tray menu did not open"
    menu=$(e2e_open_menu)
    xdotool key "$1"
    e2e_wait 10 bash -c "! xwininfo -id $menu 2>/dev/null | grep -q IsViewable" ||
        e2e_fail "the tray menu did not close"
    E2E_NOT_MENUS=
}

# e2e_frame_id WINDOW: the window with its frame, the window manager's parent
# of the client, or the window itself when it has no frame.
e2e_frame_id() {
    local frame root
    frame=$(xwininfo -children -id "$1" | awk '/Parent window id:/ { print $4 }')
    root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
    if [ $((frame)) -eq $((root)) ]; then echo "$1"; else echo "$frame"; fi
}

# e2e_frame WINDOW: where the window's frame stands, "X Y WIDTH HEIGHT".
e2e_frame() {
    xwininfo -id "$(e2e_frame_id "$1")" | awk '/Absolute upper-left X/ { x = $NF }
        /Absolute upper-left Y/ { y = $NF } /Width:/ { w = $NF } /Height:/ { h = $NF }
        END { print x, y, w, h }'
}

# e2e_centred WINDOW: the window's frame stands in the middle of the screen's
# work area (the screen without the task bar), to within 3 pixels.
e2e_centred() {
    local area
    # The first desktop's area; the property holds one for each.
    area=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= //p' | tr -d , | cut -d' ' -f1-4)
    [ -n "$area" ] || area="0 0 $(xwininfo -root | awk '/Width:/ { w = $NF } /Height:/ { h = $NF }
        END { print w, h }')"
    echo "$area $(e2e_frame "$1")" | awk '{
        dx = ($5 + $7 / 2) - ($1 + $3 / 2); dy = ($6 + $8 / 2) - ($2 + $4 / 2)
        exit !(dx * dx <= 9 && dy * dy <= 9) }'
}

# e2e_shot NAME [WINDOW]: saves a screenshot of a window (or the screen).
e2e_shot() {
    local file=$E2E_OUT/$1.png
    if [ -n "${2:-}" ]; then
        import -window "$(e2e_frame_id "$2")" "$file"
    else
        import -window root "$file"
    fi
    e2e_log "screenshot $file"
}

# Whether the window is stacked above every other managed window.
e2e_on_top() {
    local stack top
    stack=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    top=$(echo "$stack" | awk '{ print $NF }')
    [ $((top)) -eq $(($1)) ]
}

# e2e_ini_has FILE SECTION KEY VALUE_REGEX: a key of a section matches.
e2e_ini_has() {
    awk -v s="[$2]" -v k="$3" -v re="^($4)\$" '
        { sub(/\r$/, "") }
        /^\[/ { in_s = (tolower($0) == tolower(s)); next }
        in_s && index($0, "=") {
            key = substr($0, 1, index($0, "=") - 1)
            if (tolower(key) == tolower(k) && substr($0, index($0, "=") + 1) ~ re) found = 1
        }
        END { exit !found }' "$1"
}

# Starts a session bus of the test's own with a notification service that
# logs what the program tells in the tray to $E2E_NOTIFICATIONS, one line
# "summary<TAB>body" per notification.
e2e_start_notification_log() {
    e2e_require dbus-daemon
    local address=$E2E_WORK/bus.address
    dbus-daemon --session --nofork --print-address=3 3>"$address" >"$E2E_WORK/bus.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 test -s "$address" || e2e_fail "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -1 "$address")
    export DBUS_SESSION_BUS_ADDRESS
    E2E_NOTIFICATIONS=$E2E_WORK/notifications.log
    QT_QPA_PLATFORM=offscreen "$(dirname "$E2E_KELVO")/e2e_notification_log" "$E2E_NOTIFICATIONS" \
        >"$E2E_WORK/notification-log.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 10 test -e "$E2E_NOTIFICATIONS" || e2e_fail "the notification service did not start"
}

# e2e_told COUNT TEXT: exactly COUNT tray messages contain TEXT.
e2e_told() {
    local n
    n=$(grep -cF -- "$2" "$E2E_NOTIFICATIONS" 2>/dev/null)
    [ "${n:-0}" -eq "$1" ]
}
