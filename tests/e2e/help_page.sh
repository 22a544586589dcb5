#!/usr/bin/env bash
# The help command "软件帮助" through the real desktop services. Stand-ins
# for xdg-utils on PATH: xdg-mime names the desktop's program for a type as
# the test says, xdg-open notes what it was asked to open. With a program for
# web pages the page goes to it; on a desktop that names none, the program
# shows the page in a window of its own, "Kelvo 帮助".
#
# usage: help_page.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init help_page "$1" "$2"

bin=$E2E_WORK/bin
mkdir -p "$bin"
printf '#!/bin/sh\ncat "%s/default" 2>/dev/null\n' "$E2E_WORK" >"$bin/xdg-mime"
printf '#!/bin/sh\necho "$1" >>"%s/opened"\n' "$E2E_WORK" >"$bin/xdg-open"
chmod +x "$bin/xdg-mime" "$bin/xdg-open"
export PATH=$bin:$PATH

e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
e2e_start_kelvo

main=$(e2e_wait_window 30 Kelvo) || e2e_fail "the main window is not shown"

opened_help() {
    grep -q "KelvoHelp.htm" "$E2E_WORK/opened" 2>/dev/null
}

e2e_log "a desktop with a program for web pages"
echo "browser.desktop" >"$E2E_WORK/default"
e2e_click_control "$main" Unit1 FlatSpeedButton7 # 软件帮助
e2e_wait 10 opened_help || e2e_fail "the page was not handed to the desktop's program"
sleep 1
e2e_window_gone "Kelvo 帮助" || e2e_fail "the program's own window showed beside the program"

e2e_log "a desktop without one"
: >"$E2E_WORK/default"
rm -f "$E2E_WORK/opened"
e2e_click_control "$main" Unit1 FlatSpeedButton7 # 软件帮助
help=$(e2e_wait_window 10 "Kelvo 帮助") || e2e_fail "the program did not show the page itself"
[ ! -e "$E2E_WORK/opened" ] || e2e_fail "the page went to a program the desktop does not name"
e2e_shot help-window "$help"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
