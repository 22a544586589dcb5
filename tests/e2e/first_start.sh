#!/usr/bin/env bash
# First start on an empty data directory: the program asks, in the middle of
# the screen, whether to start at log-on, the answer Yes writes the log-on
# entry and confirms it, the main window stays on the screen, and Config.ini
# holds the first-run settings.
#
# usage: first_start.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init first_start "$1" "$2"
e2e_start_desktop
e2e_start_kelvo

question=$(e2e_wait_window 30 询问) || e2e_fail "no log-on question at the first start"
# Asked before the main window is up, it stands in the middle of the screen.
e2e_wait 5 e2e_centred "$question" ||
    e2e_fail "the log-on question's frame is at $(e2e_frame "$question"), not in the middle"
e2e_log "the question's frame: $(e2e_frame "$question")"
e2e_shot first-start-question "$question"
e2e_key "$question" alt+y
done_box=$(e2e_wait_window 10 成功) || e2e_fail "no confirmation of the log-on entry"
e2e_wait 5 e2e_centred "$done_box" ||
    e2e_fail "the confirmation's frame is at $(e2e_frame "$done_box"), not in the middle"
e2e_key "$done_box" Return
e2e_wait 10 e2e_window_gone 成功 || e2e_fail "the confirmation stayed open"

main=$(e2e_wait_window 10 Kelvo) || e2e_fail "the main window is not shown"
sleep 1
[ -n "$(e2e_window Kelvo)" ] || e2e_fail "the main window went to the tray at a first start"
e2e_shot main-window "$main"

entry=$XDG_CONFIG_HOME/autostart/Kelvo1.00.desktop
[ -f "$entry" ] || e2e_fail "no log-on entry in $XDG_CONFIG_HOME/autostart"
# It starts the program on the directory it was given.
grep -qx "Exec=$(readlink -f "$E2E_KELVO") --dir $E2E_DATA" "$entry" ||
    e2e_fail "the log-on entry runs: $(grep Exec "$entry")"
grep -qx "Icon=kelvo" "$entry" || e2e_fail "the log-on entry has no icon"

config=$E2E_DATA/Config.ini
[ -f "$config" ] || e2e_fail "Config.ini was not written"
e2e_ini_has "$config" Sys ShowMainForm '0|false' || e2e_fail "ShowMainForm is not off"
e2e_ini_has "$config" Sys OpenTimes 1 || e2e_fail "the start was not counted"
e2e_ini_has "$config" Sys Version 1.00.003 || e2e_fail "no version in Config.ini"
e2e_ini_has "$config" ShowMsg FormLeft $(((1024 - 376) / 2)) || e2e_fail "popup position not centred"
[ -f "$E2E_DATA/DataFile.dat" ] || e2e_fail "DataFile.dat was not created"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
