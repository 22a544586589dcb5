#!/usr/bin/env bash
# A program started from a build tree, without --dir, keeps its data in the
# user's data directory ($XDG_DATA_HOME/kelvo), not beside itself: a reminder
# added there survives the removal of the build folder, and the rebuilt
# program reminds of it. With the marker file kelvo-portable beside it, the
# program keeps its data there instead.
#
# usage: data_location.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init data_location "$1" "$2"
built=$(dirname "$(readlink -f "$E2E_KELVO")")
tree=$E2E_WORK/checkout/build/bin
E2E_DATA=$XDG_DATA_HOME/kelvo

# "Builds" the tree: the programs and modules as the build puts them.
build_tree() {
    mkdir -p "$tree"
    cp "$built"/kelvo "$built"/kelvoctl "$built"/kelvo_*.so "$tree"/
    E2E_KELVO=$tree/kelvo
}

start_from_tree() {
    QT_QPA_PLATFORM=xcb "$tree/kelvo" >>"$E2E_WORK/kelvo.log" 2>&1 &
    E2E_KELVO_PID=$!
    E2E_PIDS+=("$E2E_KELVO_PID")
}

stop_kelvo() {
    kill "$E2E_KELVO_PID"
    wait "$E2E_KELVO_PID" 2>/dev/null
}

e2e_start_desktop
build_tree
mkdir -p "$E2E_DATA"
e2e_write_config 1
mkdir -p "$XDG_CONFIG_HOME/autostart"
printf '[Desktop Entry]\nType=Application\nName=Kelvo\nExec=%s\n' "$tree/kelvo" \
    >"$XDG_CONFIG_HOME/autostart/Kelvo1.00.desktop"

start_from_tree
e2e_wait_window 30 Kelvo >/dev/null || e2e_fail "the main window is not shown"
# Every day at 23:59, and at every start.
"$tree/kelvoctl" add "*-*-* 23:59" "Kept outside the build" --mode 2 >/dev/null ||
    e2e_fail "kelvoctl add failed"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 Message "Kept outside the build" ||
    e2e_fail "the reminder is not in $E2E_DATA"
e2e_ini_has "$E2E_DATA/Config.ini" Sys OpenTimes 21 || e2e_fail "the start was not counted there"
stop_kelvo
leftovers=$(ls "$tree" | grep -v -e '^kelvo$' -e '^kelvoctl$' -e '^kelvo_.*\.so$')
[ -z "$leftovers" ] || e2e_fail "files beside the program: $leftovers"

# A clean rebuild.
rm -rf "$E2E_WORK/checkout/build"
build_tree
start_from_tree
popup=$(e2e_wait_window 30 提醒) || e2e_fail "the rebuilt program did not remind at its start"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "Kept outside the build" ||
    e2e_fail "the popup is not the kept reminder's"
e2e_shot data-location-popup "$popup"
"$tree/kelvoctl" list | grep -q "Kept outside the build" || e2e_fail "kelvoctl does not list it"
stop_kelvo

# A portable copy, marked as one, keeps its own files.
touch "$tree/kelvo-portable"
"$tree/kelvoctl" add "*-*-* 23:58" "Portable" >/dev/null || e2e_fail "portable kelvoctl add failed"
e2e_ini_has "$tree/DataFile.dat" Item1 Message Portable || e2e_fail "no data beside the marker"
grep -q Portable "$E2E_DATA/DataFile.dat" && e2e_fail "the portable copy wrote the user's data"
e2e_log "passed"
