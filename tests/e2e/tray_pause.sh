#!/usr/bin/env bash
# "暂停  提醒[&P]" in the tray menu greys the tray icon once the pause is
# confirmed, and choosing it again brings the coloured icon back.
#
# usage: tray_pause.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init tray_pause "$1" "$2"
e2e_start_desktop
e2e_write_config 0
e2e_write_autostart
e2e_start_kelvo

# How coloured the tray icon is: the largest difference between the red,
# green and blue of one of its pixels, 0 … 255 (0 for a grey picture).
icon_colour() {
    local icon
    icon=$(e2e_tray_icon) || { echo -1; return; }
    import -window "$icon" txt:- 2>/dev/null | awk -F'[(),]' '
        /^#/ { split($0, h, ","); top = h[3] }
        /^[0-9]/ {
            lo = $3; hi = $3
            for (i = 4; i <= 5; i++) { if ($i < lo) lo = $i; if ($i > hi) hi = $i }
            if (hi - lo > most) most = hi - lo
        }
        END { printf "%d\n", top ? most * 255 / top : -1 }'
}
coloured() { [ "$(icon_colour)" -gt 40 ]; }
grey() { [ "$(icon_colour)" -le 8 ]; }

e2e_wait 30 e2e_tray_icon || e2e_fail "no tray icon"
e2e_wait 10 e2e_window_gone Kelvo || e2e_fail "the main window did not go to the tray"
e2e_wait 10 coloured || e2e_fail "the tray icon is not in colour (colour $(icon_colour))"
e2e_log "running: colour $(icon_colour)"

e2e_tray_menu p
question=$(e2e_wait_window 10 暂停确认) || e2e_fail "no question before the pause"
e2e_key "$question" alt+y
e2e_wait 10 grey || e2e_fail "the paused tray icon is not grey (colour $(icon_colour))"
e2e_log "paused: colour $(icon_colour)"
e2e_shot tray-paused "$(e2e_tray_icon)"

e2e_tray_menu p
e2e_wait 10 coloured || e2e_fail "the resumed tray icon is not in colour (colour $(icon_colour))"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
