#!/usr/bin/env bash
# Builds Kelvo without its windows, with AddressSanitizer and
# UndefinedBehaviorSanitizer, into build-sanitize/ (or $KELVO_BUILD_DIR-sanitize)
# and runs the tests of the core, the modules and kelvoctl there. Any finding
# aborts the program that made it, so the test fails. Arguments go to ctest,
# e.g. -R storage_tests; with --build-only as the only argument it configures
# and builds, and runs nothing (test.sh builds it so beside the other tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD_DIR:-$root/build}-sanitize
# Unoptimised, with line tables only: the quickest build whose reports
# still name file and line.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DKELVO_SANITIZE=ON -DKELVO_BUILD_GUI=OFF -DKELVO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
[ "$*" = --build-only ] && exit 0
cd "$build"
# Leaks are looked for too: these programs hold no Qt. abort_on_error makes a
# finding end the program by SIGABRT, which no test takes for an expected
# exit status of its own. Tests that preload libfaketime put it in front of
# the ASan runtime, which is harmless but would stop the program.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:verify_asan_link_order=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:abort_on_error=1
# Left out: the source checks, and the crash test, which kills its driver
# hundreds of times and checks the files, not the memory.
ctest --output-on-failure --no-tests=error -j "$(nproc)" \
    -E '^(source_(format|tidy)|Writes/CrashConsistency\..*)$' "$@"
