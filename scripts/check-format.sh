#!/usr/bin/env bash
# Fails when a C++ source of the project is not formatted by .clang-format
# (clang-format 14, as Debian 12 has it). scripts/format.sh formats them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -d '' files < <(find src tests bench fuzz -path fuzz/seeds -prune -o \
    -path fuzz/regressions -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
clang-format --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted"
