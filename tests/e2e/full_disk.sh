#!/usr/bin/env bash
# The disk fills up while the program runs (a file-size limit of 0 set on
# the running program, with SIGXFSZ ignored, so that every write fails as on
# a full disk): the reminder still pops up at its minute with its message,
# no box stands in front of it, and the failure is told once, in the tray,
# with the file and the reason. Once writing works again the next minute
# stores the reminder's mark and the checked minute, and a restart neither
# brings the reminder back nor lists it as missed. Closing the popup on the
# full disk brings no box either.
#
# usage: full_disk.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init full_disk "$1" "$2"
e2e_require prlimit
e2e_start_desktop
e2e_start_notification_log
e2e_write_config 0
e2e_write_autostart
e2e_write_items Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: written nowhere" Music=
# Ten times as fast: a minute is six seconds, the reminder due some 18 s
# after the start.
e2e_clock_file "2026-12-07 08:27:00 x10"

e2e_has_tray_icon() {
    [ -n "$(e2e_tray_icon)" ]
}
reason="文件超出了允许的大小"

# Ignored here, ignored in the program: a write past the limit fails with
# EFBIG instead of ending the program.
trap '' XFSZ
e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}"
e2e_wait 20 e2e_has_tray_icon || e2e_fail "no tray icon"
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "the main window did not go to the tray"
# The start's writes are done: both start counts and the minute checked.
e2e_wait 10 e2e_ini_has "$E2E_DATA/Config.ini" Sys OpenTimes 21 &&
    e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Main OpenTimes 1 &&
    e2e_wait 10 e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2026-12-07 08:2[7-9]" ||
    e2e_fail "the start did not store its counts and the minute checked"
prlimit --pid "$E2E_KELVO_PID" --fsize=0:unlimited || e2e_fail "prlimit failed"
data_before=$(cat "$E2E_DATA/DataFile.dat")
e2e_log "the disk is full"

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder did not pop up on the full disk"
e2e_window_gone Kelvo || e2e_fail "a box stands in front of the reminder"
e2e_wait 10 e2e_told 1 "$reason" || e2e_fail "the failure was not told in the tray"
grep -F "$reason" "$E2E_NOTIFICATIONS" | grep -qF "$E2E_DATA/" ||
    e2e_fail "the tray message does not name the file: $(cat "$E2E_NOTIFICATIONS")"
e2e_shot full-disk-popup "$popup"
[ "$(cat "$E2E_DATA/DataFile.dat")" = "$data_before" ] || e2e_fail "the data file changed"
# The popup's own message: its command button would show a command, its
# text is on its message button; the screenshot shows it. The hand-off file
# could not carry it.
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: written nowhere" 2>/dev/null &&
    e2e_fail "the hand-off was written on the full disk"

# Two minutes later, still full: nothing more is told.
sleep 12
e2e_told 1 "$reason" || e2e_fail "the failure was told again: $(cat "$E2E_NOTIFICATIONS")"
e2e_window_gone Kelvo || e2e_fail "a box came up on the full disk"

# Closing stores the popup's place, which fails too: still nothing in a box.
e2e_click_control "$popup" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
sleep 1
e2e_window_gone Kelvo || e2e_fail "a box came up when the popup closed"
e2e_told 1 "$reason" || e2e_fail "the failure was told again: $(cat "$E2E_NOTIFICATIONS")"

prlimit --pid "$E2E_KELVO_PID" --fsize=unlimited || e2e_fail "prlimit failed"
e2e_log "room again"
e2e_wait 15 e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 1 ||
    e2e_fail "the mark was not stored once writing worked again"
e2e_wait 10 e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2026-12-07 08:3[3-9].*" ||
    e2e_fail "the checked minute was not stored"

e2e_log "restart"
kill -TERM "$E2E_KELVO_PID"
e2e_wait 20 bash -c "! kill -0 $E2E_KELVO_PID" || e2e_fail "the program did not end at SIGTERM"
wait "$E2E_KELVO_PID" 2>/dev/null
e2e_set_clock "2026-12-07 08:40:00 x10"
e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}"
e2e_wait 20 e2e_has_tray_icon || e2e_fail "no tray icon after the restart"
sleep 4
e2e_window_gone 提醒 || e2e_fail "the reminder came again after the restart"
e2e_window_gone 错过的提醒 || e2e_fail "the shown reminder was listed as missed"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
