#!/usr/bin/env bash
# End-to-end checks of the built program, driven from outside as a person would: a real X server (Xvfb),
# xdotool for keys, mouse and windows, signals, and the files the program leaves behind.
# Usage: tests/e2e/run.sh <path to the lomvato executable>   (E2E_CASES picks cases, E2E_ARTIFACTS keeps shots)
# shellcheck disable=SC2016 # the programs given to prepare are text for their own shell
set -uo pipefail

exe=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
artifacts=${E2E_ARTIFACTS:-$(mktemp -d)}
mkdir -p "$artifacts"
work=$(mktemp -d)
passed=0 failed=0 started=""

export DISPLAY=:$((90 + RANDOM % 100))
# -noreset: the server must not reset when the last client leaves between two cases (a start would fail).
Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
unset QT_QPA_PLATFORM
# No system bus: even a countdown that ran out could not reach a real power-off. (The cases never let it.)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# Lomvato by its ids; the file managers and the programs it ran by their paths in the work folder.
trap 'kill $started 2>/dev/null; pkill -f "$work/"; kill $xvfb; rm -rf "$work"' EXIT

shot() { import -window root "$artifacts/$1.png" 2>/dev/null; }
not() { ! "$@"; }

check() {
    "$@" && return 0
    echo "  failed: $name: $* (screenshot in $artifacts/$name.png)" >&2
    shot "$name"
    return 1
}

fresh() {
    dir="$work/$1"
    mkdir -p "$dir"
    cp "$exe" "$dir/lomvato"
    cp "$(dirname "$exe")"/{default.lvt,help.html} "$dir/" 2>/dev/null
}

# window <name regex> [id]: waits for a visible window of Lomvato ($pid) with that name, other than id.
window() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | grep -vx "${2:-}" | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# start [first window's name]: starts Lomvato in $dir; sets $pid and $w, its first window.
start() {
    (cd "$dir" && exec ./lomvato) &
    pid=$!
    started+=" $pid"
    w=$(window "${1:-^Lomvato\$}")
}

ended() { # ended [pid]: waits up to ten seconds for the end of Lomvato or that process
    for _ in $(seq 100); do kill -0 "${1:-$pid}" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}
stop() { kill -TERM "${1:-$pid}" && ended "$@"; }

press() { # press <window> <keys...>: a window that has just been mapped may not take the focus at once.
    sleep 0.4
    xdotool windowfocus --sync "$1" 2>/dev/null
    xdotool key --clearmodifiers "${@:2}"
}

logged() { iconv -f CP932 -t UTF-8 "$dir/log.ini" | grep -q "$1"; }

log_ok() { # the log begins with the separator, an empty line and the start line
    iconv -f CP932 -t UTF-8 "$dir/log.ini" | head -3 | tr -d '\r' | tr '\n' '~' |
        grep -Eq '^\*{60}~~[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}	Lomvato起動開始~$'
}

# prepare <folder> <program> <sample> <check1> <check2>: a program folder whose startup template registers the
# shell program prog.sh with that sample and after-work settings, Lomvato started there, and a.txt and
# "b c.txt" in $files shown in a file manager to its right.
prepare() {
    fresh "$1"
    printf '#!/bin/sh\n%s\n' "$2" >"$dir/prog.sh"
    chmod +x "$dir/prog.sh"
    sed -e "2s/.*/$4\r/" -e "4s/.*/$5\r/" "$here/factory-written.lvt" |
        awk -v row="<App1>|prog.sh|$dir/prog.sh|$3" '{ print } /^\/listview2.listitems.Text/ { printf "%s\r\n", row }' \
            >"$dir/default.lvt"
    files="$dir-files"
    mkdir -p "$files"
    echo 1 >"$files/a.txt"
    echo 2 >"$files/b c.txt"
    check start || return 1
    pcmanfm "$files" >/dev/null 2>&1 &
    local fm
    fm=$(check timeout 20 xdotool search --sync --onlyvisible --name "^${files##*/}\$" | head -1) || return 1
    xdotool windowmove --sync "$fm" 1100 100
    sleep 0.5
}

# drag [ctrl]: drags every file of the file manager onto Lomvato's file list; with "ctrl", Ctrl is held at the
# release.
drag() {
    xdotool mousemove 1600 400 click 1 sleep 0.3 key ctrl+a sleep 0.3 mousemove 1305 198 sleep 0.2 mousedown 1
    for i in $(seq 1 30); do
        xdotool mousemove $((1305 - i * 30)) $((198 + i * 14)) sleep 0.05
    done
    xdotool mousemove 400 620 sleep 0.3
    [ "${1:-}" = ctrl ] && xdotool keydown ctrl
    xdotool mouseup 1
    [ "${1:-}" = ctrl ] && xdotool keyup ctrl
    sleep 0.5
}

run_batch() { # selects the program, takes its sample into the editor, registers it and starts the run
    xdotool mousemove 100 98 click 1 sleep 0.3 mousemove 358 244 click 1 sleep 0.3 \
        mousemove 300 362 click 1 sleep 0.3 mousemove 48 716 click 1
}

quit() { pkill -f "pcmanfm $files"; stop; }

case_first_start_and_quit() {
    fresh first
    check start || return 1
    press "$w" ctrl+q
    local box
    box=$(check window '^終了確認$') || return 1
    press "$box" Return
    check ended && check cmp -s "$dir/default.lvt" "$here/factory-written.lvt" && check log_ok
}

case_second_instance_refused() {
    fresh second
    check start || return 1
    local first=$pid before
    before=$(md5sum "$dir"/*.lvt "$dir"/log.ini 2>/dev/null)
    check start || return 1 # the second instance shows only its box
    press "$w" Return
    check ended && check [ "$before" = "$(md5sum "$dir"/*.lvt "$dir"/log.ini 2>/dev/null)" ] &&
        check kill -0 "$first" && stop "$first"
}

case_damaged_template_replaced() {
    fresh damaged
    printf '/check1.Value\r\nnot a number\r\n' >"$dir/default.lvt"
    check start '^起動時にエラーが発生しました$' || return 1
    press "$w" Return
    check window '^Lomvato$' >/dev/null && check stop &&
        check cmp -s "$dir/default.lvt" "$here/factory-written.lvt" && check log_ok
}

case_sigterm_stores_both_files() {
    fresh sigterm
    check start && check stop && check log_ok && check [ -s "$dir/default.lvt" ]
}

case_version_dialog() {
    fresh about
    check start || return 1
    press "$w" alt+h
    xdotool sleep 0.3 key v
    local about
    about=$(check window '^Lomvato$' "$w") || return 1
    press "$about" Escape
    check stop
}

case_dropped_files_run_through_a_real_program() {
    prepare run 'for a in "$@"; do printf "%s\n" "$a"; done >>"$(dirname "$0")/received.txt"' \
        '<App1> "<c5>" <c2>' 0 0 || return 1
    drag
    drag ctrl
    run_batch
    local box
    box=$(check window '^Lomvato$' "$w") || return 1
    press "$box" Return
    # <c2> stands without quotes in the sample, so the name with a blank arrives as two arguments.
    printf '%s\n' "$files/a.txt" a "$files/b c.txt" b c "$files/a.txt" a "$files/b c.txt" b c >"$work/expected"
    check quit && check cmp -s "$dir/received.txt" "$work/expected" && check logged '全ての送信を終了しました／'
}

case_abort_leaves_the_program_running() {
    prepare abort 'echo $$ >"$(dirname "$0")/long.pid"; exec sleep 30' '<App1> "<c5>"' 1 0 || return 1
    drag
    run_batch
    xdotool sleep 1.5 mousemove 140 716 click 1 sleep 2.5
    local job ok=0
    job=$(cat "$dir/long.pid" 2>/dev/null)
    check quit && check [ -n "$job" ] && check kill -0 "$job" && check logged '送信作業を中断しました／' &&
        check not logged '全ての送信を終了しました／' || ok=1
    [ -n "$job" ] && kill "$job" 2>/dev/null
    return $ok
}

case_shutdown_countdown_cancelled() {
    prepare countdown 'exit 0' '<App1> "<c5>"' 1 1 || return 1
    drag
    run_batch
    local countdown
    countdown=$(check window '^Lomvato$' "$w") || return 1
    # "中　止" at once: the countdown must never run out here.
    xdotool windowfocus --sync "$countdown" 2>/dev/null
    xdotool key Escape
    sleep 6
    check kill -0 "$pid" && check quit && check not logged 'マシーンの終了'
}

all="first_start_and_quit second_instance_refused damaged_template_replaced sigterm_stores_both_files
    version_dialog dropped_files_run_through_a_real_program abort_leaves_the_program_running
    shutdown_countdown_cancelled"
for name in ${E2E_CASES:-$all}; do
    echo "case: $name"
    if "case_$name"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
