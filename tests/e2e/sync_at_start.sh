#!/usr/bin/env bash
# The program with a sync account syncs by itself soon after its start, on
# a worker thread: a reminder another computer put on the server (a local
# Radicale on 127.0.0.1) arrives in its data file while it runs. A program
# without an account never loads the sync module.
#
# usage: sync_at_start.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init sync_at_start "$1" "$2"
KELVOCTL=$(dirname "$E2E_KELVO")/kelvoctl
source "$E2E_HERE/../sync/radicale.sh"
trap 'e2e_cleanup; sync_cleanup' EXIT
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart

e2e_start_kelvo
e2e_wait 20 bash -c "[ -n \"\$(source $E2E_HERE/lib.sh; e2e_tray_icon)\" ]" || e2e_fail "no tray icon"
sleep 4
grep -q kelvo_sync "/proc/$E2E_KELVO_PID/maps" && e2e_fail "the sync module was loaded without an account"
"$KELVOCTL" --dir "$E2E_DATA" list >/dev/null
kill "$E2E_KELVO_PID"
wait "$E2E_KELVO_PID" 2>/dev/null

radicale_start
computer A
ctl A add "2030-05-01 08:00" "e2e: from A" >/dev/null
ctl A sync >/dev/null || e2e_fail "A could not sync"
echo "$KELVO_SYNC_PASSWORD" | "$KELVOCTL" --dir "$E2E_DATA" sync --setup "$SYNC_URL" alice >/dev/null ||
    e2e_fail "the setup failed"
e2e_start_kelvo
e2e_wait 30 grep -q "e2e: from A" "$E2E_DATA/DataFile.dat" ||
    e2e_fail "the reminder from A did not arrive"
e2e_wait 10 test -s "$E2E_DATA/Sync.state" || e2e_fail "no sync state"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
