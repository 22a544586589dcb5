#!/usr/bin/env bash
# Dismissed once, dismissed everywhere: two computers (data directories) with
# one account on a local Radicale show the same reminder at 08:30. Closed on
# A, its dismissal goes up at once; B, synced then, closes its own popup
# without storing a dismissal of its own. A third computer that syncs before
# 08:30 does not fire it at all, and fires the next reminder as always.
#
# usage: sync_dismiss.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init sync_dismiss "$1" "$2"
e2e_require faketime
KELVOCTL=$(dirname "$E2E_KELVO")/kelvoctl
source "$E2E_HERE/../sync/radicale.sh"
trap 'e2e_cleanup; sync_cleanup' EXIT
e2e_start_desktop

# start_computer NAME FAKETIME: the program of $SYNC_WORK/NAME on a clock of
# its own, with a settings file and a log-on entry of its own; sets PID.
start_computer() {
    local dir=$SYNC_WORK/$1
    mkdir -p "$dir/config/autostart"
    printf '[Desktop Entry]\nType=Application\nName=Kelvo\nExec=%s --dir %s\n' \
        "$(readlink -f "$E2E_KELVO")" "$dir" >"$dir/config/autostart/Kelvo1.00.desktop"
    XDG_CONFIG_HOME=$dir/config QT_QPA_PLATFORM=xcb faketime -f "$2" "$E2E_KELVO" --dir "$dir" \
        >"$E2E_WORK/kelvo-$1.log" 2>&1 &
    PID=$!
    E2E_PIDS+=("$PID")
}
# The popups (windows titled 提醒) of the program PID.
popups_of() {
    local id
    for id in $(xdotool search --onlyvisible --name '^提醒$' 2>/dev/null); do
        xprop -id "$id" _NET_WM_PID | grep -q "= $1\$" && echo "$id"
    done
}
# settings NAME LEFT: a settings file of a second start, the window in the
# tray, the popup at LEFT (the computers' popups side by side).
settings() {
    mkdir -p "$SYNC_WORK/$1"
    printf '[Sys]\nShowMainForm=0\nOpenTimes=20\nFormLeft=100\nFormTop=100\n' \
        >"$SYNC_WORK/$1/Config.ini"
    printf '[ShowMsg]\nFormLeft=%s\nFormTop=200\n' "$2" >>"$SYNC_WORK/$1/Config.ini"
}
has_popup() {
    [ -n "$(popups_of "$1")" ]
}
has_no_popup() {
    [ -z "$(popups_of "$1")" ]
}
stored_dismissal() {
    awk -F= 'tolower($1) == "acked" { gsub(/["\r]/, "", $2); print $2 }' "$SYNC_WORK/$1/DataFile.dat"
}
on_server() {
    grep -rqs "$1" "$SYNC_WORK/collections"
}

radicale_start
settings A 20
settings B 520
computer A
computer B
ctl A add "*-*-* 08:30" "e2e: stand-up" >/dev/null || e2e_fail "kelvoctl add failed"
ctl A sync >/dev/null || e2e_fail "A could not sync"
ctl B sync >/dev/null || e2e_fail "B could not sync"

start_computer B "@2026-12-07 08:29:55 x10"
B_PID=$PID
e2e_wait 30 has_popup "$B_PID" || e2e_fail "B did not fire"
b_popup=$(popups_of "$B_PID")
start_computer A "@2026-12-07 08:29:57 x10"
A_PID=$PID
e2e_wait 30 has_popup "$A_PID" || e2e_fail "A did not fire"
a_popup=$(popups_of "$A_PID")
e2e_wait 10 e2e_settled "$a_popup" || e2e_fail "A's popup does not stand still"
e2e_shot sync-two-popups
e2e_click_control "$a_popup" showmsg FlatSpeedButton1 # 关闭[&C]
e2e_wait 10 has_no_popup "$A_PID" || e2e_fail "A's popup did not close"
e2e_wait 10 grep -qi '^Acked=.' "$SYNC_WORK/A/DataFile.dat" || e2e_fail "A stored no dismissal"
acked=$(stored_dismissal A)
e2e_log "dismissed on A at $acked"
e2e_wait 20 on_server "X-MOZ-LASTACK:$acked" || e2e_fail "the dismissal did not reach the server"

e2e_wait 20 ctl B sync >/dev/null || e2e_fail "B could not sync"
e2e_wait 10 has_no_popup "$B_PID" || e2e_fail "B's popup stayed"
[ "$(stored_dismissal B)" = "$acked" ] || e2e_fail "B stored $(stored_dismissal B), not A's $acked"
e2e_kelvo_running_pid() { kill -0 "$1" 2>/dev/null; }
e2e_kelvo_running_pid "$A_PID" && e2e_kelvo_running_pid "$B_PID" || e2e_fail "a program ended"
kill "$A_PID" "$B_PID"
wait "$A_PID" "$B_PID" 2>/dev/null
e2e_log "B's popup closed when the dismissal arrived"

# C syncs before 08:30 and gets the dismissal with the reminder.
ctl A add "*-*-* 08:31" "e2e: drink water" >/dev/null || e2e_fail "kelvoctl add failed"
ctl A sync >/dev/null || e2e_fail "A could not sync"
settings C 20
computer C
ctl C sync >/dev/null || e2e_fail "C could not sync"
start_computer C "@2026-12-07 08:29:40 x10"
C_PID=$PID
e2e_wait 40 has_popup "$C_PID" || e2e_fail "C fired nothing"
e2e_ini_has "$SYNC_WORK/C/TmpFile.tmp" Remind Msg "e2e: drink water" ||
    e2e_fail "C fired $(grep -a Msg "$SYNC_WORK/C/TmpFile.tmp")"
[ "$(popups_of "$C_PID" | wc -l)" -eq 1 ] || e2e_fail "C fired the dismissed reminder too"
e2e_log "passed"
