#!/usr/bin/env bash
# A reminder with the mind method "开机提醒" pops up when the program starts,
# hands its message over through TmpFile.tmp and is marked as reminded.
#
# usage: popup_on_start.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init popup_on_start "$1" "$2"
e2e_start_desktop
e2e_write_autostart
# Every day at 23:59, reminded at every start (mind method 2).
e2e_write_items Hour=23 Min=59 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=2 \
    "Message=Kelvo e2e reminder" Music=
e2e_start_kelvo

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder popup did not appear"
e2e_shot popup-on-start "$popup"
e2e_kelvo_running || e2e_fail "the program ended early"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 1 || e2e_fail "ReMinded was not set"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "Kelvo e2e reminder" || e2e_fail "hand-off file wrong"
e2e_log "passed"
