#!/usr/bin/env bash
# Window positions survive restarts to the pixel: over five starts the main
# window and the add dialog come up with their frames where the last run left
# them, and the positions stored at the end are the ones read at the start.
#
# usage: window_positions.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init window_positions "$1" "$2"
e2e_start_desktop
e2e_write_autostart
printf '[Sys]\nShowMainForm=1\nOpenTimes=20\nFormLeft=140\nFormTop=260\n[NewItem]\nFormLeft=333\nFormTop=201\n' \
    >"$E2E_DATA/Config.ini"
config=$E2E_DATA/Config.ini

# The top-left corner of a window's frame on the screen, "X,Y".
frame_corner() {
    e2e_frame "$1" | awk '{ print $1 "," $2 }'
}

# at_corner WINDOW X,Y: the window's frame has come to that corner.
at_corner() {
    [ "$(frame_corner "$1")" = "$2" ]
}

for run in 1 2 3 4 5; do
    e2e_start_kelvo
    main=$(e2e_wait_window 30 Kelvo) || e2e_fail "run $run: the main window is not shown"
    e2e_wait 5 at_corner "$main" 140,260
    corner=$(frame_corner "$main")
    [ "$corner" = "140,260" ] || e2e_fail "run $run: the main window's frame is at $corner, not 140,260"
    e2e_click_control "$main" Unit1 FlatSpeedButton2 # 添加提醒
    dialog=$(e2e_wait_window 10 添加提醒) || e2e_fail "run $run: the add dialog did not open"
    e2e_wait 5 at_corner "$dialog" 333,201
    corner=$(frame_corner "$dialog")
    [ "$corner" = "333,201" ] || e2e_fail "run $run: the add dialog's frame is at $corner, not 333,201"
    e2e_click_control "$dialog" newitem FlatSpeedButton2 # 取消[&C]
    e2e_wait 10 e2e_window_gone 添加提醒 || e2e_fail "run $run: the add dialog stayed open"
    e2e_tray_menu e
    question=$(e2e_wait_window 10 关闭软件) || e2e_fail "run $run: no question before the exit"
    e2e_key "$question" alt+y
    e2e_wait 20 bash -c "! kill -0 $E2E_KELVO_PID" || e2e_fail "run $run: the program did not end"
    e2e_ini_has "$config" Sys FormLeft 140 || e2e_fail "run $run: Sys/FormLeft moved"
    e2e_ini_has "$config" Sys FormTop 260 || e2e_fail "run $run: Sys/FormTop moved"
    e2e_ini_has "$config" NewItem FormLeft 333 || e2e_fail "run $run: NewItem/FormLeft moved"
    e2e_ini_has "$config" NewItem FormTop 201 || e2e_fail "run $run: NewItem/FormTop moved"
    e2e_log "run $run: positions kept"
done
e2e_log "passed"
