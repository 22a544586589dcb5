#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, then builds the
# programs without windows with the sanitizers and runs their tests again
# (scripts/sanitize.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh" test
"$root/scripts/build.sh" -DKELVO_BUILD_TESTS=ON
(cd "$build" && ctest --output-on-failure --no-tests=error -j "$(nproc)")
"$root/scripts/sanitize.sh"
