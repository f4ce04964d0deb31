#!/usr/bin/env bash
# Each picture rendered from the artwork is there, has its size, and is the vector drawing at that
# size; the dark banner's lettering keeps 4.5:1 against dark windows. A window may be 0.6 % off the
# drawing, but a picture is the drawing itself: more than 0.1 % (mean absolute error) means a fault,
# such as edges blended towards a light background, which makes a 0.2-0.5 % fringe on dark ones.
set -euo pipefail
res=$(cd "$(dirname "$0")/../../resources" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
holds() { awk "BEGIN { exit !($1) }"; }
has_size() { # picture WxH
    local got
    got=$(identify -format '%wx%h' "$1" 2>/dev/null) || { fail "${1#"$res"/} missing"; return 1; }
    [[ $got == "$2" ]] || { fail "${1#"$res"/} is $got, not $2"; return 1; }
}

# Banners, measured as a window would show them, on the background they are meant for.
while read -r picture size scale background variant; do
    has_size "$res/$picture" "$size" || continue
    out=$("$res/artwork/measure.sh" "$res/$picture" "$scale" "$background" "$variant")
    echo "$picture: $out"
    holds "$(sed -n 's/.*error \([0-9.]*\) %.*/\1/p' <<<"$out") <= 0.1" || fail "$picture is off its source"
    [[ $variant == light ]] && continue
    for ratio in $(sed -n 's/.*contrast \([0-9.]*\):1.*/\1/p' <<<"$out"); do
        holds "$ratio >= 4.5" || fail "$picture: lettering at $ratio:1 on $background"
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

# Icons, each against its drawing at its size: the small sizes have a simplified one.
icon() { # picture size
    has_size "$1" "$2x$2" || return 0
    local source=$res/artwork/icon.svg mae
    (($2 <= 24)) && source=$res/artwork/icon-small.svg
    rsvg-convert -w "$2" -h "$2" "$source" -o "$tmp/vector.png"
    mae=$(compare -metric MAE "$1" "$tmp/vector.png" null: 2>&1) || true
    echo "${1##*/}: mean absolute error $mae"
    mae=${mae##*(}
    holds "${mae%)} <= 0.001" || fail "${1##*/} is off its drawing"
}
for size in 16 22 24 32 48 64 128 256; do icon "$res/icons/${size}x$size.png" "$size"; done
icotool -x -o "$tmp" "$res/app-dpi.ico"
for size in 16 20 24 32 40 48; do icon "$tmp"/app-dpi_*_"${size}x${size}x32.png" "$size"; done
exit $failed
