#!/usr/bin/env bash
# A birthday on 14 December warned 7 days ahead at 08:00: the warning pops up
# on 7 December at 08:00 with "提前7天提醒：", is closed, and the program is
# ended and started again with its clock set back before 08:00: the warning
# fired already for this birthday and does not come again, nor is it listed
# as missed. The clock runs ten times as fast.
#
# usage: day_warning_restart.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init day_warning_restart "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=9 Min=0 Year=0 Month=12 Day=14 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: birthday" Music= \
    WarnDays=7,1 WarnHour=8 WarnMin=0
e2e_start_kelvo faketime -f "@2026-12-07 07:59:50 x10"

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the warning did not pop up"
# The hand-off is in the files' encoding, GB18030.
iconv -f GB18030 -t UTF-8 "$E2E_DATA/TmpFile.tmp" >"$E2E_WORK/handoff.txt"
e2e_ini_has "$E2E_WORK/handoff.txt" Remind Msg "提前7天提醒：e2e: birthday" ||
    e2e_fail "wrong hand-off: $(cat "$E2E_WORK/handoff.txt")"
e2e_shot day-warning
e2e_click "$popup" 308 177 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
e2e_wait 10 e2e_ini_has "$E2E_DATA/Fired.ini" Fired1 Kind 4 || e2e_fail "the warning was not kept"

pid=$(pgrep -P "$E2E_KELVO_PID" -x kelvo || echo "$E2E_KELVO_PID")
kill -TERM "$pid"
e2e_wait 20 bash -c "! kill -0 $pid" || e2e_fail "the program did not end at SIGTERM"

# Started again at 07:59:40: 08:00 comes again in this run.
e2e_start_kelvo faketime -f "@2026-12-07 07:59:40 x10"
sleep 6 # a minute of this clock: past 08:00, whether started before it or after
e2e_window_gone 提醒 || e2e_fail "the warning came twice for one birthday"
e2e_window_gone 错过的提醒 || e2e_fail "the warning that fired was listed as missed"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
