#!/usr/bin/env bash
# The program with and without a sync account, on N reminders that a local
# Radicale (started as the sync tests start it, on 127.0.0.1) holds already:
# processor time until the list is shown (median of RUNS starts), resident
# memory IDLE_AFTER seconds after a start in the tray (its first sync done
# by then), and processor ticks and wake-ups over IDLE_SECONDS after that.
#   bench/sync-start.sh BUILD_DIR [N]     (N: 1000; a build with KELVO_BUILD_BENCH)
set -uo pipefail
build=$(readlink -f "$1")
count=${2:-1000}
runs=${RUNS:-5}
idle_seconds=${IDLE_SECONDS:-120}
KELVOCTL=$build/bin/kelvoctl
source "$(dirname "$0")/../tests/sync/radicale.sh"
work=$SYNC_WORK/bench
mkdir -p "$work"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
export QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS
pids=()
finish() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    sync_cleanup
}
trap finish EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
jwm -f "$(dirname "$0")/../tests/e2e/jwmrc" >/dev/null 2>&1 &
pids+=($!)

radicale_start
mkdir -p "$SYNC_WORK/A"
"$build/bin/kelvo_make_data" "$SYNC_WORK/A" "$count" hidden
computer A
ctl A sync >/dev/null || { echo "the first sync failed"; exit 1; }
cp -r "$SYNC_WORK/A" "$SYNC_WORK/plain"
sed -i '/^\[Sync\]/,$d' "$SYNC_WORK/plain/Config.ini"

source "$(dirname "$0")/lib.sh"

echo "reminders: $count"
for dir in plain A; do
    read -r cpu wall < <(startup "$build/bin/kelvo" --dir "$SYNC_WORK/$dir")
    echo "$dir: start-up to the list shown, cpu $cpu ms, wall $wall ms (median of $runs)"
done
for dir in plain A; do
    "$build/bin/kelvo" --dir "$SYNC_WORK/$dir" >/dev/null 2>&1 &
    pid=$!
    pids+=($pid)
    sleep 20
    t0=$(ticks $pid)
    wakeup_snapshot $pid >"$work/$dir.wake0"
    echo "$dir: RSS/PSS MB $(memory $pid) after 20 s, threads $(ls /proc/$pid/task | wc -l)," \
        "$(grep -c kelvo_sync /proc/$pid/maps) maps of kelvo_sync"
    sleep "$idle_seconds"
    wakeup_snapshot $pid >"$work/$dir.wake1"
    echo "$dir: over $idle_seconds s idle: $(($(ticks $pid) - t0)) ticks," \
        "wake-ups $(wakeups "$work/$dir.wake0" "$work/$dir.wake1")"
    kill $pid
done
grep -q "Uid=" "$SYNC_WORK/A/DataFile.dat" && echo "A's sync state: $(wc -l <"$SYNC_WORK/A/Sync.state") lines"
