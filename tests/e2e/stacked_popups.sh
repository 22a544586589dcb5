#!/usr/bin/env bash
# Three reminders a minute apart, none of the popups closed, as a user away
# from the desk leaves them: the minute check goes on under the open popups,
# each later popup comes up 24 pixels right of and below the one before it,
# and all three reminders are marked reminded. The clock runs ten times as
# fast, from just before the first.
#
# usage: stacked_popups.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init stacked_popups "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: first" Music= \
    Hour=8 Min=31 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: second" Music= \
    Hour=8 Min=32 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: third" Music=
e2e_start_kelvo faketime -f "@2026-12-07 08:29:50 x10"

e2e_three_popups() {
    [ "$(e2e_windows 提醒)" -eq 3 ]
}
# One minute of the fast clock is six seconds.
e2e_wait 60 e2e_three_popups || e2e_fail "not three popups, but $(e2e_windows 提醒)"
e2e_log "three popups open"
for item in 1 2 3; do
    e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" "Item$item" ReMinded 1 ||
        e2e_fail "item $item is not marked reminded"
done
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: third" || e2e_fail "wrong last hand-off"

# Stacked in the order they came: window ids grow with their creation.
mapfile -t popups < <(xdotool search --onlyvisible --name '^提醒$' | sort -n)
read -r x1 y1 < <(e2e_origin "${popups[0]}")
read -r x2 y2 < <(e2e_origin "${popups[1]}")
read -r x3 y3 < <(e2e_origin "${popups[2]}")
e2e_log "popups at $x1,$y1  $x2,$y2  $x3,$y3"
[ $((x2 - x1)) -eq 24 ] && [ $((y2 - y1)) -eq 24 ] && [ $((x3 - x2)) -eq 24 ] &&
    [ $((y3 - y2)) -eq 24 ] || e2e_fail "the popups are not stacked 24 pixels apart"
e2e_shot stacked-popups
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
