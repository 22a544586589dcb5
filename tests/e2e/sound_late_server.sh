#!/usr/bin/env bash
# A session whose sound server starts after the program: the first reminder
# pops up while no server runs (its sound cannot play), then PulseAudio with
# its null sink comes up, and the next reminder is heard.
#
# usage: sound_late_server.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init sound_late_server "$1" "$2"
e2e_require pulseaudio pactl parec sox
e2e_start_desktop

sox -n -r 44100 -c 1 "$E2E_DATA/tone.wav" synth 3 sine 440 vol 0.5
e2e_write_config 0
e2e_write_autostart
at_start=(Hour=23 Min=59 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=2)
e2e_write_items "${at_start[@]}" "Message=early" "Music=$E2E_DATA/tone.wav" \
    "${at_start[@]}" "Message=late" "Music=$E2E_DATA/tone.wav"

# The socket e2e_start_pulse will listen on, named before the server runs.
export PULSE_SERVER=unix:$E2E_WORK/pulse.sock
e2e_start_kelvo
early=$(e2e_wait_window 30 提醒) || e2e_fail "no popup for the early reminder"
e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg early || e2e_fail "popup out of order"
e2e_log "early popup up without a sound server"

e2e_start_pulse
recording=$E2E_WORK/monitor.raw
e2e_record_start "$recording"
e2e_click_control "$early" showmsg FlatSpeedButton1 # 关闭[&C]

late_popup_up() {
    local id
    id=$(e2e_window 提醒)
    [ -n "$id" ] && [ "$id" != "$early" ] &&
        e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg late
}
e2e_wait 30 late_popup_up || e2e_fail "no popup for the late reminder"
at=$(e2e_record_time)
e2e_log "late popup at ${at}s"
e2e_wait 10 e2e_recorded "$(awk -v t="$at" 'BEGIN { print t + 2.5 }')" ||
    e2e_fail "the recording does not go on"
e2e_record_stop
level=$(e2e_rms "$recording" "$at" 2.0)
e2e_log "RMS while the late popup was up: $level"
e2e_louder_than "$level" 0.02 || e2e_fail "the late reminder was not heard (RMS $level)"
e2e_log "passed"
