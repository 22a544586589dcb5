#!/usr/bin/env bash
# A reminder fires at its minute, on a clock that libfaketime starts just
# before it and runs ten times as fast: the popup comes up on top of the other
# windows with the message, is put off by one minute from its button's menu,
# and comes up again once the minute has run down.
#
# usage: popup_snooze.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init popup_snooze "$1" "$2"
e2e_require faketime
e2e_start_desktop
# The main window stays up, so that the popup has a window to be above.
e2e_write_config 1
e2e_write_autostart
e2e_write_items Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: stretch your legs" Music=
e2e_start_kelvo faketime -f "@2026-12-07 08:29:50 x10"

e2e_wait_window 30 Kelvo >/dev/null || e2e_fail "the main window is not shown"
popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder did not pop up"
e2e_wait 5 e2e_on_top "$popup" || e2e_fail "the popup is not above the other windows"
[ -n "$(e2e_window Kelvo)" ] || e2e_fail "the main window is gone"
xprop -id "$popup" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || e2e_fail "the popup does not stay on top"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: stretch your legs" || e2e_fail "wrong hand-off"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 1 || e2e_fail "the item is not marked reminded"
e2e_shot popup "$popup"

# The remind-later button's context menu; its first item is "1 分后提醒".
e2e_click_control "$popup" showmsg FlatSpeedButton2 3
e2e_wait 10 e2e_open_menu || e2e_fail "the remind-later menu did not open"
xdotool key Down Return
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup stayed after the snooze"
e2e_log "snoozed for a minute"

# One minute of the fast clock is six seconds; allow two minutes.
again=$(e2e_wait_window 20 提醒) || e2e_fail "the snoozed reminder did not come back"
e2e_log "popped up again"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: stretch your legs" || e2e_fail "wrong hand-off"
e2e_click_control "$again" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
