#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Ferrowynd needs.
# Idempotent and quiet when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libreoffice-calc-nogui libreoffice-draw-nogui libreoffice-dev
    fonts-liberation fonts-liberation2
    xvfb xauth x11-utils imagemagick xdotool desktop-file-utils libqt6svg6 openbox qt6ct
    python3 python3-xlrd gnumeric
    dbus-daemon at-spi2-core python3-pyatspi
    libcups2-dev poppler-utils qt6-pdf-dev
    dpkg-dev lintian appstream librsvg2-bin shared-mime-info
    libxdamage-dev libxtst-dev libfontconfig-dev
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
