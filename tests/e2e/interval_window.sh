#!/usr/bin/env bash
# An interval reminder, every 20 minutes from 09:00 to 10:40, over two hours
# of a clock that runs 180 times as fast (from 08:59:30): it fires at each
# of its six minutes, each at its minute (Fired.ini keeps the minute and the
# moment it fired), and its popup, left open, is reused rather than stacked:
# one popup the whole time.
#
# usage: interval_window.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init interval_window "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items \
    Hour=9 Min=0 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: drink water" Music= \
    Interval=20 IntervalEndHour=10 IntervalEndMin=40
start=$(date +%s.%N)
fake_seconds() { awk -v s="$start" -v n="$(date +%s.%N)" 'BEGIN {printf "%d", (n - s) * 180}'; }
e2e_start_kelvo faketime -f "@2026-12-07 08:59:30 x180"

e2e_wait_window 30 提醒 >/dev/null || e2e_fail "the reminder did not pop up"
e2e_log "popup at 08:59:30 + $(fake_seconds) s"
most=1
# Until 11:00 of the fast clock (+7230 s), the popups are counted twice a second.
while [ "$(fake_seconds)" -lt 7230 ]; do
    n=$(e2e_windows 提醒)
    [ "$n" -gt "$most" ] && most=$n
    sleep 0.5
done
e2e_log "at most $most popup(s) open; Fired.ini: $(tr -d '\r' <"$E2E_DATA/Fired.ini" | tr '\n' ' ')"
[ "$most" -eq 1 ] || e2e_fail "the popups of the reminder were stacked ($most open)"
e2e_shot interval-reused

# Each firing's minute and the moment it came (UTC seconds).
fired=$(tr -d '\r' <"$E2E_DATA/Fired.ini" | awk -F= '
    /^At=/ { at = $2 } /^Kind=/ { kind = $2 }
    /^FiredAt=/ { print at, kind, $2 }' | sort)
expected="2026-12-07 09:00 1
2026-12-07 09:20 3
2026-12-07 09:40 3
2026-12-07 10:00 3
2026-12-07 10:20 3
2026-12-07 10:40 3"
[ "$(cut -d' ' -f1-3 <<<"$fired")" = "$expected" ] || e2e_fail "fired at other minutes: $fired"
while read -r day minute _ firedAt; do
    due=$(date -d "$day $minute" +%s)
    [ "$firedAt" -ge "$due" ] && [ "$firedAt" -lt $((due + 60)) ] ||
        e2e_fail "the firing of $minute came at $(date -d "@$firedAt" +%T)"
done <<<"$fired"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
