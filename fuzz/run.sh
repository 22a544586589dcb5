#!/usr/bin/env bash
# Builds the fuzz targets (CMake preset "fuzz", clang) and runs each for a
# set time, keeping what it learns outside the repository:
#   fuzz/run.sh [SECONDS] [TARGET...]     (default: 600 seconds, every target)
# Each run reads the committed seeds fuzz/seeds/<target>/ and the working
# corpus ${XDG_CACHE_HOME:-~/.cache}/kelvo/fuzz/<target>/ (or
# $KELVO_FUZZ_CORPUS/<target>/), writes what it finds into the working corpus
# and minimises that afterwards. The only file it writes into the repository
# is an input that found a fault, into fuzz/regressions/<target>/, which the
# normal test build replays. The last line of each run (executions,
# coverage) is appended to build-fuzz/summary.txt.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
work=${KELVO_FUZZ_CORPUS:-${XDG_CACHE_HOME:-$HOME/.cache}/kelvo/fuzz}
seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_profile fuzz_integer fuzz_list_line fuzz_exchange fuzz_quick_phrases
             fuzz_command_tag fuzz_calendar)
fi

cd "$root"
"$root/scripts/deps.sh" --fuzz || exit 1
[ -f "$build/CMakeCache.txt" ] || cmake --preset fuzz >/dev/null || exit 1
cmake --build "$build" --target "${targets[@]}" >/dev/null || exit 1

status=0
for t in "${targets[@]}"; do
    seeds=$root/fuzz/seeds/$t
    corpus=$work/$t
    regressions=$root/fuzz/regressions/$t
    mkdir -p "$corpus" "$regressions"
    echo "== $t: $seconds s, corpus $corpus"
    # New inputs go into the first folder only; the seeds are read.
    nice "$build/bin/$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$regressions/" "$corpus" "$seeds" >"$build/$t.log" 2>&1
    rc=$?
    [ $rc -eq 0 ] || { status=1; echo "   $t stopped with status $rc: see $build/$t.log"; }
    { printf '%s %ss: ' "$t" "$seconds"; grep -E '^#[0-9]+[[:space:]]+DONE' "$build/$t.log" | tail -1
      grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/$t.log"; } \
        | tee -a "$build/summary.txt"
    # Keep the working corpus small: only the inputs that add coverage.
    minimised=$(mktemp -d "$work/.$t.XXXXXX")
    "$build/bin/$t" -merge=1 "$minimised" "$corpus" >>"$build/$t.log" 2>&1 &&
        rm -rf "$corpus" && mv "$minimised" "$corpus"
    rm -rf "$minimised"
done
exit $status
