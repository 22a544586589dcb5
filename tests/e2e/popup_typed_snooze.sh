#!/usr/bin/env bash
# A reminder is put off from the keyboard: "2" typed at its popup and Enter
# snooze it for two minutes, kept in Snooze.ini, and it comes back when they
# have run down. The clock (libfaketime) runs ten times as fast.
#
# usage: popup_typed_snooze.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init popup_typed_snooze "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: typed snooze" Music=

e2e_fake_start 10
e2e_start_kelvo faketime -f "@2026-12-07 08:29:50 x10"

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder did not pop up"
sleep 0.5
e2e_key "$popup" 2 Return
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup stayed after 2 and Enter"
put_off=$(e2e_fake_seconds)
e2e_wait 10 e2e_ini_has "$E2E_DATA/Snooze.ini" Main Count 1 || e2e_fail "the snooze was not stored"
e2e_log "put off at 08:29:50 + ${put_off} s: $(tr -d '\r' <"$E2E_DATA/Snooze.ini" | tr '\n' ' ')"

again=$(e2e_wait_window 30 提醒) || e2e_fail "the snoozed reminder did not come back"
back=$(e2e_fake_seconds)
e2e_log "back at 08:29:50 + ${back} s"
# Two minutes are 120 s of this clock; a poll of a tenth of a second is a second.
[ $((back - put_off)) -ge 110 ] || e2e_fail "it came back after $((back - put_off)) s, not 120"
[ $((back - put_off)) -lt 150 ] || e2e_fail "it came back late, after $((back - put_off)) s"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: typed snooze" || e2e_fail "wrong hand-off"
e2e_click_control "$again" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
