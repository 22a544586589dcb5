#!/usr/bin/env bash
# Builds the fuzz targets (CMake preset "fuzz", clang) and runs each for a
# set time, keeping what it learns:
#   fuzz/run.sh [SECONDS] [TARGET...]     (default: 600 seconds, every target)
# The committed corpus fuzz/corpus/<target>/ seeds each run and is replaced
# by the minimised union of itself and what the run found. Crashing inputs
# land in fuzz/regressions/<target>/, which the normal test build replays.
# The last line of each run (executions, coverage) is appended to
# build-fuzz/summary.txt.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_profile fuzz_integer fuzz_list_line fuzz_exchange fuzz_quick_phrases
             fuzz_command_tag fuzz_calendar)
fi

cd "$root"
[ -f "$build/CMakeCache.txt" ] || cmake --preset fuzz >/dev/null || exit 1
cmake --build "$build" --target "${targets[@]}" >/dev/null || exit 1

status=0
for t in "${targets[@]}"; do
    corpus=$root/fuzz/corpus/$t
    found=$build/corpus/$t
    regressions=$root/fuzz/regressions/$t
    mkdir -p "$corpus" "$found" "$regressions"
    echo "== $t: $seconds s"
    nice "$build/bin/$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$regressions/" "$found" "$corpus" >"$build/$t.log" 2>&1
    rc=$?
    [ $rc -eq 0 ] || { status=1; echo "   $t stopped with status $rc: see $build/$t.log"; }
    { printf '%s %ss: ' "$t" "$seconds"; grep -E '^#[0-9]+[[:space:]]+DONE' "$build/$t.log" | tail -1
      grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/$t.log"; } \
        | tee -a "$build/summary.txt"
    # Keep a small corpus: only the inputs that add coverage.
    minimised=$(mktemp -d)
    "$build/bin/$t" -merge=1 "$minimised" "$corpus" "$found" >>"$build/$t.log" 2>&1 &&
        rm -rf "$corpus" && mv "$minimised" "$corpus" && chmod 755 "$corpus"
    rm -rf "$minimised"
done
exit $status
