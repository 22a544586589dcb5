#!/usr/bin/env bash
# Installs what running needs, builds and starts Kelvo. Arguments go to the
# program, e.g. --dir DIR to keep the data files in DIR; without it they are in
# $XDG_DATA_HOME/kelvo (~/.local/share/kelvo), outside the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh" run
# A fresh build folder gets the program alone; one that test.sh configured
# keeps its tests.
options=()
[ -f "$build/CMakeCache.txt" ] || options=(-DKELVO_BUILD_TESTS=OFF -DKELVO_BUILD_BENCH=OFF)
"$root/scripts/build.sh" "${options[@]}"
exec "$build/bin/kelvo" "$@"
