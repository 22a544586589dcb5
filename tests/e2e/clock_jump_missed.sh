#!/usr/bin/env bash
# The clock of the running program jumps three hours ahead, as after a
# suspend or a clock set forward: the reminders of the gap come up in one
# "错过的提醒" window and none pops up; they are marked reminded, and the
# reminders before and after the gap are left alone. libfaketime reads the
# clock from a file the test rewrites.
#
# usage: clock_jump_missed.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init clock_jump_missed "$1" "$2"
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=8 Min=0 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: before" Music= \
    Hour=10 Min=0 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: ten" Music= \
    Hour=11 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: half past eleven" Music= \
    Hour=13 Min=0 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: after" Music=
e2e_clock_file "2026-12-07 08:59:48"
e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}"

e2e_wait 20 bash -c "[ -n \"\$(source $E2E_HERE/lib.sh; e2e_tray_icon)\" ]" || e2e_fail "no tray icon"
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "the main window did not go to the tray"
e2e_set_clock "2026-12-07 11:59:53"
e2e_log "the clock jumped three hours"

# The program looks again at the latest when the minute it slept into ends.
missed=$(e2e_wait_window 30 错过的提醒) || e2e_fail "no list of missed reminders"
e2e_shot missed-after-jump "$missed"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item2 ReMinded 1 || e2e_fail "10:00 is not marked reminded"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item3 ReMinded 1 || e2e_fail "11:30 is not marked reminded"
sleep 2
[ "$(e2e_windows 错过的提醒)" -eq 1 ] || e2e_fail "more than one list of missed reminders"
e2e_window_gone 提醒 || e2e_fail "a reminder of the gap popped up"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 0 || e2e_fail "08:00 was listed"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item4 ReMinded 0 || e2e_fail "13:00 was listed"
e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2026-12-07 1[12]:[0-9]+" ||
    e2e_fail "the last checked minute was not stored"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
