#!/usr/bin/env bash
# The sync against a local Radicale (started as the sync tests start it, on
# 127.0.0.1): the first sync of N reminders up, the first sync of another
# data directory down, and a sync with nothing changed, in wall-clock time.
# bench/sync.sh KELVOCTL [N]      (N: 1000)
KELVOCTL=$(readlink -f "$1")
count=${2:-1000}
source "$(dirname "$0")/../tests/sync/radicale.sh"

seconds() { python3 -c "import sys; print('%.3f' % ((int(sys.argv[2]) - int(sys.argv[1])) / 1e9))" "$@"; }
timed() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null || { echo "failed: $*"; exit 1; }
    end=$(date +%s%N)
    seconds "$start" "$end"
}

radicale_start
computer A
computer B
{
    echo "[Main]"
    echo "Items=$count"
    for i in $(seq "$count"); do
        printf '[Item%d]\nYear=2030\nMonth=1\nDay=1\nHour=9\nMin=0\nMessage=reminder %d\n' "$i" "$i"
    done
} >"$SYNC_WORK/many.ini"
ctl A import "$SYNC_WORK/many.ini" >/dev/null
echo "reminders: $count"
echo "first sync, up (A): $(timed ctl A sync) s"
echo "first sync, down (B): $(timed ctl B sync) s"
ctl A sync >/dev/null
for i in 1 2 3 4 5; do
    echo "nothing changed (A), run $i: $(timed ctl A sync) s"
done

# The server's own floor: the same number of new events PUT one after
# another by a bare HTTP client into a calendar of their own, without Kelvo.
python3 - "$RADICALE_PORT" "$count" <<'PY'
import base64, http.client, sys, time
port, count = int(sys.argv[1]), int(sys.argv[2])
auth = {"Authorization": "Basic " + base64.b64encode(b"alice:geheim").decode()}
c = http.client.HTTPConnection("127.0.0.1", port)
c.request("MKCALENDAR", "/alice/floor/", headers=auth)
c.getresponse().read()
start = time.monotonic()
for i in range(count):
    body = ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//floor//EN\r\nBEGIN:VEVENT\r\n"
            f"UID:floor-{i}\r\nDTSTAMP:20261209T000000Z\r\nDTSTART:20300101T090000\r\n"
            f"SUMMARY:reminder {i}\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
    c.request("PUT", f"/alice/floor/floor-{i}.ics", body,
              {**auth, "If-None-Match": "*", "Content-Type": "text/calendar"})
    c.getresponse().read()
print("a bare client's %d PUTs, one after another: %.1f s" % (count, time.monotonic() - start))
PY
