#!/usr/bin/env bash
# Another program holds the data file's lock (as a kelvoctl stopped in the
# middle of a change does) when a reminder falls due: the popup comes at its
# minute all the same, with no box in front of it; the lock held on is told
# once, in the tray; the reminder's mark is stored as soon as the lock is
# free, and the reminder does not come twice.
#
# usage: lock_held_popup.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init lock_held_popup "$1" "$2"
e2e_require flock
e2e_start_desktop
e2e_start_notification_log
e2e_write_config 0
e2e_write_autostart
e2e_write_items Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: behind a lock" Music=
# Ten times as fast: the reminder is due some 18 s after the start.
e2e_clock_file "2026-12-07 08:27:00 x10"

e2e_has_tray_icon() {
    [ -n "$(e2e_tray_icon)" ]
}
lock=$E2E_DATA/.DataFile.dat.lock

e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}"
e2e_wait 20 e2e_has_tray_icon || e2e_fail "no tray icon"
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "the main window did not go to the tray"
# -o: flock holds the lock itself, not the sleep it waits for.
flock -o "$lock" sleep 600 >/dev/null 2>&1 &
holder=$!
E2E_PIDS+=($holder)
e2e_wait 5 bash -c "! flock -n '$lock' true" || e2e_fail "the lock was not taken"
E2E_PIDS+=($(pgrep -P "$holder"))
e2e_log "the lock is held"

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder did not pop up while the lock was held"
e2e_window_gone Kelvo || e2e_fail "a box stands in front of the reminder"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 0 || e2e_fail "marked through a held lock"
e2e_shot lock-held-popup "$popup"
e2e_wait 15 e2e_told 1 "另一个程序正在修改" || e2e_fail "the held lock was not told in the tray"
grep -qF "$E2E_DATA/DataFile.dat" "$E2E_NOTIFICATIONS" || e2e_fail "the tray message names no file"
e2e_window_gone Kelvo || e2e_fail "a box came up while the lock was held"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 0 || e2e_fail "marked through a held lock"

pkill -P "$holder" # its sleep: flock then ends and lets the lock go
e2e_wait 10 bash -c "flock -n '$lock' true" || e2e_fail "the lock was not let go"
e2e_log "the lock is free"
e2e_wait 5 e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 1 ||
    e2e_fail "the mark was not stored once the lock was free"
[ "$(e2e_windows 提醒)" -eq 1 ] || e2e_fail "the reminder came more than once"
e2e_told 1 "另一个程序正在修改" || e2e_fail "the held lock was told more than once"
e2e_click_control "$popup" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
