#!/usr/bin/env bash
# The log-on question of the start ("…是否更改？") stays open across a change
# of the minute: answered after it, the reminder of the new minute still
# pops up, and the reminder missed while the program was off is listed
# from the last check stored by the run before. The clock runs ten times as
# fast.
#
# usage: start_question.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init start_question "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
sed -i 's/^\[Sys\]$/[Sys]\nLastCheck=2026-12-07 08:36/' "$E2E_DATA/Config.ini"
# A log-on entry for another program: the start asks whether to change it.
mkdir -p "$XDG_CONFIG_HOME/autostart"
printf '[Desktop Entry]\nType=Application\nName=Kelvo\nExec=/opt/other/kelvo\n' \
    >"$XDG_CONFIG_HOME/autostart/Kelvo1.00.desktop"
e2e_write_items \
    Hour=8 Min=37 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: while off" Music= \
    Hour=8 Min=40 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: at 08:40" Music=
start=$(date +%s.%N)
fake_seconds() { awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN {printf "%d", (n - s) * 10}'; }
e2e_start_kelvo faketime -f "@2026-12-07 08:39:40 x10"

question=$(e2e_wait_window 30 询问) || e2e_fail "no log-on question"
# Answered at about 08:40:40.
while [ "$(fake_seconds)" -lt 60 ]; do sleep 0.2; done
e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2026-12-07 08:36" ||
    e2e_fail "a minute was stored as checked while the question was open"
e2e_key "$question" alt+n
e2e_wait 10 e2e_window_gone 询问 || e2e_fail "the question stayed open"
e2e_log "answered at 08:39:40 + $(fake_seconds) s"

missed=$(e2e_wait_window 20 错过的提醒) || e2e_fail "the reminder missed while off is not listed"
e2e_shot start-question-missed "$missed"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 1 || e2e_fail "08:37 is not marked reminded"
e2e_wait_window 20 提醒 >/dev/null || e2e_fail "the reminder of 08:40 did not pop up"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: at 08:40" || e2e_fail "wrong hand-off"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
