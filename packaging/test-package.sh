#!/usr/bin/env bash
# Builds the Debian package of a built tree, unpacks it into a temporary root
# and starts the unpacked program there: it must come up on a fresh data
# directory, write its settings, stay up, and find the installed help page.
# Usage: test-package.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/kelvo_*.deb)
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
for need in libqt6widgets6 libqt6multimedia6 libical3 libqt6keychain1 gstreamer1.0-plugins-good fonts-wqy-microhei; do
    grep -q "$need" <<<"$depends" || fail "Depends lacks $need"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/kelvo usr/bin/kelvoctl usr/lib/kelvo/kelvo_sound.so usr/lib/kelvo/kelvo_ical.so \
    usr/lib/kelvo/kelvo_sync.so \
    usr/share/kelvo/KelvoHelp.htm \
    usr/share/applications/org.example.kelvo.desktop \
    usr/share/metainfo/org.example.kelvo.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/kelvo.svg \
    usr/share/icons/hicolor/48x48/apps/kelvo.png; do
    [ -e "$root/$f" ] || fail "the package lacks /$f"
done
grep -qx 'Exec=kelvo' "$root/usr/share/applications/org.example.kelvo.desktop" || fail "Exec"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.kelvo.metainfo.xml"
fi

# A user of its own: no real autostart entry, data or settings are touched.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$work/data"
chmod 700 "$XDG_RUNTIME_DIR"

"$root/usr/bin/kelvo" --dir "$work/data" >"$work/kelvo.log" 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || { cat "$work/kelvo.log"; fail "kelvo ended within 2 s"; }
[ -s "$work/data/Config.ini" ] || fail "no Config.ini written"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""

# Started again, past the first start's question, it reports its files.
report=$(KELVO_STARTUP_REPORT=1 timeout 60 "$root/usr/bin/kelvo" --dir "$work/data" 2>/dev/null) ||
    fail "the start-up report did not come"
echo "$report"
grep -qx "help page: $root/usr/share/kelvo/KelvoHelp.htm" <<<"$report" ||
    fail "the installed help page is not found"
grep -qx "sound module: $root/usr/lib/kelvo/kelvo_sound.so" <<<"$report" ||
    fail "the installed sound module is not found"

"$root/usr/bin/kelvoctl" --dir "$work/data" list >/dev/null || fail "kelvoctl list"

# The installed calendar module writes and reads a calendar file.
"$root/usr/bin/kelvoctl" --dir "$work/data" add "*-12-24 08:30" 平安夜 >/dev/null
"$root/usr/bin/kelvoctl" --dir "$work/data" export --ics "$work/out.ics" >/dev/null ||
    fail "kelvoctl export --ics"
grep -q '^RRULE:FREQ=YEARLY;BYMONTHDAY=24;BYMONTH=12' "$work/out.ics" || fail "the calendar file"
mkdir "$work/other"
"$root/usr/bin/kelvoctl" --dir "$work/other" import "$work/out.ics" | grep -q '^imported 1 ' ||
    fail "kelvoctl import of the calendar file"
echo "the package installs and starts"
