#!/usr/bin/python3
"""Compares the icon an X window shows (_NET_WM_ICON, as wine sets it) with one image of an .ico.

usage: window_icon_matches.py WINDOW_ID ICO INDEX

Exits 0 if the window has an icon of the image's size whose pixels match: the same transparent
pixels, the same colour in every other one. Otherwise prints what differs and exits 1.
"""
import subprocess
import sys


def window_icons(window):
    """{(width, height): [0xAARRGGBB, ...]} from the window's _NET_WM_ICON property."""
    text = subprocess.run(["xprop", "-id", window, "-notype", "32c", "_NET_WM_ICON"],
                          capture_output=True, text=True, check=True).stdout
    if "=" not in text:
        return {}
    numbers = [int(word) for word in text.split("=", 1)[1].replace(",", " ").split()]
    icons, at = {}, 0
    while at + 2 <= len(numbers):
        width, height = numbers[at], numbers[at + 1]
        icons[(width, height)] = numbers[at + 2:at + 2 + width * height]
        at += 2 + width * height
    return icons


def main():
    window, ico, index = sys.argv[1], sys.argv[2], int(sys.argv[3])
    size = subprocess.run(["identify", "-format", "%w %h", f"{ico}[{index}]"],
                          capture_output=True, text=True, check=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    rgba = subprocess.run(["convert", f"{ico}[{index}]", "-depth", "8", "rgba:-"],
                          capture_output=True, check=True).stdout
    icons = window_icons(window)
    if (width, height) not in icons:
        print(f"the window shows no {width}x{height} icon, only {sorted(icons)}")
        return 1
    differing = 0
    for pixel, shown in enumerate(icons[(width, height)]):
        red, green, blue, alpha = rgba[4 * pixel:4 * pixel + 4]
        shown_alpha = shown >> 24
        shown_rgb = ((shown >> 16) & 255, (shown >> 8) & 255, shown & 255)
        if (alpha > 127) != (shown_alpha > 127) or (alpha > 127 and
                                                     shown_rgb != (red, green, blue)):
            differing += 1
    if differing:
        print(f"{differing} of {width * height} pixels of the window's icon differ from "
              f"{ico}[{index}]")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
