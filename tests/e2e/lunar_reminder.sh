#!/usr/bin/env bash
# A reminder that repeats every lunar year on 八月十五 (first on 2026-09-25)
# pops up on 2027's 八月十五, 15 September, on a clock that libfaketime starts
# just before its minute; its twin without the lunar keys (what a reader of
# the date keys alone sees) stays silent on that day.
#
# usage: lunar_reminder.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init lunar_reminder "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
e2e_write_items Hour=9 Min=0 Year=2026 Month=9 Day=25 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: mid-autumn" Music= LunarRepeat=1 LunarMonth=8 LunarDay=15 LunarLeap=0 \
    Hour=9 Min=0 Year=2026 Month=9 Day=25 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: plain date" Music=
e2e_start_kelvo faketime -f "@2027-09-15 08:59:50 x10"

e2e_wait_window 30 Kelvo >/dev/null || e2e_fail "the main window is not shown"
popup=$(e2e_wait_window 30 提醒) || e2e_fail "the lunar reminder did not pop up"
e2e_shot lunar-popup "$popup"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: mid-autumn" || e2e_fail "wrong hand-off"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 1 || e2e_fail "the lunar item is not marked"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item2 ReMinded 0 || e2e_fail "the plain twin fired"
e2e_log "passed"
