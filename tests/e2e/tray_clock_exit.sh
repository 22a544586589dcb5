#!/usr/bin/env bash
# The tray menu of a running program: "显示  时间[&T]" shows the desktop clock,
# "退出程序[&E]" asks before ending (No keeps the program running, Yes ends
# it), and the end stores the clock switch and the window positions.
#
# usage: tray_clock_exit.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init tray_clock_exit "$1" "$2"
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_start_kelvo

# A later start: the start is counted, and the window, shown for a moment
# only, goes to the tray.
e2e_wait 30 e2e_ini_has "$E2E_DATA/Config.ini" Sys OpenTimes 21 || e2e_fail "the start was not counted"
e2e_wait 30 e2e_tray_icon || e2e_fail "no tray icon"
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "the main window did not go to the tray"

e2e_tray_menu t
clock=$(e2e_wait_window 10 ViewTime) || e2e_fail "the clock window did not show"
e2e_shot clock "$clock"

e2e_tray_menu e
question=$(e2e_wait_window 10 关闭软件) || e2e_fail "no question before the exit"
e2e_key "$question" alt+n
e2e_wait 10 e2e_window_gone 关闭软件 || e2e_fail "the question stayed open"
sleep 1
e2e_kelvo_running || e2e_fail "the program ended although the answer was No"

e2e_tray_menu e
question=$(e2e_wait_window 10 关闭软件) || e2e_fail "no question before the exit"
e2e_key "$question" alt+y
e2e_wait 20 bash -c "! kill -0 $E2E_KELVO_PID" || e2e_fail "the program did not end"
wait "$E2E_KELVO_PID"
status=$?
[ "$status" -eq 0 ] || e2e_fail "the program ended with status $status"

config=$E2E_DATA/Config.ini
e2e_ini_has "$config" Sys ShowTimeForm '1|true' || e2e_fail "ShowTimeForm was not stored"
e2e_ini_has "$config" Sys FormLeft '[0-9]+' || e2e_fail "no main window position"
e2e_ini_has "$config" Sys FormTop '[0-9]+' || e2e_fail "no main window position"
e2e_ini_has "$config" TimeForm FormLeft '-?[0-9]+' || e2e_fail "no clock position"
e2e_ini_has "$config" TimeForm FormTop '-?[0-9]+' || e2e_fail "no clock position"
e2e_log "passed"
