#!/usr/bin/env bash
# A sync killed (SIGKILL) at many points, uploading on A and downloading on
# B, then run again: every reminder is on the server and on B exactly once.
# killed_sync.sh KELVOCTL
KELVOCTL=$1
source "$(dirname "$0")/radicale.sh"
third_client="/usr/bin/python3 $(dirname "$0")/third_client.py $SYNC_URL alice $KELVO_SYNC_PASSWORD"
count=${SYNC_COUNT:-300}

radicale_start
computer A
computer B
{
    echo "[Main]"
    echo "Items=$count"
    for i in $(seq $count); do
        printf '[Item%d]\nYear=2030\nMonth=1\nDay=1\nHour=9\nMin=0\nMessage=reminder %d\n' "$i" "$i"
    done
} >"$SYNC_WORK/many.ini"
ctl A import "$SYNC_WORK/many.ini" >/dev/null

# Kills the sync of WHO after each of the delays (seconds).
kill_syncs() {
    local who=$1
    shift
    for delay in "$@"; do
        "$KELVOCTL" --dir "$SYNC_WORK/$who" sync >/dev/null 2>&1 &
        local pid=$!
        sleep "$delay"
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}

kill_syncs A 0.02 0.05 0.1 0.15 0.2 0.3 0.4 0.6
ctl A sync >/dev/null
check "A's reminders are on the server once each" \
    test "$($third_client summaries | sort | uniq | wc -l) $($third_client summaries | wc -l)" = "$count $count"
check "A kept its reminders" test "$(ctl A list | wc -l)" = $count

kill_syncs B 0.02 0.05 0.1 0.2 0.3 0.5
ctl B sync >/dev/null
check "B has every reminder once" test "$(messages B | uniq | wc -l) $(messages B | wc -l)" = "$count $count"
check "B and A agree" test "$(messages B)" = "$(messages A)"

# Edits and deletes killed part-way arrive as well.
for k in $(seq 1 20); do ctl A edit "$k" --advance 5 >/dev/null; done
ctl A delete 21 22 23 >/dev/null
kill_syncs A 0.02 0.05 0.1
ctl A sync >/dev/null
kill_syncs B 0.02 0.05 0.1
ctl B sync >/dev/null
check "edits and deletes killed part-way arrive" test "$(messages B)" = "$(messages A)"
check "the edits' fields arrive" test "$(ctl B list --json | grep -c '"RdBefore":5')" = 20
sync_end
