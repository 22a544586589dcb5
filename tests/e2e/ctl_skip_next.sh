#!/usr/bin/env bash
# kelvoctl skips the next occurrence of a reminder while the program runs:
# an hourly reminder set for 09:02 would come at 09:00 (the full hour) and
# at 09:02; skipped at 08:59, the 09:00 one does not pop up and the 09:02 one
# does. The program's clock (libfaketime, ten times as fast) starts at
# 08:58:00; kelvoctl runs on a clock of its own standing at 08:59.
#
# usage: ctl_skip_next.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init ctl_skip_next "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
e2e_write_items Hour=9 Min=2 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=1 \
    "Message=e2e: every hour" Music=
kelvoctl=$(dirname "$E2E_KELVO")/kelvoctl
# kelvoctl AT ARGS...: kelvoctl on a clock of its own that starts at AT (the
# library preloaded directly: a wrapper may trip on a semaphore it left).
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
ctl() { env LD_PRELOAD="$faketime_lib" FAKETIME="@2026-12-07 $1" "$kelvoctl" --dir "$E2E_DATA" "${@:2}"; }

e2e_fake_start 10
e2e_start_kelvo faketime -f "@2026-12-07 08:58:00 x10"

e2e_wait_window 30 Kelvo >/dev/null || e2e_fail "the main window is not shown"
out=$(ctl 08:59:00 skip 1 2>&1) || e2e_fail "kelvoctl skip failed: $out"
skipped=$(e2e_fake_seconds)
e2e_log "kelvoctl skip at 08:58 + ${skipped} s: $(echo "$out" | tr '\n' ' ')"
[ "$skipped" -lt 100 ] || e2e_fail "the program took too long to start: skipped at +${skipped} s"
grep -q "跳过 12月7日 09:00" <<<"$out" || e2e_fail "kelvoctl does not name the occurrence skipped"
grep -q "下次提醒：2026年12月7日 09:02" <<<"$out" || e2e_fail "kelvoctl names the wrong next firing"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 NotBefore "2026-12-07 09:01" || e2e_fail "the skip is not stored"

popup=$(e2e_wait_window 40 提醒) || e2e_fail "the occurrence after the skipped one did not pop up"
shown=$(e2e_fake_seconds)
e2e_log "popup at 08:58 + ${shown} s"
# 09:00 is +120 s, 09:02 +240 s; a poll of a tenth of a second is a second.
[ "$shown" -ge 235 ] || e2e_fail "the skipped occurrence popped up (+${shown} s)"
[ "$shown" -lt 300 ] || e2e_fail "the reminder popped up late (+${shown} s)"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: every hour" || e2e_fail "wrong hand-off"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item1 ReMinded 1 || e2e_fail "the item is not marked reminded"
next=$(ctl 09:03:00 next 1) || e2e_fail "kelvoctl next failed"
[[ $next == "2026-12-07 10:00"* ]] || e2e_fail "kelvoctl next gives $next"
e2e_click_control "$popup" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
