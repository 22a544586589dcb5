#!/usr/bin/env bash
# Three reminders due in one minute come up at once, stacked 24 pixels
# apart, each marked reminded. The session then ends with them open
# (SIGTERM), and the next start lists none of them as missed: they were
# shown. The clock runs ten times as fast.
#
# usage: same_minute_popups.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init same_minute_popups "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: first" Music= \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: second" Music= \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: third" Music=
e2e_start_kelvo faketime -f "@2026-12-07 08:29:55 x10"

e2e_three_popups() {
    [ "$(e2e_windows 提醒)" -eq 3 ]
}
e2e_wait_window 30 提醒 >/dev/null || e2e_fail "no reminder popped up"
# Within two seconds of the first: well inside its minute, untouched.
e2e_wait 2 e2e_three_popups || e2e_fail "not three popups at once, but $(e2e_windows 提醒)"
for item in 1 2 3; do
    e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" "Item$item" ReMinded 1 ||
        e2e_fail "item $item is not marked reminded"
done
mapfile -t popups < <(xdotool search --onlyvisible --name '^提醒$' | sort -n)
read -r x1 y1 < <(e2e_origin "${popups[0]}")
read -r x3 y3 < <(e2e_origin "${popups[2]}")
[ $((x3 - x1)) -eq 48 ] && [ $((y3 - y1)) -eq 48 ] || e2e_fail "the popups are not stacked"
e2e_shot same-minute-popups

pid=$(pgrep -P "$E2E_KELVO_PID" -x kelvo || echo "$E2E_KELVO_PID")
kill -TERM "$pid"
e2e_wait 20 bash -c "! kill -0 $pid" || e2e_fail "the program did not end at SIGTERM"
e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2026-12-07 08:3[0-9]" ||
    e2e_fail "the minute shown is not stored as checked"

e2e_start_kelvo faketime -f "@2026-12-07 08:45:00 x10"
e2e_wait 20 bash -c "[ -n \"\$(source $E2E_HERE/lib.sh; e2e_tray_icon)\" ]" || e2e_fail "no tray icon"
sleep 3
e2e_window_gone 错过的提醒 || e2e_fail "reminders that were shown are listed as missed"
e2e_window_gone 提醒 || e2e_fail "a reminder popped up again"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
