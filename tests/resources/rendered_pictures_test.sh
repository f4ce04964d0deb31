#!/usr/bin/env bash
# Each picture rendered from the artwork is there at its size and is its vector drawing: a window
# may be 0.6 % off the drawing, a picture more than 0.1 % only by a fault (edges blended towards a
# light background make 0.2-0.5 %). The dark banner's lettering keeps 4.5:1 against dark windows.
set -euo pipefail
res=$(cd "$(dirname "$0")/../../resources" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() { echo "FAIL: ${1#"$res"/} $2"; failed=1; }
holds() { awk "BEGIN { exit !($1) }"; }
sized() { # picture WxH
    local got
    got=$(identify -format '%wx%h' "$1" 2>/dev/null) || { fail "$1" "is missing"; return 1; }
    [[ $got == "$2" ]] || { fail "$1" "is $got, not $2"; return 1; }
}

while read -r picture size scale background variant; do
    sized "$res/$picture" "$size" || continue
    out=$("$res/artwork/measure.sh" "$res/$picture" "$scale" "$background" "$variant")
    echo "$picture: $out"
    holds "$(sed -n 's/.*error \([0-9.]*\) %.*/\1/p' <<<"$out") <= 0.1" || fail "$picture" "is off its drawing"
    for ratio in $(sed -n 's/.*contrast \([0-9.]*\):1.*/\1/p' <<<"$out"); do
        [[ $variant == light ]] || holds "$ratio >= 4.5" || fail "$picture" "lettering at $ratio:1"
    done
done <<'TABLE'
banner/125.png 308x64 1.25 #f0f0f0 light
banner/150.png 369x77 1.5 #f0f0f0 light
banner/200.png 492x102 2 #f0f0f0 light
banner/300.png 738x153 3 #f0f0f0 light
banner/dark-100.png 246x51 1 #222020 dark
banner/dark-125.png 308x64 1.25 #2d2d2d dark
banner/dark-150.png 369x77 1.5 #222020 dark
banner/dark-200.png 492x102 2 #1e1e1e dark
banner/dark-300.png 738x153 3 #000000 dark
TABLE

# Icons (hicolor and the second icon group) against their drawing; small sizes have their own.
icon() { # picture size
    sized "$1" "$2x$2" || return 0
    rsvg-convert -w "$2" -h "$2" "$res/artwork/icon$( (($2 > 24)) || echo -small).svg" -o "$tmp/drawing.png"
    local mae
    mae=$(compare -metric MAE "$1" "$tmp/drawing.png" null: 2>&1) || true
    echo "${1##*/}: mean absolute error $mae"
    mae=${mae##*(}
    holds "${mae%)} <= 0.001" || fail "$1" "is off its drawing"
}
for size in 16 22 24 32 48 64 128 256; do icon "$res/icons/${size}x$size.png" "$size"; done
icotool -x -o "$tmp" "$res/app-dpi.ico"
for size in 16 20 24 32 40 48; do icon "$tmp"/app-dpi_*_"${size}x${size}x32.png" "$size"; done
exit $failed
