#!/usr/bin/env bash
# Regenerates every rendered picture under resources/ from the sources in this folder:
#   banner.svg -> ../banner.gif            (246 x 51, 256 colours, index 255 transparent)
#              -> ../banner/NNN.png        (light backgrounds at NNN % = 125 150 200 300)
#              -> ../banner/dark.svg       (the same drawing in colours for dark backgrounds)
#              -> ../banner/dark-NNN.png   (dark backgrounds at 100 125 150 200 300 %)
#   icon.svg   -> ../icons/SIZExSIZE.png   (32 48 64 128 256) and ../icons/scalable.svg
#   icon-small.svg -> ../icons/SIZExSIZE.png (16 22 24)
#              -> ../app.ico               (48x48 8 bpp, 32x32 4 bpp, 32x32 8 bpp)
#              -> ../app-dpi.ico           (16 20 24 32 40 48, 32 bpp with alpha)
# Banner pictures are drawn at exactly NNN/100 times the 246 x 51 drawing; where that is not a
# whole number of pixels the canvas is rounded up (308x64, 369x77) and the rest is transparent.
# PNGs are RGBA with straight alpha, without time stamps or text, so every run writes the same
# bytes. Needs the Debian packages librsvg2-bin, imagemagick, icoutils and python3.
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
/usr/bin/python3 "$here/write_gif.py" 246 51 "$tmp/banner.rgba" "$res/banner.gif"

# Lossless, smallest zlib setting ImageMagick has; no date, time or text chunks.
png() { # input output
    convert "$1" -strip -define png:exclude-chunks=date,time -quality 91 \
        -define png:compression-strategy=0 "png:$2"
}
zoom() { printf '%d.%02d' $(($1 / 100)) $(($1 % 100)); }

# Lettering, arrow and percent sign, the outlines and the wave in colours that stand out on dark
# window backgrounds (lettering at least 4.5:1 against #2d2d2d and anything darker).
echo "banner.svg -> banner/dark.svg, banner/NNN.png, banner/dark-NNN.png"
mkdir -p "$res/banner"
sed -e 's/#2f5f8f/#b4d6f5/; s/#5c9fd8/#6fb0ea/; s/#2e6fb0/#5b9be0/' \
    -e 's/#9ccbf0/#2f6fae/; s/#d3e6f6/#5b93c8/' \
    -e '/render.sh turns this/,/-->/c\     render.sh writes this from banner.svg, in colours for dark backgrounds. -->' \
    "$here/banner.svg" >"$res/banner/dark.svg"
for percent in 100 125 150 200 300; do
    if ((percent != 100)); then
        rsvg-convert -z "$(zoom $percent)" "$here/banner.svg" -o "$tmp/light.png"
        png "$tmp/light.png" "$res/banner/$percent.png"
    fi
    rsvg-convert -z "$(zoom $percent)" "$res/banner/dark.svg" -o "$tmp/dark.png"
    png "$tmp/dark.png" "$res/banner/dark-$percent.png"
done

echo "icon.svg, icon-small.svg -> icons/*.png, icons/scalable.svg"
mkdir -p "$res/icons"
icon() { # size output
    local source=$here/icon.svg
    (($1 <= 24)) && source=$here/icon-small.svg
    rsvg-convert -w "$1" -h "$1" "$source" -o "$tmp/icon.png"
    png "$tmp/icon.png" "$2"
}
for size in 16 22 24 32 48 64 128 256; do
    icon "$size" "$res/icons/${size}x$size.png"
done
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

echo "icon.svg, icon-small.svg -> app-dpi.ico (16 20 24 32 40 48, 32 bpp)"
dpi_images=()
for size in 16 20 24 32 40 48; do
    icon "$size" "$tmp/dpi-$size.png"
    convert "$tmp/dpi-$size.png" "png32:$tmp/dpi32-$size.png"
    dpi_images+=("$tmp/dpi32-$size.png")
done
icotool -c -o "$res/app-dpi.ico" -b 32 "${dpi_images[@]}"
icotool -l "$res/app-dpi.ico"
echo "done"
