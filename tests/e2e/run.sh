#!/usr/bin/env bash
# End-to-end checks of the built program: this script sets up the world it runs in (a real X server, a
# private session bus that starts the accessibility bus, the fonts of one font setup), cases.py drives it.
# Usage: tests/e2e/run.sh <path to the lomvato executable> <noto|ipa|both> <width>x<height> <all|laid-out>
#        (laid-out: only the cases whose outcome hangs on the layout; E2E_CASES picks cases, E2E_ARTIFACTS
#        keeps screenshots of failures)
# Exits 77 (a skip for CTest) when the fonts of that setup are not installed.
set -euo pipefail

exe=$(readlink -f "$1")
fonts=$2
screen=$3
export E2E_SET=$4
here=$(cd "$(dirname "$0")" && pwd)

noto=/usr/share/fonts/opentype/noto
ipa=/usr/share/fonts/opentype/ipafont-gothic
case $fonts in
noto) dirs=("$noto") family='Noto Sans CJK JP' ;;
ipa) dirs=("$ipa") family=IPAGothic ;;
both) dirs=("$noto" "$ipa") family='Noto Sans CJK JP|IPAGothic' ;;
*) echo "unknown font setup: $fonts" >&2 && exit 2 ;;
esac
for d in "${dirs[@]}"; do
    [ -d "$d" ] || { echo "e2e skipped: no $d"; exit 77; }
done

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime HOME=$work/home E2E_WORK=$work/cases
mkdir -m 700 "$XDG_RUNTIME_DIR" && mkdir "$HOME" "$E2E_WORK"
xvfb=""
# The cleanup never changes the verdict: the X server goes first, then a FUSE mount that a desktop's gvfs may
# still have made in the private runtime folder, then the folder.
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    if mountpoint -q "$XDG_RUNTIME_DIR/gvfs" 2>/dev/null; then
        fusermount3 -uz "$XDG_RUNTIME_DIR/gvfs" 2>/dev/null || fusermount -uz "$XDG_RUNTIME_DIR/gvfs" 2>/dev/null ||
            umount -l "$XDG_RUNTIME_DIR/gvfs" 2>/dev/null || true
    fi
    rm -rf "$work" 2>/dev/null || echo "e2e: $work is left behind" >&2
}
trap cleanup EXIT

# Only the Japanese fonts of this setup beside the basic Latin ones; the system's rules still choose among them,
# and the system's caches are read, so nothing is scanned again.
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
# -noreset: the server must not reset when the last client leaves between two cases (a start would fail).
Xvfb "$DISPLAY" -screen 0 "${screen}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

unset QT_QPA_PLATFORM
# The programs show themselves on the accessibility bus: Qt when asked, pcmanfm (GTK 2) through its modules.
export QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 GTK_MODULES=gail:atk-bridge
# GIO's local file system only: on a desktop with gvfs installed the file manager would otherwise start its
# daemons on the private session bus, and with them a FUSE mount in the runtime folder.
export GIO_USE_VFS=local GVFS_DISABLE_FUSE=1 GVFS_REMOTE_VOLUME_MONITOR_IGNORE=1
# No system bus: even a countdown that ran out could not reach a real power-off. (The cases never let it.)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
# The session bus starts the accessibility bus on the first request and takes it down when it ends.
dbus-run-session -- /usr/bin/python3 "$here/cases.py" "$exe" 2> >(grep -v '^dbus-daemon\[' >&2)
