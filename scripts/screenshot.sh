#!/usr/bin/env bash
# Photographs Vidora's windows on a private headless X display that has a tray, with the simulated camera,
# microphone and speaker and a throwaway home folder, so the user's settings and desktop stay untouched.
#
# Usage: scripts/screenshot.sh [OUTDIR]      (default: screenshots/)
#
# The program writes the pictures itself (its screenshot hook, VIDORA_SCREENSHOT_DIR): one PNG per visible
# window and one of the whole screen (tray included), first after start-up ("00-start-*.png"), then after each
# step the program shows on its own (for example "01-collapsed-*.png"); OUTDIR/done lists them. The steps
# include the photo and movie options pop-ups ("photo-options", "movie-options" with the live motion level
# of the simulated camera, in which someone walks about for this run, and "movie-options-nomotion") and the
# capture window's two notices ("record-plugins-needed", "driver-notice"), and the settings window docked beside
# the ribbon on each of its tabs ("settings", "settings-audio", "settings-suntune", "settings-advanced",
# "settings-preferences"), the SunTune offer for the current camera ("suntune-notice"), the other docked
# windows ("effects", "privacy-shade", "communicate"), the communicate window's other sections it offers
# ("communicate-edit-tools", "communicate-video-snap", "communicate-video-blogging",
# "communicate-tell-a-friend", "communicate-gadgets") and the shutter question ("shutter-question"). The
# galleries are photographed apart, by a capture test over sample captures ("gallery-both.png").
#
# Environment: SCREENSHOT_NO_BUILD=1 skips the build; SCREENSHOT_TIMEOUT (seconds, default 90);
# SCREENSHOT_SCREEN (default 1280x800x24); VIDORA_SCREENSHOT_DELAY_MS and VIDORA_SCREENSHOT_STEP_MS (here
# 1200 ms unless set, so the option pop-ups have unrolled) are passed on; VIDORA_BINARY runs another build of
# the program.
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ "${SCREENSHOT_NO_BUILD:-0}" != "1" ]; then
    scripts/setup.sh build >/dev/null
    cmake --build build --target vidora vidora-sim vidora_resource_library capture_tests
fi
binary=${VIDORA_BINARY:-build/bin/vidora}
[ -x "$binary" ] || { echo "screenshot: no program at $binary" >&2; exit 1; }
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")
for tool in Xvfb trayer; do
    command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vidora-shots.XXXXXX")
xvfb_pid="" tray_pid="" app_pid=""
stop() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
}
cleanup() {
    stop "$app_pid"
    stop "$tray_pid"
    stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses: neither a lock file nor a socket.
display=""
for n in $(seq 90 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || { echo "screenshot: no free X display number" >&2; exit 1; }

Xvfb ":$display" -screen 0 "${SCREENSHOT_SCREEN:-1280x800x24}" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -S "/tmp/.X11-unix/X$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
export DISPLAY=":$display"

# The tray host, along the top right edge like a panel's notification area.
trayer --edge top --align right --widthtype request --height 28 --SetDockType true --transparent false \
    --tint 0x2b2f37 --expand true >"$work/trayer.log" 2>&1 &
tray_pid=$!
sleep 1

# Throwaway folders for everything the program keeps; no session bus, so no notification leaves this run.
mkdir -p "$work/home" "$work/config" "$work/data" "$work/cache" "$work/machine" "$work/common" "$work/runtime"
chmod 700 "$work/runtime"
# The all-users data a fresh installation has (effect models, privacy shades), from beside the program.
shared_data="$(dirname "$binary")/../share"
[ -d "$shared_data" ] && cp -R "$shared_data/." "$work/common/"
rm -f "$out/done" "$out"/[0-9][0-9]-*.png "$out"/signal-*.png "$out"/gallery-*.png

env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY \
    HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" \
    XDG_RUNTIME_DIR="$work/runtime" VIDORA_MACHINE_DIR="$work/machine" VIDORA_COMMON_DATA_DIR="$work/common" \
    QT_QPA_PLATFORM=xcb VIDORA_SIMULATED_DEVICES="camera:full,microphone,speaker" \
    VIDORA_SCREENSHOT_STEP_MS="${VIDORA_SCREENSHOT_STEP_MS:-1200}" \
    VIDORA_SCREENSHOT_DIR="$out" "$binary" >"$work/vidora.log" 2>&1 &
app_pid=$!

# Someone walking through the simulated picture, so the movie options show a live motion level. The program
# takes the command once it runs; the pictures are still right without it, only the level stays empty.
sim="$(dirname "$binary")/vidora-sim"
if [ -x "$sim" ]; then
    for _ in $(seq 50); do
        env -u DBUS_SESSION_BUS_ADDRESS HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
            VIDORA_MACHINE_DIR="$work/machine" "$sim" motion on >/dev/null 2>&1 && break
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.2
    done
fi

deadline=$((SECONDS + ${SCREENSHOT_TIMEOUT:-90}))
while [ ! -e "$out/done" ]; do
    if ! kill -0 "$app_pid" 2>/dev/null; then
        echo "screenshot: the program ended before it wrote its pictures; its output:" >&2
        tail -n 30 "$work/vidora.log" >&2
        exit 1
    fi
    if [ "$SECONDS" -ge "$deadline" ]; then
        echo "screenshot: no pictures after ${SCREENSHOT_TIMEOUT:-90} s (is the program's screenshot hook installed" \
            "at start?); its output:" >&2
        tail -n 30 "$work/vidora.log" >&2
        exit 1
    fi
    sleep 0.2
done

# Both galleries in a window of their own, filled from sample pictures and movies in a temporary folder.
gallery_tests=${VIDORA_GALLERY_TESTS:-$(dirname "$binary")/capture_tests}
if [ -x "$gallery_tests" ]; then
    if ! env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb VIDORA_SCREENSHOT_DIR="$out" \
        "$gallery_tests" --gtest_filter='SnapDeskCatalogTest.ScreenshotOfBothGalleries' >"$work/gallery.log" 2>&1; then
        echo "screenshot: the gallery picture failed; its output:" >&2
        tail -n 30 "$work/gallery.log" >&2
        exit 1
    fi
    [ -e "$out/gallery-both.png" ] && echo "gallery-both.png" >>"$out/done"
else
    echo "screenshot: no $gallery_tests, so no gallery picture" >&2
fi

echo "screenshots in $out:"
sed 's/^/  /' "$out/done"
