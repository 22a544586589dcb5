#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, then runs the tests of
# the programs without windows again, built with the sanitizers
# (scripts/sanitize.sh). That second build is made at a low priority while the
# first tests run: many of those wait on a display or a fake clock and leave
# the processors idle.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh" test
# Line tables only (-g1): backtraces and sanitizer reports still name file and
# line, and the build takes a fifth less time than with full debug information.
"$root/scripts/build.sh" -DKELVO_BUILD_TESTS=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"

sanitize_log=$(mktemp)
setsid nice -n 15 "$root/scripts/sanitize.sh" --build-only >"$sanitize_log" 2>&1 &
sanitize_build=$!
stop_sanitize_build() {
    kill -- "-$sanitize_build" 2>/dev/null || true
    wait "$sanitize_build" 2>/dev/null || true
    rm -f "$sanitize_log"
}
trap stop_sanitize_build EXIT

# As many tests at once as there are cores: the end-to-end and sync tests
# start first and mostly wait, and the clang-tidy check beside them runs at a
# low priority (tests/CMakeLists.txt). Twice as many made the timing of the
# sound and window scenarios fail now and then on a busy machine.
(cd "$build" && ctest --output-on-failure --no-tests=error -j "$(nproc)")

if ! wait "$sanitize_build"; then
    cat "$sanitize_log"
    echo "the sanitizer build failed"
    exit 1
fi
tail -1 "$sanitize_log"
"$root/scripts/sanitize.sh"
