#!/usr/bin/env python3
"""Write a palettised GIF whose transparent colour is palette index 255.

ImageMagick picks its own palette order and transparent index when it writes a GIF, but the
window draws the banner expecting index 255 to be the see-through one. So ImageMagick only
does the colour reduction (to raw RGBA bytes) and this script lays out the GIF itself:

    write_gif.py WIDTH HEIGHT input.rgba output.gif

The input must hold WIDTH * HEIGHT pixels of 8-bit RGBA whose alpha is either 0 (background,
becomes index 255) or 255 (at most 255 distinct opaque colours, indices 0..254).
"""

import struct
import sys

TRANSPARENT = 255
# What a viewer that ignores transparency shows for index 255: the usual light window colour.
TRANSPARENT_RGB = (0xF0, 0xF0, 0xF0)
MIN_CODE_SIZE = 8


def lzw(indices):
    """GIF-flavoured LZW: variable code width up to 12 bits, clear code when the table is full."""
    clear, end = 1 << MIN_CODE_SIZE, (1 << MIN_CODE_SIZE) + 1
    out = bytearray()
    bits = nbits = 0

    def put(code, width):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    def reset():
        return {}, end + 1, MIN_CODE_SIZE + 1

    table, next_code, width = reset()
    put(clear, width)
    prefix = indices[0]
    for value in indices[1:]:
        key = (prefix, value)
        if key in table:
            prefix = table[key]
            continue
        put(prefix, width)
        if next_code < 4096:
            table[key] = next_code
            if next_code == (1 << width) and width < 12:
                width += 1
            next_code += 1
        else:
            # Table full: start over so the decoder's table and ours stay in step.
            put(clear, width)
            table, next_code, width = reset()
        prefix = value
    put(prefix, width)
    # The decoder adds one more entry after reading the last code; widen the end code to match.
    if next_code == (1 << width) and width < 12:
        width += 1
    put(end, width)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    chunks = [data[i : i + 255] for i in range(0, len(data), 255)]
    return b"".join(bytes([len(c)]) + c for c in chunks) + b"\0"


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    width, height = int(sys.argv[1]), int(sys.argv[2])
    with open(sys.argv[3], "rb") as f:
        rgba = f.read()
    if len(rgba) != width * height * 4:
        sys.exit(f"write_gif: expected {width * height * 4} bytes of RGBA, got {len(rgba)}")

    pixels = [tuple(rgba[i : i + 4]) for i in range(0, len(rgba), 4)]
    if any(p[3] not in (0, 255) for p in pixels):
        sys.exit("write_gif: alpha must be 0 or 255; threshold it first")
    colours = sorted({p[:3] for p in pixels if p[3] == 255})
    if len(colours) > TRANSPARENT:
        sys.exit(f"write_gif: {len(colours)} opaque colours, at most {TRANSPARENT} fit")

    index = {c: i for i, c in enumerate(colours)}
    indices = bytes(index[p[:3]] if p[3] == 255 else TRANSPARENT for p in pixels)
    palette = colours + [(0, 0, 0)] * (TRANSPARENT - len(colours)) + [TRANSPARENT_RGB]

    gif = bytearray(b"GIF89a")
    # Logical screen: global colour table present, 8 bits of colour resolution, 2^(7+1) entries.
    gif += struct.pack("<HHBBB", width, height, 0xF7, TRANSPARENT, 0)
    gif += b"".join(bytes(c) for c in palette)
    # Graphic control extension: no disposal, transparency flag set, transparent index 255.
    gif += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x01, 0, TRANSPARENT, 0)
    gif += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    gif += bytes([MIN_CODE_SIZE]) + sub_blocks(lzw(indices))
    gif += b";"
    with open(sys.argv[4], "wb") as f:
        f.write(gif)
    print(f"write_gif: {sys.argv[4]}: {width}x{height}, {len(colours)} opaque colours + index 255")


if __name__ == "__main__":
    main()
