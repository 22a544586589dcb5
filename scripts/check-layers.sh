#!/usr/bin/env bash
# Fails when a source file includes a folder its layer may not include, as
# docs/ARCHITECTURE.md ("What may include what") lays the layers out. A file
# of a folder that holds both is a window when it or its header includes Qt,
# else a core file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/src"

core="core"
lunar="$core lunar"
reminders="$lunar reminders"
storage="$reminders storage"
middle="$storage ipc editors exchange ical sync clock alerts" # core files of layer 5
system="$storage ipc system"
widgets="$core storage widgets"
windows="$middle system widgets lunar clock alerts editors exchange settings"

is_window() {
    local header=${1%.cpp}.h
    grep -q '^#include <Q\|^#include "ui_' "$1" ||
        { [ -f "$header" ] && grep -q '^#include <Q\|^#include "ui_' "$header"; }
}

# The folders a file may include from.
allowed() {
    local file=$1 folder=${1%%/*} window=$2
    case "$folder" in
    core) echo "$core" ;;
    reminders) echo "$reminders" ;;
    storage) echo "$storage" ;;
    ipc) echo "$storage ipc" ;;
    system) echo "$system" ;;
    widgets) echo "$widgets" ;;
    app) echo "$windows app" ;;
    kelvoctl) echo "$middle kelvoctl" ;;
    lunar | clock | alerts | editors | exchange | ical | sync | settings)
        if [ "$window" = yes ]; then echo "$windows"; else echo "$middle"; fi ;;
    *) echo "?" ;;
    esac
}

# Core files of layer 5 use none of each other's folders but these.
core_uses() {
    case "$1" in
    ical) echo "exchange" ;;
    sync) echo "ical exchange" ;;
    *) echo "" ;;
    esac
}

status=0
while IFS= read -r -d '' file; do
    folder=${file%%/*}
    window=no
    is_window "$file" && window=yes
    may=" $(allowed "$file" "$window") "
    case "$folder" in
    core | reminders | storage | ipc | kelvoctl)
        if [ "$window" = yes ]; then
            echo "$file: a file of the core includes Qt"
            status=1
        fi ;;
    esac
    while IFS= read -r used; do
        [ "$used" = "$folder" ] && continue
        if [[ "$may" != *" $used "* ]]; then
            echo "$file includes $used/, which its layer may not"
            status=1
        elif [ "$window" = no ] && [[ " editors exchange ical sync clock alerts " == *" $folder "* ]] &&
            [[ " editors exchange ical sync clock alerts " == *" $used "* ]] &&
            [[ " $(core_uses "$folder") " != *" $used "* ]]; then
            echo "$file includes $used/, a folder of its own layer"
            status=1
        fi
    done < <(sed -n 's|^#include "\([a-z]*\)/.*|\1|p' "$file" | sort -u)
done < <(find core lunar reminders storage ipc editors exchange ical sync clock alerts settings \
    system widgets app kelvoctl -name '*.cpp' -print0 -o -name '*.h' -print0 | sort -z)
[ "$status" = 0 ] && echo "every include keeps to its layer"
exit "$status"
