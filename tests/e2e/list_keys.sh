#!/usr/bin/env bash
# The main list and the search window by keyboard on the real desktop: Enter
# views the selected reminder, Delete asks before deleting, Insert opens the
# add dialog, a double click edits; in the search window Enter searches and
# the arrow keys or Enter choose a hit, which the main list then selects, so
# that Delete there deletes the reminder found.
#
# usage: list_keys.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init list_keys "$1" "$2"
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
e2e_write_items Hour=9 Min=0 Year=2030 Month=1 Day=1 Message='Alpha: the quarterly review with the whole team in room 5, bring the figures' \
    Hour=10 Min=0 Year=2030 Month=1 Day=1 Message=Beta \
    Hour=11 Min=0 Year=2030 Month=1 Day=1 Message=Gamma
e2e_start_kelvo

main=$(e2e_wait_window 30 Kelvo) || e2e_fail "the main window is not shown"
data=$E2E_DATA/DataFile.dat
e2e_click_first_line "$main" Unit1 eventlist

e2e_key "$main" Return
view=$(e2e_wait_window 10 查看提醒) || e2e_fail "Enter did not open the view dialog"
e2e_shot view-dialog "$view"
e2e_key "$view" Escape
e2e_wait 10 e2e_window_gone 查看提醒 || e2e_fail "the view dialog stayed open"

e2e_key "$main" Delete
question=$(e2e_wait_window 10 确认) || e2e_fail "Delete did not ask"
e2e_key "$question" Escape
e2e_wait 10 e2e_window_gone 确认 || e2e_fail "the question stayed open"
e2e_ini_has "$data" Main Items 3 || e2e_fail "a reminder was deleted without a yes"

e2e_key "$main" Insert
add=$(e2e_wait_window 10 添加提醒) || e2e_fail "Insert did not open the add dialog"
e2e_click_control "$add" newitem FlatSpeedButton2 # 取消[&C]
e2e_wait 10 e2e_window_gone 添加提醒 || e2e_fail "the add dialog stayed open"

e2e_click_first_line "$main" Unit1 eventlist 2
edit=$(e2e_wait_window 10 编辑提醒) || e2e_fail "a double click did not open the edit dialog"
e2e_key "$edit" Escape
e2e_wait 10 e2e_window_gone 编辑提醒 || e2e_fail "the edit dialog stayed open"

e2e_click_control "$main" Unit1 FlatSpeedButton10 # 搜索提醒
search=$(e2e_wait_window 10 搜索提醒) || e2e_fail "the search window did not open"
e2e_click_control "$search" SearchForm searchword
xdotool type --delay 50 a # all three
xdotool key Return Tab Down Down # Beta, then Gamma
xdotool key Up Down Return # Gamma again, by Enter
e2e_shot search-by-keyboard "$search"
e2e_key "$main" Delete
question=$(e2e_wait_window 10 确认) || e2e_fail "Delete after the search did not ask"
e2e_key "$question" alt+y
e2e_wait 10 e2e_ini_has "$data" Main Items 2 || e2e_fail "the reminder found was not deleted"
grep -q '^Message=Gamma' "$data" && e2e_fail "another reminder than the one found was deleted"
e2e_wait 10 e2e_window_gone 搜索提醒 || e2e_fail "the search window stayed open after the delete"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
