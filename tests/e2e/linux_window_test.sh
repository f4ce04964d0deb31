#!/usr/bin/env bash
# Uses the built program as a person would, on a private X server with a window manager: types
# into the fields with the keyboard, presses Alt+B, reads the result field back through the
# clipboard and closes the window with Escape.
# Usage: linux_window_test.sh PATH/TO/feuchte-abs-rel
set -euo pipefail

program=$(realpath "${1:?usage: $0 PATH/TO/feuchte-abs-rel}")
source "$(dirname "$0")/../support/x_session.sh"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

x_session_start
LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 "$program" 2>"$x_session_dir/program.log" &
program_pid=$!
x_session_track "$program_pid"

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Feuchte abs -> rel$' |
    head -n 1) || true
if [[ -z $window ]]; then
    cat "$x_session_dir/program.log" >&2
    echo "FAIL: the window did not appear within 20 s" >&2
    exit 1
fi
timeout 10 xdotool windowactivate --sync "$window"

# Positions inside the window, from its layout: the middle of each control.
declare -A middle=([I1]="36 68" [I2]="116 68" [Text1]="124 100")
click_into() {
    # shellcheck disable=SC2086
    xdotool mousemove --window "$window" ${middle[$1]} click 1
}

# What Text1 shows, read as a person would: click into it, select all, copy, paste elsewhere.
text1_shows() {
    # A marker first, so that a clipboard left from an earlier check can never pass for this one.
    printf '%s' '<nichts kopiert>' | xclip -selection clipboard >/dev/null 2>&1
    click_into Text1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    [[ $(timeout 2 xclip -o -selection clipboard 2>/dev/null) == "$1" ]]
}
expect_text1() {
    if wait_for "Text1 to show '$1'" 10 text1_shows "$1"; then
        echo "ok: $2: Text1 shows '$1'"
    else
        fail "$2: Text1 shows '$(timeout 2 xclip -o -selection clipboard 2>/dev/null)'"
    fi
}

expect_text1 "--- % rel" "at the start"

click_into I2
xdotool key ctrl+a
xdotool type --delay 30 "8,65"
expect_text1 "42,1 % rel" "typing 8,65 into I2"

click_into Text1
xdotool key ctrl+a
xdotool type --delay 30 "x"
expect_text1 "x" "typing into Text1"
xdotool key alt+b
expect_text1 "42,1 % rel" "Alt+B from Text1"

click_into I1
xdotool key ctrl+a
xdotool type --delay 30 "abc"
expect_text1 "--- % rel" "letters in I1"
kill -0 "$program_pid" 2>/dev/null || fail "the program ended after a failing input"

click_into I2
xdotool key Escape
program_ended() { ! kill -0 "$program_pid"; }
if wait_for "the program to end" 10 program_ended; then
    status=0
    wait "$program_pid" || status=$?
    if ((status == 0)); then
        echo "ok: Escape in I2 closed the window and ended the program"
    else
        fail "the program ended with status $status"
    fi
else
    fail "Escape in I2 did not end the program"
fi

if [[ -s $x_session_dir/program.log ]]; then
    echo "the program wrote to stderr:" >&2
    cat "$x_session_dir/program.log" >&2
fi
((failures == 0)) || exit 1
