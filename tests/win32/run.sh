#!/usr/bin/env bash
# The Windows program, built and used as on Windows:
#   1. builds it with the "windows" preset (MinGW-w64, static, build-windows/);
#   2. checks what Windows reads from the .exe without running it (check_resources.py);
#   3. runs it under wine on a private Xvfb display with openbox and a throw-away wine prefix,
#      types into it with xdotool and reads the result field back through the clipboard.
# usage: tests/win32/run.sh                 all three
#        tests/win32/run.sh --screenshot    build, then photograph the window into
#                                           docs/screenshot-windows.png
# Needs the "test" packages of scripts/install-deps.sh; works without a terminal and as root.
set -euo pipefail
cd "$(dirname "$0")/../.."

mode="test"
case "${1:-}" in
    "") ;;
    --screenshot) mode="screenshot" ;;
    *) echo "usage: $0 [--screenshot]" >&2; exit 2 ;;
esac

say() { echo "win32: $*"; }
fail() {
    echo "win32: FAIL: $*" >&2
    if [[ -n ${DISPLAY:-} ]] &&
        import -window root build-windows/failure.png 2>/dev/null; then
        echo "win32: the screen at the failure: build-windows/failure.png" >&2
    fi
    for log in "${work:-/nonexistent}"/*.log "${x_session_dir:-/nonexistent}"/*.log; do
        [[ -s $log ]] || continue
        echo "--- last lines of $(basename "$log")" >&2
        tail -n 15 "$log" >&2
    done
    exit 1
}
now_ms() { date +%s%3N; }

exe=build-windows/window/win32/feuchte-abs-rel.exe
title="Feuchte abs -> rel"

say "configure and build with the 'windows' preset"
cmake --preset windows >/dev/null
cmake --build --preset windows

if [[ $mode == test ]]; then
    say "resources, imports, size and subsystem of $exe"
    /usr/bin/python3 tests/win32/check_resources.py "$exe" . || fail "check_resources.py"
fi

# --- a private X display, a window manager and a wine prefix, all gone when the script ends --
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
cleanup() {
    # wineserver -k ends every process of this prefix, and only those; then the X server can go.
    if [[ -d $WINEPREFIX ]]; then
        wineserver -k >/dev/null 2>&1 || true
        timeout 10 wineserver -w >/dev/null 2>&1 || true
    fi
    x_session_stop
    rm -rf "$work"
}
trap cleanup EXIT
source tests/support/x_session.sh

say "start Xvfb and openbox"
x_session_start || fail "Xvfb or openbox did not start"

# Wine takes the user's number format from LC_ALL, even where glibc lacks that locale; German
# gives the decimal comma the expected texts below are written with (reading the input fields
# back shows it). Gecko and Mono are never needed, so never offered.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine() { env LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 wine "$@"; }

say "create the wine prefix"
started=$(now_ms)
timeout 120 wine wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot"
timeout 60 wineserver -w || true
# Debian's wine loads only the bitmap fonts of fonts-wine by itself. Tahoma (behind Windows'
# default GUI font, which the button uses) and Marlett (the caption buttons) need to be where
# Windows keeps its fonts.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
say "prefix ready after $(($(now_ms) - started)) ms"

app_pid=
window=
# Starts the program and waits for its window; sets app_pid and window.
start_program() {
    started=$(now_ms)
    wine "$exe" >>"$work/wine.log" 2>&1 &
    app_pid=$!
    window=
    for _ in $(seq 300); do
        window=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
        [[ -n $window ]] && break
        kill -0 "$app_pid" 2>/dev/null || fail "the program ended before its window appeared"
        sleep 0.05
    done
    [[ -n $window ]] || fail "no window titled '$title' within 15 s"
    say "window after $(($(now_ms) - started)) ms"
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    sleep 0.3  # the first paint and the initial focus
}

# Waits up to 10 s for the program to end; fails unless it ends with exit code 0.
expect_program_ends() {
    for _ in $(seq 100); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && fail "$1: the program is still running"
    local status=0
    wait "$app_pid" || status=$?
    [[ $status == 0 ]] || fail "$1: the program ended with exit code $status"
    xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 &&
        fail "$1: the window is still there"
    return 0
}

# Centre of a control in window coordinates, from the designer's twips (15 to a pixel at 96 DPI).
declare -A centre=(
    [I1]="36 68" [I2]="116 68" [Text1]="124 100" [Command1]="124 132"
)
last_click=0
click() {
    # Two clicks on one spot within Windows' double-click time (500 ms) make a double click,
    # which leaves the focus where it was; a person pauses longer than that between clicks.
    local pause=$((600 - ($(now_ms) - last_click)))
    ((pause > 0)) && sleep "0.$(printf '%03d' "$pause")"
    # shellcheck disable=SC2086  # x and y are separate words
    xdotool mousemove --window "$window" ${centre[$1]} click "${2:-1}"
    last_click=$(now_ms)
}
keys() { xdotool key --delay 40 "$@"; }

# What the focused control copies to the clipboard, or "" if it copies nothing. A marker put
# there first makes a stale clipboard impossible to mistake for the control's text.
copy_focused() {
    # xclip stays behind to serve the marker; its output must not hold up $(...).
    printf '%s' '<nichts kopiert>' | xclip -selection clipboard >/dev/null 2>&1
    local text attempt
    for attempt in 1 2 3; do
        # Wine copies each new X clipboard into the Windows one, and a Ctrl+C that comes while
        # it does so finds the clipboard busy and copies nothing; a person would press it again.
        sleep 0.2
        keys ctrl+a ctrl+c
        for _ in $(seq 20); do
            # While the clipboard changes hands, reading it may fail; that is not an answer yet.
            if text=$(xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null) &&
                [[ $text != '<nichts kopiert>' ]]; then
                ((attempt == 1)) || echo "win32:   (copied at attempt $attempt)" >&2
                printf '%s' "$text"
                return
            fi
            sleep 0.05
        done
    done
}

# Reads the result field as a person would: click into it, select everything, copy.
read_result() {
    click Text1
    copy_focused
}

expect_text() {  # what, got, expected
    [[ $2 == "$3" ]] || fail "$1: got '$2', expected '$3'"
    say "  $1: '$2'"
}

if [[ $mode == screenshot ]]; then
    say "photograph the window"
    # Wine draws the frame and caption itself, as Windows would, instead of openbox.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f \
        >>"$work/wine.log" 2>&1
    start_program
    keys Tab End 5  # 8,65 g/m³, the caret left in the field
    sleep 0.6
    mkdir -p docs
    import -window "$window" "$work/screenshot.png"
    convert "$work/screenshot.png" -strip docs/screenshot-windows.png
    say "wrote docs/screenshot-windows.png" \
        "($(identify -format '%wx%h' docs/screenshot-windows.png) pixels)"
    keys Escape
    expect_program_ends "Escape in I2"
    exit 0
fi

say "first start: the window as it opens"
start_program
# With openbox framing it, the X window is exactly the client area.
import -window "$window" "$work/opened.png"
# The banner at the top-left corner, its transparent pixels showing the window's background
# (taken from the client area's bottom-right corner, where no control is).
background=$(convert "$work/opened.png" -format '%[pixel:p{247,156}]' info:)
convert -size 246x51 "xc:$background" resources/banner.gif -composite "$work/banner-expected.png"
convert "$work/opened.png" -crop 246x51+0+0 +repage "$work/banner-shown.png"
differing=$(compare -metric AE "$work/banner-expected.png" "$work/banner-shown.png" null: 2>&1 ||
    true)
[[ $differing == 0 ]] || fail "banner: $differing pixels differ from banner.gif on $background"
say "  banner: banner.gif pixel for pixel, its transparent pixels $background"
# The window's icons at 96 dpi: app-dpi.ico's 32x32 and 16x16 images, each drawn for its size.
for image in 3 0; do
    tests/win32/window_icon_matches.py "$window" resources/app-dpi.ico $image || fail "window icon"
done
say "  window icons: app-dpi.ico's 32x32 and 16x16 images"
# Only a mouse click so far: nothing may have been calculated.
expect_text "result field at start" "$(read_result)" "--- % rel"
keys Tab space
expect_text "Tab from the result field to the button, Space" "$(read_result)" "41,8 % rel"
# Every key in an input field recalculates, the Ctrl of Ctrl+C too; from here on the inputs are
# read only where that does not matter.
keys Tab Tab
expect_text "Tab past the button reaches I1" "$(copy_focused)" "23,0"
keys Tab
expect_text "Tab from I1 reaches I2" "$(copy_focused)" "8,6"
keys Tab
expect_text "Tab from I2 reaches the result field" "$(copy_focused)" "41,8 % rel"

say "the result follows every way of changing the inputs"
# Each row: the control clicked first, the keys typed there, the result field's text afterwards.
# The result field takes typing, so "x" there shows whether the button really recalculated.
steps=(
    "Text1|ctrl+a x alt+b|41,8 % rel"         # the button's access key, &berechnen
    "I2|End 5|42,1 % rel"                     # 8,65: the key counts at once, with its digit
    "I2|End BackSpace|41,8 % rel"             # 8,6 again: keys that only delete count too
    "Text1|ctrl+a x shift+Tab Right|41,8 % rel" # in I2, a key that changes no text counts too
    "I1|ctrl+a x|--- % rel"                   # not a number
    "I2|ctrl+a 1 7 comma 3|--- % rel"         # still no temperature
    "I1|ctrl+a 2 0|100,0 % rel"               # 20 °C, 17,3 g/m³: over 100 %, shown as 100
    "I1|ctrl+a period 5|--- % rel"            # the other decimal separator is no number here
    "Text1|ctrl+a x Tab space|--- % rel"      # the button recalculates the failure, too
)
for step in "${steps[@]}"; do
    IFS='|' read -r control typed expected <<<"$step"
    click "$control"
    # shellcheck disable=SC2086  # the keys are separate words
    keys $typed
    expect_text "$control: $typed" "$(read_result)" "$expected"
done

# A paste from the field's context menu changes the text without any key in the field.
printf '%s' '20' | xclip -selection clipboard >/dev/null 2>&1
click I1 3
keys m # "Alles markieren"
click I1 3
keys i # "Einfügen"
expect_text "I1: 20 pasted from the context menu" "$(read_result)" "100,0 % rel"

say "Escape closes the window from the input fields only"
for control in Text1 Command1; do
    click "$control"
    keys Escape
    sleep 0.5
    kill -0 "$app_pid" 2>/dev/null || fail "Escape in $control ended the program"
    xdotool search --onlyvisible --name "^${title}\$" >/dev/null ||
        fail "Escape in $control closed the window"
    say "  Escape in $control: window stays"
done
click I2
keys Escape
expect_program_ends "Escape in I2"
say "  Escape in I2: window closed, program ended with 0"

say "second start, warm prefix"
start_program
# The first field has the focus with its number selected, so typing at once replaces it.
xdotool type --delay 40 20
expect_text "I1 after typing 20 at the start" "$(copy_focused)" "20"
expect_text "result for 20 °C" "$(read_result)" "49,8 % rel"
click I1
keys Escape
expect_program_ends "Escape in I1"
say "  Escape in I1: window closed, program ended with 0"

say "all Windows checks passed"
