#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Qorvane need.
# Quick when everything is there already: apt is only asked for what is missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev libpng-dev libxcb1-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    fonts-ipafont-gothic
    xvfb xauth xdotool xclip xdg-utils file poppler-utils python3-xlib
    python3 chromium python3-websocket
    libgumbo-dev libuchardet-dev nodejs
    clang libclang-rt-14-dev
    dpkg-dev desktop-file-utils appstream librsvg2-bin
    weston qt6-wayland wl-clipboard lintian
    dbus-daemon at-spi2-core python3-pyatspi
    acl
)
# For the site benchmark: some nodejs packages bring npm along, Debian's does not.
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
    exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
echo "setup: done"
