#!/usr/bin/env bash
# Installs what is missing, builds and starts Kelvo. Arguments go to the
# program, e.g. --dir DIR to keep the data files in DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
exec "${KELVO_BUILD_DIR:-$root/build}/bin/kelvo" "$@"
