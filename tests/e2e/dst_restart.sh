#!/usr/bin/env bash
# The end of daylight saving time in Europe/Berlin, 2027-10-31: the program
# fires the 02:30 reminder at 02:30 summer time and ends; started again at
# 02:29:50 winter time, an hour of real time later, it does not fire that
# reminder a second time, and fires the 02:30 reminder added while it was
# not running. The last checked minute is stored with its UTC time beside it.
#
# usage: dst_restart.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init dst_restart "$1" "$2"
e2e_require faketime
[ -f /usr/share/zoneinfo/Europe/Berlin ] || {
    echo "SKIP: no time zone data"
    exit 77
}
export TZ=Europe/Berlin
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=2 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: half past two" Music=
kelvoctl=$(dirname "$E2E_KELVO")/kelvoctl

# at_utc TIME: a faketime offset from now to TIME in UTC; a wall time of the
# repeated hour alone would not say which of the two it is.
at_utc() { echo "+$(($(TZ=UTC date -d "$1" +%s) - $(date +%s)))s"; }

e2e_start_kelvo faketime -f "$(at_utc "2027-10-31 00:29:52")" # 02:29:52 summer time
popup=$(e2e_wait_window 30 提醒) || e2e_fail "02:30 summer time did not pop up"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: half past two" || e2e_fail "wrong hand-off"
e2e_click_control "$popup" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
pid=$(pgrep -P "$E2E_KELVO_PID" -x kelvo || echo "$E2E_KELVO_PID")
kill -TERM "$pid"
e2e_wait 20 bash -c "! kill -0 $pid" || e2e_fail "the program did not end at SIGTERM"
e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2027-10-31 02:30" || e2e_fail "no last check"
: >"$E2E_DATA/TmpFile.tmp"
out=$("$kelvoctl" --dir "$E2E_DATA" add "*-*-* 02:30" "e2e: added" 2>&1) ||
    e2e_fail "kelvoctl add failed: $out"

e2e_start_kelvo faketime -f "$(at_utc "2027-10-31 01:29:52")" # 02:29:52 winter time
e2e_wait_window 30 提醒 >/dev/null || e2e_fail "02:30 winter time did not pop up"
# Marked once its popup is up: a second popup of the same minute check
# would be up by then too.
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item2 ReMinded 1 || e2e_fail "the added reminder is not marked"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: added" ||
    e2e_fail "another reminder popped up: $(cat "$E2E_DATA/TmpFile.tmp")"
[ "$(e2e_windows 提醒)" -eq 1 ] || e2e_fail "02:30 fired a second time"
e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheckUtc "2027-10-31 01:30" ||
    e2e_fail "the last check is not stored in UTC as well"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
