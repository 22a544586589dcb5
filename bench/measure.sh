#!/usr/bin/env bash
# Start-up, memory, idle and wake-up figures of kelvo with 10,000 reminders,
# measured in one run beside the floor (bench/Floor.cpp), on Xvfb with jwm's
# tray. Processor times come from the programs themselves (std::clock) and
# from /proc/PID/stat, so a machine loaded by other work skews them little;
# wake-ups are the voluntary context switches of the process's threads
# (/proc/PID/task/TID/status), each a sleep a thread came out of, added up
# thread by thread over the window: a thread present at both ends counts its
# increase, one started meanwhile all of its own, one that ended meanwhile
# nothing (what it did is gone with it), so the count never goes below 0.
#   bench/measure.sh [BUILD_DIR]   (default build-measure, a Release build)
#   NO_BUILD=1: the build directory's programs as they are
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-measure}
runs=${RUNS:-9}
idle_seconds=${IDLE_SECONDS:-300}

if [ -z "${NO_BUILD:-}" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVO_BUILD_TESTS=OFF -DKELVO_BUILD_BENCH=ON >/dev/null
    cmake --build "$build" --target kelvo kelvo_floor kelvo_make_data kelvo_bench kelvo_command_times
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A user of its own, so that no real settings or autostart entry are touched.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/shown" "$work/hidden"
chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
jwm -f "$root/tests/e2e/jwmrc" >/dev/null 2>&1 &
pids+=($!)
sleep 2

"$build/bin/kelvo_make_data" "$work/shown" 10000
"$build/bin/kelvo_make_data" "$work/hidden" 10000 hidden

source "$root/bench/lib.sh"

echo "== start-up to the list shown, median of $runs runs (CPU ms, wall ms)"
read -r floor_cpu floor_wall < <(startup "$build/bin/kelvo_floor")
read -r kelvo_cpu kelvo_wall < <(startup "$build/bin/kelvo" --dir "$work/shown")
load_ms=$("$build/bin/kelvo_bench" --benchmark_filter='BM_LoadList/10000$' \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '/_median/ {u = $5; gsub(/"/, "", u); f = u == "ms" ? 1 : u == "us" ? 1e-3 : 1e-6
                        printf "%.1f", $4 * f}')
target=$(awk -v f="$floor_cpu" -v l="$load_ms" 'BEGIN {printf "%.1f", 1.5 * f + l}')
echo "floor        cpu $floor_cpu ms  wall $floor_wall ms"
echo "kelvo        cpu $kelvo_cpu ms  wall $kelvo_wall ms"
echo "list load    cpu $load_ms ms (core, kelvo_bench)"
echo "target       cpu <= 1.5 x floor + list load = $target ms"

echo "== resident memory 5 s after start, idle CPU and wake-ups over $idle_seconds s (window hidden in the tray)"
"$build/bin/kelvo_floor" --hidden >/dev/null 2>&1 &
floor_pid=$!
pids+=($floor_pid)
"$build/bin/kelvo" --dir "$work/hidden" >/dev/null 2>&1 &
kelvo_pid=$!
pids+=($kelvo_pid)
sleep 5
echo "floor        RSS/PSS MB $(memory $floor_pid)"
echo "kelvo        RSS/PSS MB $(memory $kelvo_pid)"
f0=$(ticks $floor_pid)
k0=$(ticks $kelvo_pid)
wakeup_snapshot $floor_pid >"$work/floor.wake0"
wakeup_snapshot $kelvo_pid >"$work/kelvo.wake0"
sleep "$idle_seconds"
f1=$(ticks $floor_pid)
k1=$(ticks $kelvo_pid)
wakeup_snapshot $floor_pid >"$work/floor.wake1"
wakeup_snapshot $kelvo_pid >"$work/kelvo.wake1"
hz=$(getconf CLK_TCK)
pct() { awk -v d="$1" -v hz="$hz" -v s="$idle_seconds" 'BEGIN {printf "%.2f", 100 * d / hz / s}'; }
echo "floor        idle CPU $(pct $((f1 - f0))) % of one core ($((f1 - f0)) ticks)"
echo "kelvo        idle CPU $(pct $((k1 - k0))) % of one core ($((k1 - k0)) ticks)"
echo "floor        wake-ups $(wakeups "$work/floor.wake0" "$work/floor.wake1") in $idle_seconds s (threads now: $(ls /proc/$floor_pid/task | wc -l))"
echo "kelvo        wake-ups $(wakeups "$work/kelvo.wake0" "$work/kelvo.wake1") in $idle_seconds s (threads now: $(ls /proc/$kelvo_pid/task | wc -l))"

echo "== commands on 10,000 reminders (CPU ms in the program)"
QT_QPA_PLATFORM=offscreen "$build/bin/kelvo_command_times" 2>/dev/null
