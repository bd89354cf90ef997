#!/usr/bin/env bash
# Installs every Debian package Vidora needs (idempotent, non-interactive) and configures a build.
# Usage: scripts/setup.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
    build-essential cmake ninja-build pkg-config lld
    qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-svg-dev
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly
    gstreamer1.0-libav gstreamer1.0-tools gstreamer1.0-plugins-base-apps
    libsqlite3-dev sqlite3 libpugixml-dev libudev-dev libpulse-dev pulseaudio
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth trayer librsvg2-bin clang-format dbus-daemon dbus-bin xdg-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

BUILD_DIR=${1:-build}
shift || true
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
echo "configured $BUILD_DIR"
