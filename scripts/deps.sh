#!/usr/bin/env bash
# Installs the Debian packages Lomvato needs; installs nothing when all are there.
#   scripts/deps.sh run    what building and running the program needs
#   scripts/deps.sh test   that and the test tools: analysis, the end-to-end setups and their fonts
set -euo pipefail

run=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 qt6-translations-l10n
    fonts-noto-cjk
)
test=(
    clang libclang-rt-14-dev clang-format clang-tidy
    xvfb xauth xdotool x11-utils imagemagick pcmanfm parallel
    dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0 libatk-adaptor libgail-common
    fonts-ipafont-gothic
)

case ${1:-} in
run) packages=("${run[@]}") ;;
test) packages=("${run[@]}" "${test[@]}") ;;
*)
    echo "usage: scripts/deps.sh run|test" >&2
    exit 2
    ;;
esac

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
