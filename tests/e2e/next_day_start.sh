#!/usr/bin/env bash
# The program is ended in the evening and started the next morning: the
# reminders that fell due meanwhile, and a snooze that came due, are listed
# in "错过的提醒" at the start instead of being lost; a snooze still ahead
# waits on, and nothing pops up.
#
# usage: next_day_start.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init next_day_start "$1" "$2"
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=20 Min=0 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: evening" Music= \
    Hour=7 Min=30 Year=2026 Month=12 Day=8 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: morning" Music= \
    Hour=9 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: later" Music= \
    Hour=6 Min=0 Year=2025 Month=1 Day=1 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: snoozed" Music=

e2e_has_tray_icon() {
    [ -n "$(e2e_tray_icon)" ]
}
e2e_ended() {
    ! e2e_kelvo_running
}

e2e_clock_file "2026-12-07 17:58:55"
e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}"
e2e_wait 20 e2e_has_tray_icon || e2e_fail "no tray icon"
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "the main window did not go to the tray"
kill -TERM "$E2E_KELVO_PID"
e2e_wait 20 e2e_ended || e2e_fail "the program did not end at SIGTERM"
e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2026-12-07 17:5[89]" ||
    e2e_fail "the last checked minute was not stored at the end"
e2e_log "ended in the evening"

# Two snoozes of the evening: one came due in the night, one is still ahead.
printf '[Main]\r\nCount=2\r\n[Snooze1]\r\nItem=4\r\nDue=%s\r\n[Snooze2]\r\nItem=3\r\nDue=%s\r\n' \
    "$(date -d '2026-12-08 02:00' +%s)" "$(date -d '2026-12-08 09:00' +%s)" >"$E2E_DATA/Snooze.ini"
e2e_set_clock "2026-12-08 08:10:00"
e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}"
missed=$(e2e_wait_window 20 错过的提醒) || e2e_fail "no list of missed reminders at the start"
e2e_shot missed-at-start "$missed"
for item in 1 2 4; do
    e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" "Item$item" ReMinded 1 || e2e_fail "item $item was not listed"
done
e2e_ini_has "$E2E_DATA/DataFile.dat" Item3 ReMinded 0 || e2e_fail "a reminder not yet due was listed"
e2e_ini_has "$E2E_DATA/Snooze.ini" Main Count 1 && e2e_ini_has "$E2E_DATA/Snooze.ini" Snooze1 Item 3 ||
    e2e_fail "the snooze file does not keep just the snooze ahead"
sleep 1
e2e_window_gone 提醒 || e2e_fail "a missed reminder popped up"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
