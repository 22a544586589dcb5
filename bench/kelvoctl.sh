#!/usr/bin/env bash
# Times kelvoctl's add and "delete 1" on a data file of 10,000 reminders:
# directly in the file, and delete handed to a running kelvo (offscreen), which
# also reloads its list; and due over a day and a year, and next, on 10,000
# reminders with their spread-out dates (output to /dev/null). Each figure is the median of RUNS runs, wall and CPU
# (user + system) of the kelvoctl process; the running program's own work is
# in the wall time of the handed-over delete.
#   bench/kelvoctl.sh [BUILD_DIR]   (default build-measure, a Release build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-measure}
runs=${RUNS:-9}

if [ -z "${NO_BUILD:-}" ]; then # NO_BUILD=1: the build directory's programs as they are
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVO_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --target kelvo kelvoctl kelvo_make_data >/dev/null
fi

work=$(mktemp -d)
kelvo_pid=
cleanup() {
    [ -n "$kelvo_pid" ] && kill "$kelvo_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/data"
chmod 700 "$XDG_RUNTIME_DIR"
ctl=$build/bin/kelvoctl

median() { sort -n | awk '{v[NR]=$1} END {printf "%.1f", v[int((NR+1)/2)]}'; }

# measure NAME ARGS...: median wall and CPU ms of kelvoctl ARGS, on a fresh
# copy of the 10,000 reminders before each run.
measure() {
    local name=$1 wall=() cpu=()
    shift
    for _ in $(seq "$runs"); do
        cp "$work/master.dat" "$work/data/DataFile.dat"
        local TIMEFORMAT='%R %U %S' t
        t=$({ time "$ctl" --dir "$work/data" "$@" >/dev/null; } 2>&1)
        read -r r u s <<<"$t"
        wall+=("$(awk -v r="$r" 'BEGIN {print r * 1000}')")
        cpu+=("$(awk -v u="$u" -v s="$s" 'BEGIN {print (u + s) * 1000}')")
    done
    printf '%-34s wall %8s ms  cpu %8s ms\n' "$name" \
        "$(printf '%s\n' "${wall[@]}" | median)" "$(printf '%s\n' "${cpu[@]}" | median)"
}

mkdir -p "$work/firing"
"$build/bin/kelvo_make_data" "$work/firing" 10000 hidden firing
cp "$work/firing/DataFile.dat" "$work/master.dat"
echo "== kelvoctl due and next at 10,000 reminders, median of $runs runs"
measure "due over one day" due --from "2024-03-04 00:00" --to "2024-03-04 23:59"
measure "due over one year" due --from "2024-03-04 00:00" --to "2025-03-03 23:59"
measure "next 10" next
printf 'firings in the year: %s\n' \
    "$("$ctl" --dir "$work/data" due --from "2024-03-04 00:00" --to "2025-03-03 23:59" | wc -l)"

"$build/bin/kelvo_make_data" "$work/data" 10000 hidden
cp "$work/data/DataFile.dat" "$work/master.dat"
echo "== kelvoctl at 10,000 reminders, median of $runs runs"
measure "add (no program running)" add '*-*-* 12:00' 午饭
measure "delete 1 (no program running)" delete 1

QT_QPA_PLATFORM=offscreen "$build/bin/kelvo" --dir "$work/data" >/dev/null 2>&1 &
kelvo_pid=$!
for _ in $(seq 100); do ls "$XDG_RUNTIME_DIR"/kelvo-*.socket >/dev/null 2>&1 && break; sleep 0.1; done
"$ctl" --dir "$work/data" delete 1 | grep -q "through the running Kelvo" ||
    { echo "the running program did not take the delete"; exit 1; }
measure "delete 1 (through running kelvo)" delete 1
