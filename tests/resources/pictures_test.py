#!/usr/bin/python3
"""The pictures as the program relies on them, read byte by byte: the banner's size, palette and
transparent index, the icon's three images, the theme icons' sizes. A line per check; exits 1 if
any failed."""
import struct
import sys
from pathlib import Path

RESOURCES = Path(__file__).resolve().parents[2] / "resources"
gif, ico = ((RESOURCES / name).read_bytes() for name in ("banner.gif", "app.ico"))

at = 13 + (3 * (2 << (gif[10] & 7)) if gif[10] & 0x80 else 0)  # past the global palette
transparent = None
while gif[at] == 0x21:  # the extensions before the image
    if gif[at + 1] == 0xF9:  # graphic control: flags, delay, transparent index
        transparent = gif[at + 6] if gif[at + 3] & 1 else None
    at += 2
    while gif[at]:
        at += 1 + gif[at]
    at += 1


def ico_image(index):  # size, colour count, bits; then its bitmap header
    width, height, colours, _, _, bits, _, offset = struct.unpack_from("<BBBBHHII", ico,
                                                                      6 + 16 * index)
    return width, height, colours, bits, struct.unpack_from("<IiiHHI", ico, offset)


def png_size(name):
    return struct.unpack_from(">4sII", (RESOURCES / name).read_bytes(), 12)


CHECKS = [  # what, found, expected
    ("banner: GIF89a, 246x51, a global palette of 256 8-bit colours",
     (gif[:6], *struct.unpack_from("<HH", gif, 6), gif[10] & 0xF7), (b"GIF89a", 246, 51, 0xF7)),
    ("banner: one frame over all of it, no palette of its own",
     (gif[at], *struct.unpack_from("<HHHHB", gif, at + 1)), (0x2C, 0, 0, 246, 51, 0)),
    ("banner: palette index 255 is transparent", transparent, 255),
    ("app.ico: an icon of three images", struct.unpack_from("<HHH", ico), (0, 1, 3)),
    ("app.ico: 48x48 in 256 colours, 32x32 in 16 and in 256, each a bitmap with its mask",
     [ico_image(i) for i in range(3)],
     [(48, 48, 0, 8, (40, 48, 96, 1, 8, 0)), (32, 32, 16, 4, (40, 32, 64, 1, 4, 0)),
      (32, 32, 0, 8, (40, 32, 64, 1, 8, 0))]),
    ("theme icons of their named sizes", [png_size(f"icons/{s}x{s}.png") for s in (48, 32)],
     [(b"IHDR", 48, 48), (b"IHDR", 32, 32)]),
]
for what, got, expected in CHECKS:
    print(f"ok: {what}" if got == expected else f"FAIL: {what}: {got!r}, expected {expected!r}")
sys.exit(any(got != expected for _, got, expected in CHECKS))
