#!/usr/bin/env bash
# Adds a reminder through the add dialog with the mouse and the keyboard: the
# button "添加提醒" of the main window, the date, time and message typed into
# the fields, then "添加[&A]". A date long past is stored only after a
# question, whose No leads back to the dialog. The data file holds the new
# item and the list shows it.
#
# usage: add_reminder.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init add_reminder "$1" "$2"
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
e2e_start_kelvo

main=$(e2e_wait_window 30 Kelvo) || e2e_fail "the main window is not shown"
e2e_click_control "$main" Unit1 FlatSpeedButton2 # 添加提醒
dialog=$(e2e_wait_window 10 添加提醒) || e2e_fail "the add dialog did not open"

e2e_fill "$dialog" newitem setyear 2001 # a year long past first
e2e_fill "$dialog" newitem setmonth 3
e2e_fill "$dialog" newitem setday 15
e2e_fill "$dialog" newitem sethour 9
e2e_fill "$dialog" newitem setmin 45
e2e_fill "$dialog" newitem setmsg "Dentist at ten, bring the card"
e2e_click_control "$dialog" newitem mind1 # on the hour as well
e2e_fill "$dialog" newitem rdbf 5        # five minutes ahead
e2e_click_control "$dialog" newitem FlatSpeedButton1 # 添加[&A]
question=$(e2e_wait_window 10 询问) || e2e_fail "no question before storing a past reminder"
e2e_shot past-reminder-question "$question"
e2e_key "$question" Escape       # No: back to the dialog, nothing stored
e2e_wait 10 e2e_window_gone 询问 || e2e_fail "the question stayed open"
[ -n "$(e2e_window 添加提醒)" ] || e2e_fail "the add dialog closed after No"
grep -q '^\[Item1\]' "$E2E_DATA/DataFile.dat" 2>/dev/null && e2e_fail "No stored the reminder"
e2e_fill "$dialog" newitem setyear 2027
e2e_shot add-dialog "$dialog"
e2e_click_control "$dialog" newitem FlatSpeedButton1 # 添加[&A]
e2e_wait 10 e2e_window_gone 添加提醒 || e2e_fail "the add dialog stayed open"

data=$E2E_DATA/DataFile.dat
e2e_ini_has "$data" Main Items 1 || e2e_fail "the item count is not 1"
e2e_ini_has "$data" Item1 Year 2027 || e2e_fail "wrong year"
e2e_ini_has "$data" Item1 Month 3 || e2e_fail "wrong month"
e2e_ini_has "$data" Item1 Day 15 || e2e_fail "wrong day"
e2e_ini_has "$data" Item1 Hour 9 || e2e_fail "wrong hour"
e2e_ini_has "$data" Item1 Min 45 || e2e_fail "wrong minute"
e2e_ini_has "$data" Item1 RdBefore 5 || e2e_fail "wrong advance minutes"
e2e_ini_has "$data" Item1 MindMethod 1 || e2e_fail "wrong mind method"
e2e_ini_has "$data" Item1 Message "Dentist at ten, bring the card" || e2e_fail "wrong message"
e2e_shot main-window-with-reminder "$main"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
