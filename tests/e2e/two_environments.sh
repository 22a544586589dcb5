#!/usr/bin/env bash
# One program per data directory whatever the environment: the program runs
# from the desktop session (XDG_RUNTIME_DIR set); a second start from a
# shell without XDG_RUNTIME_DIR and with another TMPDIR (su, ssh, a cron
# job) reaches it and ends, and kelvoctl from such a shell deletes through
# it, so that a waiting snooze stays on the right reminder.
#
# usage: two_environments.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init two_environments "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
e2e_write_items \
    Hour=6 Min=0 Year=2000 Month=1 Day=1 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: first" \
    Hour=6 Min=0 Year=2000 Month=1 Day=1 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: second" \
    Hour=8 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=0 "Message=e2e: third"
kelvoctl=$(dirname "$E2E_KELVO")/kelvoctl
mkdir -p "$E2E_WORK/shell-tmp"

# The program's icons in the notification area.
e2e_tray_icons() {
    xwininfo -root -tree | awk '/ "Kelvo"\)  / {
        split($0, a, /\)  /); split(a[2], g, /[x+]/)
        if (g[1] >= 16 && g[1] <= 64 && g[2] >= 16 && g[2] <= 64) n++
    } END { print n + 0 }'
}
# Runs a command as from a shell without the session's runtime directory.
from_shell() {
    env -u XDG_RUNTIME_DIR TMPDIR="$E2E_WORK/shell-tmp" "$@"
}

e2e_has_tray_icon() {
    [ "$(e2e_tray_icons)" -ge 1 ]
}

e2e_start_kelvo faketime -f "@2026-12-07 08:29:50 x10"
e2e_wait 20 e2e_has_tray_icon || e2e_fail "no tray icon"

e2e_log "second start from a shell without XDG_RUNTIME_DIR"
started=$(date +%s%N)
from_shell env QT_QPA_PLATFORM=xcb timeout 20 "$E2E_KELVO" --dir "$E2E_DATA" \
    >"$E2E_WORK/second.log" 2>&1
status=$?
took=$((($(date +%s%N) - started) / 1000000))
e2e_log "the second start ended with status $status after $took ms"
[ "$status" -eq 0 ] || e2e_fail "the second start ran a program of its own (status $status)"
[ "$(e2e_tray_icons)" -eq 1 ] || e2e_fail "$(e2e_tray_icons) tray icons"

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder did not pop up"
# The remind-later button's context menu; its first item is "1 分后提醒".
e2e_click_control "$popup" showmsg FlatSpeedButton2 3 # X分后提醒
e2e_wait 10 e2e_open_menu || e2e_fail "the remind-later menu did not open"
xdotool key Down Return
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup stayed after the snooze"
e2e_log "item 3 snoozed for a minute"

out=$(from_shell "$kelvoctl" --dir "$E2E_DATA" delete 1 2>&1) || e2e_fail "kelvoctl delete failed: $out"
e2e_log "kelvoctl: $out"
[[ $out == *"through the running Kelvo"* ]] ||
    e2e_fail "the delete from the shell did not go through the program: $out"
e2e_ini_has "$E2E_DATA/DataFile.dat" Item2 Message "e2e: third" || e2e_fail "item 3 did not move down"

again=$(e2e_wait_window 30 提醒) || e2e_fail "the snoozed reminder did not come back"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: third" ||
    e2e_fail "the snooze fired for another item: $(cat "$E2E_DATA/TmpFile.tmp")"
e2e_click_control "$again" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 e2e_window_gone 提醒 || e2e_fail "the popup did not close"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
