#!/usr/bin/env bash
# A second start on the same data directory: it ends at once with status 0,
# the running program brings its main window up from the tray and goes on,
# and the second start counted nothing in the data files. kelvoctl, which
# takes no lock, still works beside the program. A start on another data
# directory runs a program of its own, and so does a start after the program
# was killed: the lock and the socket of a dead program are not in the way.
#
# usage: second_start.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init second_start "$1" "$2"
e2e_start_desktop
e2e_write_autostart
e2e_write_config 0
e2e_write_items

# e2e_locked DIR: a program holds the data directory, as /proc/locks tells.
# (A probe that took the lock itself, however briefly, could meet a program
# starting at that moment, which then finds it held and runs without it.)
e2e_locked() {
    local dev ino
    read -r dev ino < <(stat -c '%d %i' "$1/Kelvo.lock" 2>/dev/null) || return 1
    # The file's device as /proc/locks writes it: major and minor in hex.
    awk -v dev="$dev" -v ino="$ino" 'BEGIN {
            id = sprintf("%02x:%02x:%d", int(dev / 256) % 4096,
                         dev % 256 + int(dev / 1048576) * 256, ino) }
        $2 == "FLOCK" && $6 == id { found = 1 } END { exit !found }' /proc/locks
}

e2e_has_tray_icon() {
    [ -n "$(e2e_tray_icon)" ]
}

e2e_start_kelvo
e2e_wait 20 e2e_locked "$E2E_DATA" || e2e_fail "the program does not lock its data directory"
e2e_wait 20 e2e_has_tray_icon || e2e_fail "no tray icon"
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "the main window did not go to the tray"
sleep 1
e2e_window_gone Kelvo || e2e_fail "the main window came back from the tray by itself"
# Config.ini apart from the last minute checked (wall time and UTC), which
# the running program writes whenever the minute changes.
config_keys() {
    grep -Ev '^LastCheck(Utc)?=' "$E2E_DATA/Config.ini"
}
config_before=$(config_keys)
data_before=$(cat "$E2E_DATA/DataFile.dat")

e2e_log "second start on the same directory"
started=$(date +%s%N)
QT_QPA_PLATFORM=xcb timeout 20 "$E2E_KELVO" --dir "$E2E_DATA" >"$E2E_WORK/second.log" 2>&1
status=$?
took=$((($(date +%s%N) - started) / 1000000))
e2e_log "the second start ended with status $status after $took ms"
[ "$status" -eq 0 ] || e2e_fail "the second start ended with status $status"
[ "$took" -lt 5000 ] || e2e_fail "the second start took $took ms to end"

main=$(e2e_wait_window 10 Kelvo) || e2e_fail "the running program did not show its main window"
e2e_shot second-start-main "$main"
sleep 1
[ -n "$(e2e_window Kelvo)" ] || e2e_fail "the main window went back to the tray"
e2e_kelvo_running || e2e_fail "the running program ended"
[ "$(config_keys)" = "$config_before" ] || e2e_fail "the second start wrote Config.ini"
[ "$(cat "$E2E_DATA/DataFile.dat")" = "$data_before" ] || e2e_fail "the second start wrote DataFile.dat"

e2e_log "kelvoctl while the program runs"
kelvoctl=$(dirname "$E2E_KELVO")/kelvoctl
printf '[Main]\r\nItems=1\r\n[Item1]\r\nHour=9\r\nMin=30\r\nMessage=ctl\r\n' >"$E2E_WORK/in.txt"
"$kelvoctl" --dir "$E2E_DATA" import "$E2E_WORK/in.txt" >"$E2E_WORK/kelvoctl.log" 2>&1 ||
    e2e_fail "kelvoctl import failed while the program runs"
"$kelvoctl" --dir "$E2E_DATA" list | grep -q ctl || e2e_fail "kelvoctl does not list the imported reminder"

e2e_log "a start on another directory"
other=$E2E_WORK/other
mkdir -p "$other"
QT_QPA_PLATFORM=xcb "$E2E_KELVO" --dir "$other" >"$E2E_WORK/other.log" 2>&1 &
other_pid=$!
E2E_PIDS+=($other_pid)
e2e_wait 20 e2e_locked "$other" || e2e_fail "no program started on another directory"
e2e_wait 20 test -s "$other/DataFile.dat" || e2e_fail "the program on another directory made no data file"
kill -0 "$other_pid" 2>/dev/null || e2e_fail "the program on another directory ended"
e2e_kelvo_running || e2e_fail "the first program ended"
kill "$other_pid"

e2e_log "a start after the program was killed"
kill -KILL "$E2E_KELVO_PID"
wait "$E2E_KELVO_PID" 2>/dev/null
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "a main window stayed after its program ended"
e2e_start_kelvo
e2e_wait 20 e2e_locked "$E2E_DATA" || e2e_fail "no program started after a crash"
sleep 1
e2e_kelvo_running || e2e_fail "the start after a crash ended: $(cat "$E2E_WORK/kelvo.log")"
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "the main window did not go to the tray"
QT_QPA_PLATFORM=xcb timeout 20 "$E2E_KELVO" --dir "$E2E_DATA" >>"$E2E_WORK/second.log" 2>&1 ||
    e2e_fail "a second start after the crash ended with status $?"
e2e_wait_window 10 Kelvo >/dev/null || e2e_fail "the new program did not hear the second start"
e2e_log "passed"
