#!/usr/bin/env bash
# Two reminders of 08:30 are up; kelvoctl deletes reminder 1, before them,
# through the running program. The later one's popup is closed, and the
# earlier one put off by a minute: the snooze brings back that reminder
# under its new number, not the one that now bears its old number. The clock
# runs ten times as fast.
#
# usage: delete_under_popup.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init delete_under_popup "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=6 Min=0 Year=2000 Month=1 Day=1 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: old" Music= \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: A" Music= \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: B" Music=
kelvoctl=$(dirname "$E2E_KELVO")/kelvoctl
e2e_start_kelvo faketime -f "@2026-12-07 08:29:55 x10"

e2e_two_popups() {
    [ "$(e2e_windows 提醒)" -eq 2 ]
}
e2e_wait 30 e2e_two_popups || e2e_fail "not both reminders of 08:30 are up: $(e2e_windows 提醒)"
for item in 2 3; do
    e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" "Item$item" ReMinded 1 ||
        e2e_fail "item $item is not marked reminded"
done
out=$("$kelvoctl" --dir "$E2E_DATA" delete 1 2>&1) || e2e_fail "kelvoctl delete failed: $out"
[[ $out == *"through the running Kelvo"* ]] || e2e_fail "the delete did not go through the program: $out"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 Message "e2e: A" || e2e_fail "A did not move down"

# B's popup lies on top of A's.
mapfile -t popups < <(xdotool search --onlyvisible --name '^提醒$' | sort -n)
e2e_click_control "${popups[1]}" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 bash -c "[ \"\$(xdotool search --onlyvisible --name '^提醒$' | wc -l)\" -eq 1 ]" ||
    e2e_fail "B's popup did not close"
e2e_click_control "${popups[0]}" showmsg FlatSpeedButton2 3 # X分后提醒
e2e_wait 10 e2e_open_menu || e2e_fail "the remind-later menu did not open"
xdotool key Down Return
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "A's popup stayed after the snooze"
e2e_log "A, now reminder 1, put off by a minute"
: >"$E2E_DATA/TmpFile.tmp"

again=$(e2e_wait_window 30 提醒) || e2e_fail "the snoozed reminder did not come back"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: A" ||
    e2e_fail "the snooze fired for another reminder: $(cat "$E2E_DATA/TmpFile.tmp")"
e2e_click_control "$again" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
