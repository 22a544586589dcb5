#!/usr/bin/env bash
# The computer's clock was a day ahead and is put right while the program
# runs: the daily 08:30 reminder and a one-time 08:30 reminder of the day it
# is set back to both pop up, and neither is listed as missed. libfaketime
# reads the clock from a file the test rewrites.
#
# usage: clock_set_back.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init clock_set_back "$1" "$2"
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: daily" Music= \
    Hour=8 Min=30 Year=2026 Month=12 Day=7 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: once" Music=
# The minute of the start, on the wrong day, counts as checked.
e2e_clock_file "2026-12-08 09:00:45"
# A clock set back leaves the monotonic clock alone, and so the timers.
e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}" FAKETIME_DONT_FAKE_MONOTONIC=1

e2e_wait 20 bash -c "[ -n \"\$(source $E2E_HERE/lib.sh; e2e_tray_icon)\" ]" || e2e_fail "no tray icon"
e2e_set_clock "2026-12-07 08:29:55"
e2e_log "the clock was set back a day"

e2e_two_popups() {
    [ "$(e2e_windows 提醒)" -eq 2 ]
}
# The program looks again when the minute it slept into ends.
e2e_wait 75 e2e_two_popups || e2e_fail "not both reminders of 08:30 popped up after the set-back"
for item in 1 2; do
    e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" "Item$item" ReMinded 1 ||
        e2e_fail "item $item is not marked reminded"
done
e2e_window_gone 错过的提醒 || e2e_fail "a reminder was listed as missed"
e2e_wait 5 e2e_ini_has "$E2E_DATA/Fired.ini" Main Count 2 || e2e_fail "the fired occasions are not stored"
e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2026-12-07 08:30" ||
    e2e_fail "the minute checked again is not stored"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
