#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the translation units of
# the program and its fuzz targets that do not compile against Qt, as the
# build's compile_commands.json has them; fails on any finding.
#   scripts/check-tidy.sh [BUILD_DIR]      (default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
if [ -z "$tidy" ]; then
    echo "clang-tidy is not installed (scripts/deps.sh installs it)"
    [ "${CI:-}" = true ] && exit 1
    exit 77
fi
mapfile -t files < <(python3 - "$build/compile_commands.json" "$root" <<'PY'
import json, sys
entries = json.load(open(sys.argv[1]))
root = sys.argv[2].rstrip("/") + "/"
files = {e["file"] for e in entries
         if e["file"].startswith((root + "src/", root + "fuzz/"))
         and "qt6" not in e.get("command", " ".join(e.get("arguments", [])))}
print("\n".join(sorted(files)))
PY
)
[ ${#files[@]} -gt 0 ] || { echo "no sources in $build/compile_commands.json"; exit 1; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\0' "${files[@]}" |
    xargs -0 -n 4 -P "$(nproc)" "$tidy" -p "$build" --quiet \
        --extra-arg=-Wno-unknown-warning-option >"$log" 2>/dev/null || status=1
if [ $status -ne 0 ]; then
    cat "$log"
    echo "findings: $(grep -E '^/.*: (warning|error):' "$log" | sort -u | wc -l)"
    exit 1
fi
echo "${#files[@]} sources without findings"
