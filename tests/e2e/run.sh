#!/usr/bin/env bash
# End-to-end checks of the built program, driven from outside as a person would: a real X server (Xvfb),
# xdotool for keys and windows, signals, and the files the program leaves behind.
# Usage: tests/e2e/run.sh <path to the lomvato executable>
set -uo pipefail

exe=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
shipped=$(dirname "$exe")
artifacts=${E2E_ARTIFACTS:-$(mktemp -d)}
mkdir -p "$artifacts"
work=$(mktemp -d)
passed=0
failed=0

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
unset QT_QPA_PLATFORM
# No system bus: even a countdown that ran out could not reach a real power-off. (The cases never let it.)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cleanup() {
    pkill -f "$work/" 2>/dev/null
    pkill -f "pcmanfm $work" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A fresh program folder with the executable and what ships beside it.
fresh() {
    local dir="$work/$1"
    mkdir -p "$dir"
    cp "$exe" "$dir/lomvato"
    cp "$shipped/default.lvt" "$shipped/help.html" "$dir/" 2>/dev/null
    echo "$dir"
}

# wait_window <name regex> [pid]: prints the id of a visible window with that name.
wait_window() {
    local id
    for _ in $(seq 100); do
        if [ -n "${2:-}" ]; then
            id=$(xdotool search --all --onlyvisible --pid "$2" --name "$1" 2>/dev/null | head -1)
        else
            id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
        fi
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

wait_exit() {
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}

press() { # press <window> <keys...>
    local w=$1
    shift
    # A window that has just been mapped may not take the focus yet.
    sleep 0.4
    xdotool windowfocus --sync "$w" 2>/dev/null
    xdotool key --clearmodifiers "$@"
}

check() { # check <case> <condition command...>
    local name=$1
    shift
    if "$@"; then
        return 0
    fi
    echo "  failed: $name: $*"
    import -window root "$artifacts/$name.png" 2>/dev/null
    return 1
}

run_case() {
    local name=$1
    echo "case: $name"
    if "case_$name"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "  (screenshot in $artifacts/$name.png)"
    fi
}

log_ok() { # the log begins with the separator, an empty line and the start line
    iconv -f CP932 -t UTF-8 "$1/log.ini" | head -3 | tr -d '\r' >"$work/head.txt"
    grep -q '^\*\{60\}$' <(sed -n 1p "$work/head.txt") &&
        [ -z "$(sed -n 2p "$work/head.txt")" ] &&
        grep -Eq '^[0-9]{2}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}	Lomvato起動開始$' <(sed -n 3p "$work/head.txt")
}

# A startup template with one registered program and the given after-work settings:
# template <dir> <program path> <sample> <check1> <check2> <option2: True|False or False|True>
template() {
    local dir=$1 program=$2 sample=$3 check1=$4 check2=$5 option2=$6
    sed -e "2s/.*/$check1\r/" -e "4s/.*/$check2\r/" -e "8s/.*/$option2\r/" "$here/factory-written.lvt" |
        awk -v row="<App1>|$(basename "$program")|$program|$sample" '
            { print }
            /^\/listview2.listitems.Text/ { printf "%s\r\n", row }' >"$dir/default.lvt"
}

# A program that records each of its arguments on a line of received.txt beside it.
recorder() {
    local dir=$1
    cat >"$dir/record.sh" <<'SH'
#!/bin/sh
for a in "$@"; do printf '%s\n' "$a"; done >>"$(dirname "$0")/received.txt"
SH
    chmod +x "$dir/record.sh"
}

# Files to drop, shown in a file manager to the right of Lomvato.
file_manager() {
    local files=$1
    pcmanfm "$files" >/dev/null 2>&1 &
    local fm
    fm=$(wait_window "^$(basename "$files")\$") || return 1
    xdotool windowmove --sync "$fm" 1100 100
    sleep 0.5
}

# Drags every file of the file manager onto Lomvato's file list; with "ctrl", Ctrl is held at the release.
drag_files() {
    xdotool mousemove 1600 400 click 1
    sleep 0.3
    xdotool key ctrl+a
    sleep 0.3
    xdotool mousemove 1305 198
    sleep 0.2
    xdotool mousedown 1
    for i in $(seq 1 30); do
        xdotool mousemove $((1305 - i * 30)) $((198 + i * 14))
        sleep 0.05
    done
    xdotool mousemove 400 620
    sleep 0.3
    [ "${1:-}" = ctrl ] && xdotool keydown ctrl
    xdotool mouseup 1
    [ "${1:-}" = ctrl ] && xdotool keyup ctrl
    sleep 0.5
}

# Selects the program, takes its sample into the editor, registers it and starts the run.
register_and_run() {
    xdotool mousemove 100 98 click 1
    sleep 0.3
    xdotool mousemove 358 244 click 1
    sleep 0.3
    xdotool mousemove 300 362 click 1
    sleep 0.3
    xdotool mousemove 48 716 click 1
}

# wait_second_window <pid> <main window>: the first other visible window of the program (a box or a dialog).
wait_second_window() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --all --onlyvisible --pid "$1" --name '^Lomvato$' 2>/dev/null | grep -v "^$2\$" | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# launch <program folder> <files folder>: starts Lomvato there and shows the files in the file manager; sets pid
# and w (the main window).
launch() {
    (cd "$1" && exec ./lomvato) &
    pid=$!
    w=$(wait_window '^Lomvato$' "$pid") && file_manager "$2"
}

# quit <files folder>: SIGTERM to Lomvato, the file manager closed; succeeds when Lomvato has ended.
quit() {
    kill -TERM "$pid"
    pkill -f "pcmanfm $1"
    wait_exit "$pid"
}

case_dropped_files_run_through_a_real_program() {
    local dir files box
    dir=$(fresh run)
    files="$work/run-files"
    mkdir -p "$files"
    echo 1 >"$files/a.txt"
    echo 2 >"$files/b c.txt"
    recorder "$dir"
    template "$dir" "$dir/record.sh" '<App1> "<c5>" <c2>' 0 0 'True|False'
    launch "$dir" "$files" || { check run false; return 1; }
    drag_files
    drag_files ctrl
    import -window root "$artifacts/dropped.png"
    register_and_run
    box=$(wait_second_window "$pid" "$w") || { check run false; return 1; }
    import -window root "$artifacts/run-finished.png"
    press "$box" Return
    # <c2> stands without quotes in the sample, so the name with a blank arrives as two arguments.
    printf '%s\n' "$files/a.txt" a "$files/b c.txt" b c "$files/a.txt" a "$files/b c.txt" b c >"$work/expected.txt"
    check run quit "$files" &&
        check run cmp -s "$dir/received.txt" "$work/expected.txt" &&
        check run grep -q '全ての送信を終了しました／' <(iconv -f CP932 -t UTF-8 "$dir/log.ini")
}

case_abort_leaves_the_program_running() {
    local dir files
    dir=$(fresh abort)
    files="$work/abort-files"
    mkdir -p "$files"
    echo 1 >"$files/long.txt"
    cat >"$dir/long.sh" <<'SH'
#!/bin/sh
echo $$ >"$(dirname "$0")/long.pid"
sleep 30
SH
    chmod +x "$dir/long.sh"
    template "$dir" "$dir/long.sh" '<App1> "<c5>"' 1 0 'True|False'
    launch "$dir" "$files" || { check abort false; return 1; }
    drag_files
    register_and_run
    sleep 1.5
    xdotool mousemove 140 716 click 1
    sleep 2.5
    import -window root "$artifacts/aborted.png"
    local job ok=0
    job=$(cat "$dir/long.pid" 2>/dev/null)
    check abort quit "$files" &&
        check abort [ -n "$job" ] && check abort kill -0 "$job" &&
        check abort grep -q '送信作業を中断しました／' <(iconv -f CP932 -t UTF-8 "$dir/log.ini") &&
        check abort [ -z "$(iconv -f CP932 -t UTF-8 "$dir/log.ini" | grep '全ての送信を終了しました／')" ] || ok=1
    [ -n "$job" ] && kill "$job" 2>/dev/null
    return $ok
}

case_shutdown_countdown_cancelled() {
    local dir files countdown
    dir=$(fresh countdown)
    files="$work/countdown-files"
    mkdir -p "$files"
    echo 1 >"$files/one.txt"
    recorder "$dir"
    template "$dir" "$dir/record.sh" '<App1> "<c5>"' 1 1 'True|False'
    launch "$dir" "$files" || { check countdown false; return 1; }
    drag_files
    register_and_run
    countdown=$(wait_second_window "$pid" "$w") || { check countdown false; return 1; }
    # "中　止" at once: the countdown must never run out here.
    xdotool windowfocus --sync "$countdown" 2>/dev/null
    xdotool key Escape
    import -window root "$artifacts/countdown.png"
    sleep 6
    check countdown kill -0 "$pid" || return 1
    check countdown quit "$files" &&
        check countdown [ -z "$(iconv -f CP932 -t UTF-8 "$dir/log.ini" | grep 'マシーンの終了')" ]
}

case_first_start_and_quit() {
    local dir pid w d
    dir=$(fresh first)
    (cd "$dir" && exec ./lomvato) &
    pid=$!
    w=$(wait_window '^Lomvato$' "$pid") || { check first_start_and_quit false; return 1; }
    import -window root "$artifacts/first-start.png"
    press "$w" ctrl+q
    d=$(wait_window '^終了確認$' "$pid") || { check first_start_and_quit false; return 1; }
    press "$d" Return
    check first_start_and_quit wait_exit "$pid" &&
        check first_start_and_quit cmp -s "$dir/default.lvt" "$here/factory-written.lvt" &&
        check first_start_and_quit log_ok "$dir"
}

case_second_instance_refused() {
    local dir first second w box before after
    dir=$(fresh second)
    (cd "$dir" && exec ./lomvato) &
    first=$!
    w=$(wait_window '^Lomvato$' "$first") || { check second_instance_refused false; return 1; }
    before=$(md5sum "$dir"/*.lvt "$dir"/log.ini 2>/dev/null)
    (cd "$dir" && exec ./lomvato) &
    second=$!
    box=$(wait_window '^Lomvato$' "$second") || { check second_instance_refused false; return 1; }
    import -window root "$artifacts/second-instance.png"
    press "$box" Return
    check second_instance_refused wait_exit "$second" || return 1
    after=$(md5sum "$dir"/*.lvt "$dir"/log.ini 2>/dev/null)
    check second_instance_refused [ "$before" = "$after" ] &&
        check second_instance_refused kill -0 "$first" &&
        { kill -TERM "$first"; wait_exit "$first"; }
}

case_damaged_template_replaced() {
    local dir pid box w
    dir=$(fresh damaged)
    printf '/check1.Value\r\nnot a number\r\n' >"$dir/default.lvt"
    (cd "$dir" && exec ./lomvato) &
    pid=$!
    box=$(wait_window '^起動時にエラーが発生しました$' "$pid") || { check damaged_template_replaced false; return 1; }
    import -window root "$artifacts/damaged-template.png"
    press "$box" Return
    w=$(wait_window '^Lomvato$' "$pid") || { check damaged_template_replaced false; return 1; }
    kill -TERM "$pid"
    check damaged_template_replaced wait_exit "$pid" &&
        check damaged_template_replaced cmp -s "$dir/default.lvt" "$here/factory-written.lvt" &&
        check damaged_template_replaced log_ok "$dir"
}

case_sigterm_stores_both_files() {
    local dir pid
    dir=$(fresh sigterm)
    rm -f "$dir/log.ini"
    (cd "$dir" && exec ./lomvato) &
    pid=$!
    wait_window '^Lomvato$' "$pid" >/dev/null || { check sigterm_stores_both_files false; return 1; }
    kill -TERM "$pid"
    check sigterm_stores_both_files wait_exit "$pid" &&
        check sigterm_stores_both_files log_ok "$dir" &&
        check sigterm_stores_both_files [ -s "$dir/default.lvt" ]
}

case_version_dialog() {
    local dir pid w about
    dir=$(fresh about)
    (cd "$dir" && exec ./lomvato) &
    pid=$!
    w=$(wait_window '^Lomvato$' "$pid") || { check version_dialog false; return 1; }
    press "$w" alt+h
    sleep 0.3
    xdotool key v
    about=$(xdotool search --all --sync --onlyvisible --pid "$pid" --name '^Lomvato$' | grep -v "^$w$" | head -1)
    sleep 0.3
    import -window root "$artifacts/version-dialog.png"
    check version_dialog [ -n "$about" ] || return 1
    press "$about" Escape
    kill -TERM "$pid"
    check version_dialog wait_exit "$pid"
}

all_cases="first_start_and_quit second_instance_refused damaged_template_replaced sigterm_stores_both_files
    version_dialog dropped_files_run_through_a_real_program abort_leaves_the_program_running
    shutdown_countdown_cancelled"
for c in ${E2E_CASES:-$all_cases}; do
    run_case "$c"
done

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
