#!/usr/bin/env bash
# Takes the Linux screenshots in docs/: the converter window with its frame, as openbox shows it
# on a private X server, after 5 has been typed at the end of the humidity. Each VARIANT is 1x
# (docs/screenshot-linux.png), a scale such as 1.5x or 2x (QT_SCALE_FACTOR), or dark (qt6ct's
# "darker" colour scheme, as a dark desktop would give); the others are written to
# docs/screenshot-linux-VARIANT.png. Builds the program first if needed.
# Usage: scripts/screenshot.sh [VARIANT...]   (default: 1x 2x dark; OUT_DIR instead of docs)
set -euo pipefail
cd "$(dirname "$0")/.."

variants=("$@")
(($# > 0)) || variants=(1x 2x dark)
out=${OUT_DIR:-docs}
build=${BUILD_DIR:-build}
program="$build/window/qt/feuchte-abs-rel"
if [[ ! -x $program ]]; then
    cmake --preset linux -B "$build" >/dev/null
fi
cmake --build "$build" --target feuchte-abs-rel >/dev/null

source scripts/lib/x_session.sh
x_session_start
mkdir -p "$out" "$x_session_dir/config/qt6ct"
printf '[Appearance]\ncolor_scheme_path=%s\ncustom_palette=true\nstyle=Fusion\n' \
    /usr/share/qt6ct/colors/darker.conf >"$x_session_dir/config/qt6ct/qt6ct.conf"

shoot() {
    local variant=$1 target settings=(LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8)
    case $variant in
        1x) target=$out/screenshot-linux.png ;;
        dark)
            target=$out/screenshot-linux-dark.png
            settings+=(QT_QPA_PLATFORMTHEME=qt6ct "XDG_CONFIG_HOME=$x_session_dir/config")
            ;;
        *x)
            target=$out/screenshot-linux-$variant.png
            settings+=("QT_SCALE_FACTOR=${variant%x}")
            ;;
        *) echo "screenshot.sh: no variant $variant" >&2; return 2 ;;
    esac
    env "${settings[@]}" "$program" &
    local pid=$!
    x_session_track $pid
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid $pid --name '^Feuchte abs -> rel$' |
        head -n 1)

    wait_for "the window frame" 20 frame_extents
    IFS=', ' read -r left right top bottom < <(frame_extents)
    x=$(($(geometry 'Absolute upper-left X') - left))
    y=$(($(geometry 'Absolute upper-left Y') - top))
    width=$(($(geometry 'Width') + left + right))
    height=$(($(geometry 'Height') + top + bottom))

    # Shown in use, as on Windows: 8,65 g/m³ typed into the humidity field.
    timeout 10 xdotool windowactivate --sync "$window"
    xdotool key --delay 40 Tab End 5
    previous=""
    wait_for "the window to paint" 20 painted
    cp "$shot" "$target"
    echo "$target: ${width}x${height}"
    kill $pid
    wait $pid || true
}
frame_extents() { xprop -id "$window" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$'; }
geometry() { xwininfo -id "$window" | awk -v key="$1" -F: '$1 ~ key { print $2 + 0 }'; }
# The window has painted itself once two shots in a row agree and the banner is there.
shot="$x_session_dir/shot.png"
painted() {
    import -window root -crop "${width}x${height}+${x}+${y}" +repage "$shot"
    local current colours
    current=$(md5sum <"$shot")
    colours=$(identify -format '%k' "$shot")
    [[ $current == "$previous" && $colours -gt 50 ]] && return 0
    previous=$current
    return 1
}

for variant in "${variants[@]}"; do shoot "$variant"; done
