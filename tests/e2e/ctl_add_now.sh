#!/usr/bin/env bash
# kelvoctl adds a reminder for the minute that the running program has
# checked already: kelvoctl says that it comes at once, and it pops up at
# once, not a day later.
#
# usage: ctl_add_now.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init ctl_add_now "$1" "$2"
e2e_require faketime
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_write_items Hour=6 Min=0 Year=2000 Month=1 Day=1 ReMinded=0 RdBefore=0 MindMethod=0 \
    "Message=e2e: long past"
kelvoctl=$(dirname "$E2E_KELVO")/kelvoctl
e2e_clock_file "2026-12-07 08:34:57"
e2e_start_kelvo "${E2E_CLOCK_WRAPPER[@]}"

e2e_wait 20 bash -c "[ -n \"\$(source $E2E_HERE/lib.sh; e2e_tray_icon)\" ]" || e2e_fail "no tray icon"
e2e_wait 30 e2e_ini_has "$E2E_DATA/Config.ini" Sys LastCheck "2026-12-07 08:35" ||
    e2e_fail "08:35 was not checked"
# kelvoctl's clock at the same minute (a clock file starts every process
# at its time).
out=$(faketime -f "@2026-12-07 08:35:20" "$kelvoctl" --dir "$E2E_DATA" add "2026-12-07 08:35" \
    "e2e: this minute" 2>&1) || e2e_fail "kelvoctl add failed: $out"
e2e_log "kelvoctl: $out"
[[ $out == *将立即提醒* ]] || e2e_fail "kelvoctl did not say that the reminder comes at once"
[[ $out != *时间已经过去* ]] || e2e_fail "kelvoctl said that the reminder's time is past"
e2e_wait_window 10 提醒 >/dev/null || e2e_fail "the reminder added for its own minute did not pop up"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "e2e: this minute" || e2e_fail "wrong hand-off"
e2e_wait 10 e2e_ini_has "$E2E_DATA/DataFile.dat" Item2 ReMinded 1 || e2e_fail "item 2 is not marked reminded"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
