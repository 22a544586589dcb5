#!/usr/bin/env bash
# A reminder added by kelvoctl while the program runs is taken into its list
# from the changed file and pops up at its minute, not before: the program's
# clock (libfaketime, ten times as fast) starts at 08:27:00, kelvoctl adds a
# reminder for 08:30 once the main window is up.
#
# usage: ctl_add_fires.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init ctl_add_fires "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
e2e_write_items Hour=6 Min=0 Year=2000 Month=1 Day=1 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: long past"
kelvoctl=$(dirname "$E2E_KELVO")/kelvoctl

# fake_seconds: seconds of the program's clock since 08:27:00.
start=$(date +%s.%N)
fake_seconds() { awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN {printf "%d", (n - s) * 10}'; }
e2e_start_kelvo faketime -f "@2026-12-07 08:27:00 x10"

e2e_wait_window 30 Kelvo >/dev/null || e2e_fail "the main window is not shown"
out=$("$kelvoctl" --dir "$E2E_DATA" add "*-*-* 08:30" "e2e: added outside" 2>&1) ||
    e2e_fail "kelvoctl add failed: $out"
added=$(fake_seconds)
e2e_log "kelvoctl added reminder $out at 08:27 + ${added} s"
[ "$added" -lt 150 ] || e2e_fail "the program took too long to start: added at +${added} s"

popup=$(e2e_wait_window 60 提醒) || e2e_fail "the added reminder did not pop up"
shown=$(fake_seconds)
e2e_log "popup at 08:27 + ${shown} s"
# 08:30:00 is +180 s; a poll of a tenth of a second is a second of this clock.
[ "$shown" -ge 175 ] || e2e_fail "the reminder popped up before its minute (+${shown} s)"
[ "$shown" -lt 260 ] || e2e_fail "the reminder popped up late (+${shown} s)"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: added outside" || e2e_fail "wrong hand-off"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item2 ReMinded 1 || e2e_fail "item 2 is not marked reminded"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 Message "e2e: long past" || e2e_fail "item 1 changed"
e2e_log "passed"
