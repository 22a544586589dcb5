#!/usr/bin/env bash
# Installs the Debian 12 packages that Kelvo needs, when any of them is
# missing. deps.sh run: what building and running the program needs;
# deps.sh test (the default): that and what the tests, benchmarks and the
# package check need; deps.sh --fuzz: that and what fuzz/run.sh needs.
set -euo pipefail

run_packages=(
    # build
    cmake ninja-build g++ pkg-config
    # the Qt program, its Chinese texts, its sound through GStreamer and a CJK font
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio libgl1-mesa-dev
    fonts-wqy-microhei
    # the icon's SVG engine
    libqt6svg6
    # calendar files (iCalendar), read and written by the module kelvo_ical
    libical-dev
    # sync with a CalDAV server: the module kelvo_sync, its password in the secret store
    qtkeychain-qt6-dev
)

test_packages=(
    # the format and clang-tidy checks
    clang-format clang-tidy python3
    # core tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # the Debian package and its checks
    dpkg-dev file appstream
    # a private session bus for the desktop notification test
    dbus-daemon
    # window tests on a real X server
    xvfb xdotool jwm x11-utils x11-apps imagemagick
    # end-to-end tests: a fast fake clock, sound into a null sink, test tones
    faketime pulseaudio pulseaudio-utils sox libsox-fmt-mp3 procps
    # sync tests: a CalDAV server on 127.0.0.1 and a client of another kind
    radicale python3-caldav openssl
)

case "${1:-test}" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
--fuzz)
    # libFuzzer with the sanitizers
    packages=("${run_packages[@]}" "${test_packages[@]}" clang libclang-rt-14-dev)
    ;;
*)
    echo "usage: deps.sh [run|test|--fuzz]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
