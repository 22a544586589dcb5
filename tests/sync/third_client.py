#!/usr/bin/python3
"""Another CalDAV client (python3-caldav) on the account's calendar "Kelvo".

third_client.py URL USER PASSWORD summaries   the SUMMARY of every event, one a line
third_client.py URL USER PASSWORD add         adds an event Kelvo can express and one
                                              it cannot (a weekly meeting with COUNT)
"""
import sys

import caldav

EXPRESSIBLE = """BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//test//python caldav//EN
BEGIN:VEVENT
UID:dentist-from-python@test
DTSTAMP:20261201T000000Z
DTSTART:20301115T143000
SUMMARY:看牙医
BEGIN:VALARM
ACTION:DISPLAY
TRIGGER:-PT15M
DESCRIPTION:看牙医
END:VALARM
END:VEVENT
END:VCALENDAR
"""

MEETING = """BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//test//python caldav//EN
BEGIN:VEVENT
UID:weekly-meeting-from-python@test
DTSTAMP:20261201T000000Z
DTSTART:20301104T100000
RRULE:FREQ=WEEKLY;INTERVAL=2;COUNT=5
SUMMARY:双周例会
END:VEVENT
END:VCALENDAR
"""


def main():
    url, user, password, what = sys.argv[1:5]
    client = caldav.DAVClient(url=url, username=user, password=password)
    calendars = client.principal().calendars()
    calendar = next(c for c in calendars if c.name == "Kelvo")
    if what == "summaries":
        for event in calendar.events():
            unfolded = event.data.replace("\r\n ", "").replace("\n ", "")
            for line in unfolded.splitlines():
                if line.startswith("SUMMARY:"):
                    print(line[len("SUMMARY:"):])
    else:
        calendar.save_event(EXPRESSIBLE)
        calendar.save_event(MEETING)


main()
