#!/usr/bin/env bash
# The hand-off file cannot be written (a directory stands in its place, as
# a full disk would refuse it): the popup comes with the reminder that fired,
# not what the file might hold, and no box stands in front of it; the error
# is told in the tray. The reminder's command, run at once with AutoRunCmd,
# shows which one it got.
#
# usage: failed_handoff.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init failed_handoff "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_start_notification_log
e2e_write_config 0
sed -i 's/^\[Sys\]$/[Sys]\nAutoRunCmd=1/' "$E2E_DATA/Config.ini"
e2e_write_autostart
e2e_write_items Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: the right one[cmd:touch $E2E_WORK/ran]" Music=
mkdir "$E2E_DATA/TmpFile.tmp"
e2e_start_kelvo faketime -f "@2026-12-07 08:29:30 x10"

# The message box, a dialog: not the main window, which bears the same title
# for the moment before it goes to the tray.
error_box() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Kelvo$' 2>/dev/null); do
        xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _DIALOG && {
            echo "$id"
            return 0
        }
    done
    return 1
}
popup=$(e2e_wait_window 30 提醒) || e2e_fail "no popup after the failed hand-off"
! error_box || e2e_fail "a box stands in front of the reminder"
e2e_wait 10 e2e_told 1 "$E2E_DATA/TmpFile.tmp" || e2e_fail "the failed hand-off was not told"
e2e_wait 10 test -e "$E2E_WORK/ran" || e2e_fail "the popup did not carry the reminder that fired"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 1 || e2e_fail "the item is not marked reminded"
e2e_shot handoff-failed-popup "$popup"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
