#!/usr/bin/env bash
# Starts the real program on a virtual X display with a window manager and a
# notification area, holding a reminder that is due at start, and waits for
# the reminder popup. A screenshot of the screen is left in the output
# directory. Exit 77 (skipped) when there is no X virtual frame buffer.
#
# usage: popup_on_start.sh KELVO_BINARY OUTPUT_DIR
set -uo pipefail

kelvo=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)

command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 77; }
for tool in jwm xdotool xwininfo import; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Polls a command until it succeeds, for at most $1 tenths of a second.
wait_for() {
    local tries=$1
    shift
    for ((t = 0; t < tries; t++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

free_display() {
    for n in $(seq 70 130); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

n=$(free_display) || { echo "no free X display number"; exit 1; }
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 100 xwininfo -root || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

jwm -f "$here/jwmrc" >"$work/jwm.log" 2>&1 &
pids+=($!)
sleep 0.5

data="$work/data"
mkdir "$data"
# Every day at 23:59, reminded at every start (mind method 2).
cat >"$data/DataFile.dat" <<'DATA'
[Main]
Items=1
OpenTimes=0
[Item1]
Year=0
Month=0
Day=0
Hour=23
Min=59
ReMinded=0
RdBefore=0
MindMethod=2
Message=Kelvo e2e reminder
Music=
DATA

# Log-on entries in a folder of the test's own, never the user's; one that
# already exists keeps the first start from asking about it.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/autostart"
printf '[Desktop Entry]\nType=Application\nName=Kelvo\nExec=%s\n' "$kelvo" \
    >"$XDG_CONFIG_HOME/autostart/Kelvo1.00.desktop"

QT_QPA_PLATFORM=xcb "$kelvo" --dir "$data" >"$work/kelvo.log" 2>&1 &
pids+=($!)
kelvo_pid=$!

find_popup() {
    xdotool search --onlyvisible --name '^提醒$'
}
if ! wait_for 300 find_popup; then
    echo "the reminder popup did not appear"
    xwininfo -root -tree | head -40
    cat "$work/kelvo.log"
    import -window root "$out/e2e-no-popup.png" 2>/dev/null
    exit 1
fi
sleep 0.5
import -window root "$out/e2e-popup.png"
echo "popup window $(find_popup | head -1); screenshot $out/e2e-popup.png"

kill -0 "$kelvo_pid" 2>/dev/null || { echo "kelvo ended early"; cat "$work/kelvo.log"; exit 1; }
grep -q '^ReMinded=1' "$data/DataFile.dat" || { echo "ReMinded was not set"; exit 1; }
grep -q '^Msg=Kelvo e2e reminder' "$data/TmpFile.tmp" || { echo "hand-off file wrong"; exit 1; }
exit 0
