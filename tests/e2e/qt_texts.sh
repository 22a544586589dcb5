#!/usr/bin/env bash
# Qt's own texts are Chinese in the running program: the sound file dialog of
# the settings ("...") comes up titled "打开", in the user's music folder.
#
# usage: qt_texts.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init qt_texts "$1" "$2"
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
mkdir -p "$HOME/Music"
: >"$HOME/Music/晨钟.ogg"
e2e_start_kelvo

main=$(e2e_wait_window 30 Kelvo) || e2e_fail "the main window is not shown"
e2e_click_control "$main" Unit1 FlatSpeedButton1 # 系统设置
settings=$(e2e_wait_window 10 设置) || e2e_fail "the settings dialog did not open"
e2e_click_control "$settings" setting FlatSpeedButton4 # the sound file's "..."
e2e_wait 10 xdotool search --onlyvisible --name '^打开' ||
    e2e_fail "no file dialog titled 打开: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
dialog=$(xdotool search --onlyvisible --name '^打开' | head -1)
e2e_wait 10 e2e_settled "$dialog" || e2e_fail "the file dialog did not settle"
e2e_shot file-dialog "$dialog"
e2e_log "file dialog: $(xdotool getwindowname "$dialog")"
e2e_key "$dialog" Escape
e2e_wait 10 bash -c "! xdotool search --onlyvisible --name '^打开' >/dev/null" ||
    e2e_fail "the file dialog stayed open"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
