#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Kelvo
# need, when any of them is missing; with --fuzz, those of fuzz/run.sh too.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config clang-format clang-tidy python3
    # core tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # the Qt program
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good libgl1-mesa-dev
    fonts-wqy-microhei
    # the icon's SVG engine; the Debian package and its checks
    libqt6svg6 dpkg-dev file appstream
    # calendar files (iCalendar), read and written by the module kelvo_ical
    libical-dev
    # a private session bus for the desktop notification test
    dbus-daemon
    # window tests on a real X server
    xvfb xdotool jwm x11-utils x11-apps imagemagick
    # end-to-end tests: a fast fake clock, sound into a null sink, test tones
    faketime pulseaudio pulseaudio-utils gstreamer1.0-pulseaudio sox libsox-fmt-mp3 procps
)

if [ "${1:-}" = --fuzz ]; then
    # libFuzzer with the sanitizers
    packages+=(clang libclang-rt-14-dev)
fi

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
