#!/usr/bin/env bash
# Takes the Windows screenshots in docs/: the converter window under wine, in the frame wine
# draws as Windows would, after 5 has been typed at the end of the humidity; then prints how far
# its banner is from the artwork drawn at that scale and the contrast of its lettering. Each
# VARIANT is 1x (docs/screenshot-windows.png), a scale such as 1.5x or 2x (wine's LogPixels), or
# dark (the high-contrast black scheme); the others go to docs/screenshot-windows-VARIANT.png.
# Usage: scripts/screenshot-windows.sh [VARIANT...]   (default: 1x 2x dark; OUT_DIR instead of docs)
set -euo pipefail
cd "$(dirname "$0")/.."

variants=("$@")
(($# > 0)) || variants=(1x 2x dark)
out=${OUT_DIR:-docs}
exe=build-windows/window/win32/feuchte-abs-rel.exe
echo "screenshot-windows: build with the 'windows' preset"
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null

trap 'wineserver -k 2>/dev/null || true; x_session_stop' EXIT
source scripts/lib/x_session.sh
source scripts/lib/wine_prefix.sh
x_session_start
{ export LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8; } 2>/dev/null  # wine's number format, locale or not
echo "screenshot-windows: a wine prefix in $x_session_dir/prefix"
wine_prefix_make "$x_session_dir/prefix"
reg() { wine reg add "HKCU\\$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1; }
reg 'Software\Wine\X11 Driver' Decorated REG_SZ N  # the frame drawn by wine, as Windows would
wine reg export 'HKCU\Control Panel\Colors' "$x_session_dir/colours.reg" >/dev/null 2>&1
high_contrast_black=(ButtonFace '0 0 0' ButtonText '255 255 255' Window '0 0 0'
    WindowText '255 255 255' Highlight '26 235 255' HighlightText '0 0 0' ActiveTitle '0 0 0'
    GradientActiveTitle '0 0 0' TitleText '255 255 255' ActiveBorder '255 255 255')
mkdir -p "$out"

shoot() {
    local variant=$1 dpi=96 target scheme=light
    case $variant in
        1x) target=$out/screenshot-windows.png ;;
        dark) target=$out/screenshot-windows-dark.png scheme=dark ;;
        *x)
            target=$out/screenshot-windows-$variant.png
            dpi=$(awk -v s="${variant%x}" 'BEGIN { print int(96 * s + 0.5) }')
            ;;
        *) echo "screenshot-windows.sh: no variant $variant" >&2; return 2 ;;
    esac
    # Read as wine's desktop starts; a high-contrast scheme goes without visual styles.
    wine reg import "$x_session_dir/colours.reg" >/dev/null 2>&1
    reg 'Control Panel\Desktop' LogPixels REG_DWORD "$dpi"
    reg 'Software\Microsoft\Windows\CurrentVersion\ThemeManager' ThemeActive REG_SZ \
        "$([[ $scheme == dark ]] && echo 0 || echo 1)"
    if [[ $scheme == dark ]]; then
        for ((i = 0; i < ${#high_contrast_black[@]}; i += 2)); do
            reg 'Control Panel\Colors' "${high_contrast_black[@]:i:1}" REG_SZ \
                "${high_contrast_black[@]:i+1:1}"
        done
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w

    wine "$exe" &
    local pid=$!
    x_session_track $pid
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Feuchte abs -> rel$' |
        head -n 1)
    timeout 10 xdotool windowactivate --sync "$window"
    sleep 0.3  # the first paint and the initial focus
    xdotool key --delay 40 Tab End 5
    previous=""
    wait_for "the window to paint" 20 painted
    cp "$shot" "$target"

    # The banner at the client area's corner: below the caption, inside the frame's border.
    local width height client_width client_height left top
    read -r width height <<<"$(identify -format '%w %h' "$target")"
    client_width=$(((3720 * dpi + 720) / 1440)) client_height=$(((2355 * dpi + 720) / 1440))
    left=$(((width - client_width) / 2)) top=$((height - client_height - left))
    convert "$target" -crop "$(((246 * dpi + 48) / 96))x$(((51 * dpi + 48) / 96))+$left+$top" \
        +repage "$x_session_dir/banner.png"
    echo "$target: ${width}x${height}, banner:"
    LC_ALL=C LANG=C resources/artwork/measure.sh "$x_session_dir/banner.png" \
        "$(awk -v d="$dpi" 'BEGIN { print d / 96 }')" "" "$scheme" | sed 's/^/    /'
    xdotool key Escape  # I2 has the focus: the window closes
    wait $pid || true
}
# The window has painted itself once two shots in a row agree.
shot="$x_session_dir/shot.png"
painted() {
    sleep 0.2
    import -window "$window" -strip "$shot"
    local current
    current=$(md5sum <"$shot")
    [[ $current == "$previous" ]] && return 0
    previous=$current
    return 1
}

for variant in "${variants[@]}"; do shoot "$variant"; done
