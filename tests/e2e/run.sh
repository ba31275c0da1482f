#!/usr/bin/env bash
# End-to-end checks of the built program under a real X server, a private session bus and the fonts of one
# setup; cases.py drives it. E2E_CASES picks cases, E2E_ARTIFACTS keeps screenshots of failures.
# Usage: run.sh <lomvato executable> <noto|ipa|both> <width>x<height> <all|laid-out>; 77 (a skip): no fonts.
set -euo pipefail

exe=$(readlink -f "$1")
fonts=$2
screen=$3
export E2E_SET=$4
here=$(cd "$(dirname "$0")" && pwd)

case $fonts in
noto) dirs=(/usr/share/fonts/opentype/noto) family='Noto Sans CJK JP' ;;
ipa) dirs=(/usr/share/fonts/opentype/ipafont-gothic) family=IPAGothic ;;
both) dirs=(/usr/share/fonts/opentype/{noto,ipafont-gothic}) family='Noto Sans CJK JP|IPAGothic' ;;
*) echo "unknown font setup: $fonts" >&2 && exit 2 ;;
esac
ls -d "${dirs[@]}" >/dev/null 2>&1 || { echo "e2e skipped: no ${dirs[*]}"; exit 77; }

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home E2E_WORK=$work/cases
mkdir -m 700 "$XDG_RUNTIME_DIR" && mkdir "$HOME" "$E2E_WORK"
xvfb=""
# Never changes the verdict: the X server goes first, then a FUSE mount a desktop's gvfs may have left.
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    if mountpoint -q "$XDG_RUNTIME_DIR/gvfs" 2>/dev/null; then
        fusermount3 -uz "$XDG_RUNTIME_DIR/gvfs" 2>/dev/null || fusermount -uz "$XDG_RUNTIME_DIR/gvfs" 2>/dev/null ||
            umount -l "$XDG_RUNTIME_DIR/gvfs" 2>/dev/null || true
    fi
    rm -rf "$work" 2>/dev/null || echo "e2e: $work is left behind" >&2
}
trap cleanup EXIT

# Only this setup's Japanese fonts beside the basic Latin ones, under the system's rules and caches.
{
    echo '<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "fonts.dtd"><fontconfig>'
    printf '<dir>%s</dir>' /usr/share/fonts/truetype/dejavu "${dirs[@]}"
    echo "<cachedir>/var/cache/fontconfig</cachedir><cachedir>$work/fontcache</cachedir>"
    echo '<include ignore_missing="yes">/etc/fonts/conf.d</include></fontconfig>'
} >"$work/fonts.conf"
export FONTCONFIG_FILE=$work/fonts.conf
shown=$(fc-match -f '%{family[0]}' 'sans-serif:lang=ja')
[[ $shown =~ ^($family)$ ]] || { echo "font setup $fonts shows $shown, not $family" >&2 && exit 1; }
echo "e2e: $fonts ($shown), screen $screen"

export DISPLAY=:$((90 + RANDOM % 100))
# -noreset: a start between two cases must not meet a resetting server.
Xvfb "$DISPLAY" -screen 0 "${screen}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

unset QT_QPA_PLATFORM
export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 GTK_MODULES=gail:atk-bridge
# Else pcmanfm starts gvfs's daemons on the private session bus, with a FUSE mount in the runtime folder.
export GIO_USE_VFS=local GVFS_DISABLE_FUSE=1 GVFS_REMOTE_VOLUME_MONITOR_IGNORE=1
# No system bus: no countdown could ever reach a real power-off.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
# The session bus starts the accessibility bus on request and takes it down when it ends.
dbus-run-session -- /usr/bin/python3 "$here/cases.py" "$exe" 2> >(grep -v '^dbus-daemon\[' >&2)
