#!/usr/bin/env bash
# Measures the banner as a window shows it against the artwork it is drawn from:
#   measure.sh CROP SCALE [BACKGROUND] [light|dark]
# CROP is the banner's corner of a screenshot (or a rendered picture), SCALE the screen's scale
# (1, 1.25, 1.5, 2 ...), BACKGROUND the window colour behind the banner (default: the crop's
# top-left pixel, which the banner leaves transparent). Prints the mean absolute error against
# banner.svg (or banner/dark.svg) drawn at SCALE on BACKGROUND, and the contrast (WCAG) against
# BACKGROUND of the lettering colours the crop shows.
set -euo pipefail
(($# >= 2)) || { sed -n '2,8s/^# \{0,1\}//p' "$0" >&2; exit 2; }
crop=$1 scale=$2 variant=${4:-light}
here=$(cd "$(dirname "$0")" && pwd)
case $variant in
    light) source=$here/banner.svg ;;
    dark) source=$here/../banner/dark.svg ;;
    *) echo "measure.sh: variant is light or dark, not $variant" >&2; exit 2 ;;
esac
background=${3:-#$(convert "${crop}[0]" -format '%[hex:u.p{0,0}]' info: | cut -c1-6)}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

size=$(identify -format '%wx%h' "${crop}[0]")
convert "${crop}[0]" -background "$background" -flatten -alpha off "png24:$tmp/crop.png"
rsvg-convert -z "$scale" "$source" | convert - -background "$background" -flatten \
    -gravity northwest -extent "$size" -alpha off "png24:$tmp/vector.png"
# compare exits with 1 when the pictures differ, which they may; 2 is a failure.
status=0
mae=$(compare -metric MAE "$tmp/crop.png" "$tmp/vector.png" null: 2>&1) || status=$?
mae=${mae##*(} mae=${mae%)}
[[ $status -le 1 && $mae =~ ^[0-9.e-]+$ ]] || { echo "measure.sh: compare failed: $mae" >&2; exit 1; }
awk -v m="$mae" -v s="$size" -v z="$scale" -v b="$background" -v f="${source##*/}" \
    'BEGIN { printf "%s at %s on %s: mean absolute error %.3f %% against %s\n", s, z, b, 100 * m, f }'

# Stroke middles at 1x: the "l" of "rel" (letters) and the arrow's shaft (arrow and "%").
for point in "letters 203 24" "arrow 143 30"; do
    read -r name x y <<<"$point"
    at=$(awk -v x="$x" -v y="$y" -v z="$scale" 'BEGIN { print int(x * z) "," int(y * z) }')
    colour=$(convert "$tmp/crop.png" -format "%[hex:u.p{$at}]" info: | cut -c1-6)
    awk -v n="$name" -v c="$colour" -v b="${background#\#}" 'function lum(h,  i, v, l) {
            for (i = 0; i < 3; i++) {
                v = index("0123456789ABCDEF", toupper(substr(h, 2 * i + 1, 1))) * 16 - 16
                v = (v + index("0123456789ABCDEF", toupper(substr(h, 2 * i + 2, 1))) - 1) / 255
                v = v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ^ 2.4
                l += (i == 0 ? 0.2126 : i == 1 ? 0.7152 : 0.0722) * v
            }
            return l
        }
        BEGIN { a = lum(c) + 0.05; d = lum(b) + 0.05
                printf "%-7s #%s: contrast %.2f:1 against #%s\n", n, tolower(c), (a > d ? a / d : d / a), tolower(b) }'
done
