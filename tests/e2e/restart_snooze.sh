#!/usr/bin/env bash
# A reminder put off by a minute, the program ended (SIGTERM) and started
# again before the minute is over: the snooze kept in Snooze.ini comes back
# at its time in the new run. The clock runs ten times as fast.
#
# usage: restart_snooze.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init restart_snooze "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: put off" Music=
e2e_start_kelvo faketime -f "@2026-12-07 08:29:50 x10"

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder did not pop up"
# The remind-later button's context menu; its first item is "1 分后提醒".
e2e_click_control "$popup" showmsg FlatSpeedButton2 3 # X分后提醒
e2e_wait 10 e2e_open_menu || e2e_fail "the remind-later menu did not open"
xdotool key Down Return
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup stayed after the snooze"
e2e_wait 10 e2e_ini_has "$E2E_DATA/Snooze.ini" Main Count 1 || e2e_fail "the snooze was not stored"
e2e_log "put off by a minute: $(tr -d '\r' <"$E2E_DATA/Snooze.ini" | tr '\n' ' ')"

pid=$(pgrep -P "$E2E_KELVO_PID" -x kelvo || echo "$E2E_KELVO_PID")
kill -TERM "$pid"
e2e_wait 20 bash -c "! kill -0 $pid" || e2e_fail "the program did not end at SIGTERM"
e2e_ini_has "$E2E_DATA/Snooze.ini" Main Count 1 || e2e_fail "the end lost the snooze"

# The second run starts ten seconds (of its clock) after the first: the
# snooze, due about 08:31:00, is half a minute ahead.
e2e_start_kelvo faketime -f "@2026-12-07 08:30:30 x10"
again=$(e2e_wait_window 30 提醒) || e2e_fail "the snooze of the last run did not come back"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: put off" || e2e_fail "wrong hand-off"
e2e_window_gone 错过的提醒 || e2e_fail "the snooze still ahead was listed as missed"
e2e_ini_has "$E2E_DATA/Snooze.ini" Main Count 0 || e2e_fail "the snooze that fired is still stored"
e2e_click_control "$again" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
