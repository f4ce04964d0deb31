#!/usr/bin/env bash
# Takes docs/screenshot-linux.png: the converter window with its frame, as openbox shows it on a
# private X server, after 5 has been typed at the end of the humidity. Builds the program first if
# needed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
program="$build/window/qt/feuchte-abs-rel"
if [[ ! -x $program ]]; then
    cmake -S . -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target feuchte-abs-rel >/dev/null

source tests/support/x_session.sh
x_session_start

LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 "$program" &
x_session_track $!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Feuchte abs -> rel$' | head -n 1)

frame_extents() { xprop -id "$window" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$'; }
wait_for "the window frame" 20 frame_extents
IFS=', ' read -r left right top bottom < <(frame_extents)
geometry() { xwininfo -id "$window" | awk -v key="$1" -F: '$1 ~ key { print $2 + 0 }'; }
x=$(($(geometry 'Absolute upper-left X') - left))
y=$(($(geometry 'Absolute upper-left Y') - top))
width=$(($(geometry 'Width') + left + right))
height=$(($(geometry 'Height') + top + bottom))

# Shown in use, as on Windows: 8,65 g/m³ typed into the humidity field.
timeout 10 xdotool windowactivate --sync "$window"
xdotool key --delay 40 Tab End 5

# The window has painted itself once two shots in a row agree and the banner is there.
shot="$x_session_dir/shot.png"
previous=""
painted() {
    import -window root -crop "${width}x${height}+${x}+${y}" +repage "$shot"
    local current colours
    current=$(md5sum <"$shot")
    colours=$(identify -format '%k' "$shot")
    [[ $current == "$previous" && $colours -gt 50 ]] && return 0
    previous=$current
    return 1
}
wait_for "the window to paint" 20 painted
mkdir -p docs
cp "$shot" docs/screenshot-linux.png
echo "docs/screenshot-linux.png: ${width}x${height}"
