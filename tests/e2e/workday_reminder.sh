#!/usr/bin/env bash
# A reminder on the official workdays pops up on 2026-09-20, a Sunday worked
# for 国庆 (调休), and stays silent on 2026-10-01, a Thursday off; its twin
# without the OfficialDays key (what a reader of the weekday code alone
# sees, Monday to Friday) does the opposite. Each day on a clock that
# libfaketime starts just before 09:00, ten times as fast.
#
# usage: workday_reminder.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init workday_reminder "$1" "$2"
e2e_start_desktop
e2e_write_autostart

# Both reminders, not yet reminded, and a configuration without a last
# checked minute, so that no day in between is listed as missed.
fresh_files() {
    e2e_write_config 1
    e2e_write_items Hour=9 Min=0 Year=0 Month=0 Day=8191 OfficialDays=1 ReMinded=0 RdBefore=0 \
        MindMethod=0 "Message=e2e: workday" Music= \
        Hour=9 Min=0 Year=0 Month=0 Day=8191 ReMinded=0 RdBefore=0 MindMethod=0 \
        "Message=e2e: monday to friday" Music=
}
e2e_ended() {
    ! e2e_kelvo_running
}
# Runs the program at 08:59:50 of the day until the reminder named pops up;
# the other stays unreminded. (One clock file for both runs: a second
# faketime wrapper may find the first one's clock still in place.)
e2e_clock_file "2026-09-20 08:59:50 x10"
day_fires() {
    local day=$1 fires=$2 silent=$3 message=$4
    fresh_files
    e2e_set_clock "$day 08:59:50 x10"
    e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}"
    e2e_wait_window 30 Kelvo >/dev/null || e2e_fail "$day: the main window is not shown"
    popup=$(e2e_wait_window 30 提醒) || e2e_fail "$day: no reminder popped up"
    e2e_shot "popup-$day" "$popup"
    e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" "Item$fires" ReMinded 1 ||
        e2e_fail "$day: item $fires is not marked reminded"
    e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "$message" || e2e_fail "$day: wrong hand-off"
    sleep 1 # ten seconds of the program's clock: the minute's check is over
    e2e_ini_has "$E2E_DATA/DataFile.dat" "Item$silent" ReMinded 0 || e2e_fail "$day: item $silent fired"
    kill -TERM "$E2E_KELVO_PID"
    e2e_wait 20 e2e_ended || e2e_fail "the program did not end at SIGTERM"
    e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "$day: the popup stayed after the end"
    e2e_log "$day: item $fires fired, item $silent did not"
}

day_fires 2026-09-20 1 2 "e2e: workday"
day_fires 2026-10-01 2 1 "e2e: monday to friday"
e2e_log "passed"
