#!/usr/bin/env bash
# Sound really reaches the speakers: under a PulseAudio server whose only sink
# is a null sink, three reminders pop up at start one after the other, with a
# WAV file, an MP3 file and no sound (the beep). The sink's monitor is
# recorded all along; each popup's stretch must be loud and the stretch before
# the program started silent.
#
# usage: sound.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init sound "$1" "$2"
e2e_require sox
sox -h 2>&1 | grep -q 'AUDIO FILE FORMATS:.* mp3' ||
    e2e_skip "sox cannot write mp3 (libsox-fmt-mp3 is not installed)"
e2e_start_desktop
e2e_start_pulse

# Three seconds of a tone in each format, made here.
sox -n -r 44100 -c 1 "$E2E_DATA/tone.wav" synth 3 sine 440 vol 0.5
sox -n -r 44100 -c 1 "$E2E_DATA/tone.mp3" synth 3 sine 660 vol 0.5
e2e_write_config 0
e2e_write_autostart
at_start=(Hour=23 Min=59 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=2)
e2e_write_items "${at_start[@]}" "Message=wav" "Music=$E2E_DATA/tone.wav" \
    "${at_start[@]}" "Message=mp3" "Music=$E2E_DATA/tone.mp3" \
    "${at_start[@]}" "Message=beep" "Music="

recording=$E2E_WORK/monitor.raw
e2e_record_start "$recording"
# The silence before the start, which is measured below.
e2e_wait 10 e2e_recorded 1.5 || e2e_fail "the recording does not go on"
QT_LOGGING_RULES="qt.multimedia*=true" e2e_start_kelvo

# next_popup PREVIOUS_ID: waits for a popup other than the previous one
# and prints "ID SECONDS_INTO_THE_RECORDING".
next_popup() {
    local t id
    for ((t = 0; t < 300; t++)); do
        id=$(e2e_window 提醒)
        if [ -n "$id" ] && [ "$id" != "$1" ]; then
            echo "$id $(e2e_record_time)"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

declare -A shown length
previous=
for kind in wav mp3 beep; do
    read -r popup at < <(next_popup "$previous") || e2e_fail "no popup for the $kind reminder"
    e2e_ini_has "$E2E_DATA/TmpFile.tmp" Remind Msg "$kind" || e2e_fail "popup out of order"
    shown[$kind]=$at
    e2e_log "$kind popup at ${at}s"
    # The stretch measured below, and a little more.
    e2e_wait 10 e2e_recorded "$(awk -v t="$at" 'BEGIN { print t + 2.5 }')" ||
        e2e_fail "the recording does not go on"
    [ "$kind" = beep ] && break
    e2e_click_control "$popup" showmsg FlatSpeedButton1 # 关闭[&C]
    previous=$popup
done
e2e_record_stop
cp "$recording" "$E2E_OUT/sound-monitor.raw"

quiet=$(e2e_rms "$recording" 0.2 1.0)
e2e_log "RMS before the start: $quiet"
e2e_louder_than "$quiet" 0.002 && e2e_fail "the sink was not silent before the program started"
# The recorder's file may lag the popup by a little on a loaded machine, and
# the beep lasts only 0.15 s: its stretch starts half a second early and
# runs to the end of the recording.
shown[beep]=$(awk -v t="${shown[beep]}" 'BEGIN { printf "%.2f", (t > 0.5 ? t - 0.5 : 0) }')
length=([wav]=2.0 [mp3]=2.0 [beep]=)
for kind in wav mp3 beep; do
    level=$(e2e_rms "$recording" "${shown[$kind]}" "${length[$kind]}")
    e2e_log "RMS while the $kind popup was up: $level"
    e2e_louder_than "$level" 0.02 || e2e_fail "the $kind reminder was not heard (RMS $level)"
done
e2e_log "passed"
