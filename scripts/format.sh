#!/usr/bin/env bash
# Formats every C++ source of the project by .clang-format.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
find src tests bench fuzz -path fuzz/seeds -prune -o -path fuzz/regressions -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i
