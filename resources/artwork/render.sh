#!/usr/bin/env bash
# Regenerates every rendered picture under resources/ from the sources in this folder:
#   banner.svg -> ../banner.gif            (246 x 51, 256 colours, index 255 transparent)
#   icon.svg   -> ../icons/48x48.png, ../icons/32x32.png, ../icons/scalable.svg
#              -> ../app.ico               (48x48 8 bpp, 32x32 4 bpp, 32x32 8 bpp)
# Needs the Debian packages librsvg2-bin, imagemagick, icoutils and python3.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
res=$(dirname "$here")
# The window colour that anti-aliased banner edges are blended towards before the GIF's
# one-bit transparency cuts them off. Matches the usual light dialog background.
window=#f0f0f0

for tool in rsvg-convert convert icotool python3; do
    command -v "$tool" >/dev/null || {
        echo "render.sh: $tool is missing (apt-get install librsvg2-bin imagemagick icoutils python3)" >&2
        exit 1
    }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

echo "banner.svg -> banner.gif"
rsvg-convert "$here/banner.svg" -o "$tmp/banner.png"
# Flatten half-covered edge pixels onto the window colour, make coverage all-or-nothing, and
# cut the colours down so that the opaque ones fit in palette entries 0..254.
convert "$tmp/banner.png" \
    \( +clone -background "$window" -alpha remove -alpha off \) \
    \( -clone 0 -alpha extract -threshold 50% \) \
    -delete 0 -alpha off -compose CopyOpacity -composite \
    +dither -colors 255 -depth 8 "rgba:$tmp/banner.rgba"
python3 "$here/write_gif.py" 246 51 "$tmp/banner.rgba" "$res/banner.gif"

echo "icon.svg -> icons/48x48.png, icons/32x32.png, icons/scalable.svg"
mkdir -p "$res/icons"
rsvg-convert -w 48 -h 48 "$here/icon.svg" -o "$res/icons/48x48.png"
rsvg-convert -w 32 -h 32 "$here/icon.svg" -o "$res/icons/32x32.png"
cp "$here/icon.svg" "$res/icons/scalable.svg"

echo "icons/*.png -> app.ico (48x48 256 colours, 32x32 16 colours, 32x32 256 colours)"
# Palettised icon images only know opaque or transparent (the AND mask), so threshold the
# alpha. No dithering: at these sizes it looks like dirt rather than a smoother gradient.
palettise() { # input colours output
    convert "$1" -channel A -threshold 50% +channel -background none -alpha background \
        +dither -colors "$2" "png32:$3"
}
palettise "$res/icons/48x48.png" 256 "$tmp/48-256.png"
palettise "$res/icons/32x32.png" 16 "$tmp/32-16.png"
palettise "$res/icons/32x32.png" 256 "$tmp/32-256.png"
# icotool picks the smallest bit depth the colours fit in; -b sets the floor for each image.
icotool -c -o "$res/app.ico" -b 8 "$tmp/48-256.png" -b 4 "$tmp/32-16.png" -b 8 "$tmp/32-256.png"

listing=$(icotool -l "$res/app.ico")
echo "$listing"
expected="--icon --index=1 --width=48 --height=48 --bit-depth=8 --palette-size=256
--icon --index=2 --width=32 --height=32 --bit-depth=4 --palette-size=16
--icon --index=3 --width=32 --height=32 --bit-depth=8 --palette-size=256"
if [ "$listing" != "$expected" ]; then
    echo "render.sh: app.ico came out with other sizes or depths than intended" >&2
    exit 1
fi
echo "done"
