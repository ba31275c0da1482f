#!/usr/bin/env bash
# End-to-end checks of the built program, driven from outside as a person would: a real X server (Xvfb),
# xdotool for keys and windows, signals, and the files the program leaves behind.
# Usage: tests/e2e/run.sh <path to the lomvato executable>
set -uo pipefail

exe=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
shipped=$(dirname "$exe")
artifacts=${E2E_ARTIFACTS:-$(mktemp -d)}
work=$(mktemp -d)
passed=0
failed=0

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
unset QT_QPA_PLATFORM
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

cleanup() {
    pkill -f "$work/" 2>/dev/null
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

for c in ${E2E_CASES:-first_start_and_quit second_instance_refused damaged_template_replaced sigterm_stores_both_files version_dialog}; do
    run_case "$c"
done

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
