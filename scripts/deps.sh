#!/usr/bin/env bash
# Installs the Debian packages Lomvato needs to build, test and run; installs nothing when all are there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 qt6-translations-l10n
    clang libclang-rt-14-dev clang-format clang-tidy
    xvfb xauth xdotool x11-utils imagemagick pcmanfm
    dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0 libatk-adaptor libgail-common
    fonts-noto-cjk fonts-ipafont-gothic
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
