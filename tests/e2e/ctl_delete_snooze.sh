#!/usr/bin/env bash
# kelvoctl deletes through the running program: a reminder is put off from
# its popup, kelvoctl deletes a reminder before it, and the snooze fires for
# the same reminder under its new number. At SIGTERM the program ends and
# takes its socket with it; kelvoctl then deletes in the file itself.
#
# usage: ctl_delete_snooze.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init ctl_delete_snooze "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
e2e_write_items \
    Hour=6 Min=0 Year=2000 Month=1 Day=1 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: first" \
    Hour=6 Min=0 Year=2000 Month=1 Day=1 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: second" \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: third"
kelvoctl=$(dirname "$E2E_KELVO")/kelvoctl
e2e_start_kelvo faketime -f "@2026-12-07 08:29:50 x10"

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder did not pop up"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: third" || e2e_fail "wrong hand-off"
# The remind-later button's context menu; its first item is "1 分后提醒".
e2e_click_control "$popup" showmsg FlatSpeedButton2 3
e2e_wait 10 e2e_open_menu || e2e_fail "the remind-later menu did not open"
xdotool key Down Return
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup stayed after the snooze"
e2e_log "item 3 snoozed for a minute"

out=$("$kelvoctl" --dir "$E2E_DATA" delete 1 2>&1) || e2e_fail "kelvoctl delete failed: $out"
e2e_log "kelvoctl: $out"
[[ $out == *"through the running Kelvo"* ]] || e2e_fail "the delete did not go through the program: $out"
e2e_ini_has "$E2E_DATA/DataFile.dat" Main Items 2 || e2e_fail "the data file still counts 3"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item2 Message "e2e: third" || e2e_fail "item 3 did not move down"

# One minute of the fast clock is six seconds; allow two minutes and more.
again=$(e2e_wait_window 30 提醒) || e2e_fail "the snoozed reminder did not come back"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: third" ||
    e2e_fail "the snooze fired for another item: $(cat "$E2E_DATA/TmpFile.tmp")"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item2 ReMinded 1 || e2e_fail "item 2 is not marked reminded"
e2e_click_control "$again" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
e2e_log "the snooze fired for the item now numbered 2"

socket=$(ls "$XDG_RUNTIME_DIR"/kelvo-*.socket 2>/dev/null | head -1)
[ -S "$socket" ] || e2e_fail "no socket in the runtime directory"
[ "$(stat -c %a "$socket")" = 600 ] || e2e_fail "the socket is not private: $(stat -c %a "$socket")"
# The program, also where a wrapper would run it as its child.
pid=$(pgrep -P "$E2E_KELVO_PID" -x kelvo || echo "$E2E_KELVO_PID")
kill -TERM "$pid"
e2e_wait 20 bash -c "! kill -0 $pid" || e2e_fail "the program did not end at SIGTERM"
[ ! -e "$socket" ] || e2e_fail "the socket stayed after SIGTERM"
out=$("$kelvoctl" --dir "$E2E_DATA" delete 2 2>&1) || e2e_fail "kelvoctl delete failed: $out"
[[ $out == *"in the data file"* ]] || e2e_fail "the delete without a program went wrong: $out"
e2e_ini_has "$E2E_DATA/DataFile.dat" Main Items 1 || e2e_fail "the direct delete did not count down"
e2e_log "passed"
