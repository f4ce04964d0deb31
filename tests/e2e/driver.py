#!/usr/bin/python3
"""Uses the converter window as a person would: clicks and keys, a field read by selecting all
of it and copying it. The same checks run against the Linux program and the Windows one under
wine; only starting them differs (launchers.py). Prints a line per check, exits 1 if any failed.

usage: driver.py qt PROGRAM | driver.py wine PROGRAM.exe
"""
import csv
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

from launchers import TITLE, NoWindow, Qt, Wine, run, wait_until, windows, xdotool

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
failures = []


def cases():
    """The typing table the browser's test shares: field, text typed, Text1 afterwards."""
    with open(HERE / "cases.tsv", newline="", encoding="utf-8") as table:
        return list(csv.DictReader(table, delimiter="\t", quoting=csv.QUOTE_NONE))


def check(what, got, expected):
    print(f"ok: {what}: {got!r}" if got == expected else
          f"FAIL: {what}: {got!r}, expected {expected!r}", flush=True)
    if got != expected:
        if not failures:
            subprocess.run(["import", "-window", "root", "e2e-failure.png"], check=False)
            print("the screen at the first failure: e2e-failure.png in the current folder")
        failures.append(what)


def expect_text1(app, what, expected):
    check(what, app.text1(expected), expected)


def check_icons(app, icons, what=""):
    for size, picture in icons:  # the icon's images as _NET_WM_ICON shows them
        words = [int(word) for word in run("xprop", "-id", app.window, "-notype", "32c",
                                           "_NET_WM_ICON").partition("=")[2].split(",") if word]
        while len(words) > 2 and words[:2] != [size, size]:
            words = words[2 + words[0] * words[1]:]
        shown = [(w >> 16 & 255, w >> 8 & 255, w & 255, w >> 24) for w in words[2:]]
        rgba = subprocess.run(["convert", f"{ROOT}/resources/{picture}", "-depth", "8", "rgba:-"],
                              capture_output=True, check=True).stdout
        drawn = [tuple(rgba[i:i + 4]) for i in range(0, len(rgba), 4)]
        # Transparent alike, the others within the rounding of premultiplied alpha.
        alike = [(p[3] > 127) == (q[3] > 127) and (p[3] <= 127 or max(
            abs(a - b) for a, b in zip(p, q)) <= 2) for p, q in zip(shown, drawn)]
        check(f"{what}the window's {size}x{size} icon is {picture}",
              len(shown) >= len(drawn) == size * size and all(alike), True)


def first_start(app):
    app.start()
    check_icons(app, app.icons)  # the banner: the window tests and wine_screens.py
    expect_text1(app, "Text1 when the window opens", "--- % rel")
    app.keys("Tab", "space")
    expect_text1(app, "Tab from Text1 to the button, Space", "41,8 % rel")
    for control, expected in ("I1", "23,0"), ("I2", "8,6"), ("Text1", "41,8 % rel"):
        app.keys(*["Tab"] * (2 if control == "I1" else 1))
        check(f"Tab reaches {control}", app.copy(), expected)

    # Each key counts at once, with its effect on the field; Text1 takes typing, so an "x" there
    # shows whether the next step really recalculated.
    for control, keys, expected in [
            ("Text1", "ctrl+a x alt+b", "41,8 % rel"),  # the button's access key
            ("I2", "End 5", "42,1 % rel"),
            ("I2", "End BackSpace", "41,8 % rel"),  # keys that only delete count too
            ("Text1", "ctrl+a x shift+Tab Right", "41,8 % rel"),  # those that change nothing too
            ("Text1", "ctrl+a x Tab space", "41,8 % rel")]:
        app.click(control)
        app.keys(*keys.split())
        expect_text1(app, f"{control}: {keys}", expected)
    for row in cases():
        app.replace(row["field"], row["typed"])
        expect_text1(app, f"{row['field']}: {row['typed']!r} typed", row["text1"])

    # A paste from the context menu changes the text without a key in the field, and keeps the
    # first line of it as Ctrl+V does.
    app.set_clipboard("20\n5")
    app.click("I1")
    app.keys("ctrl+a")
    before = len(windows())
    app.click("I1", 3)
    wait_until(lambda: len(windows()) > before)  # the menu is open
    app.keys(app.paste_key)
    wait_until(lambda: len(windows()) == before)
    check("I1 after pasting 20⏎5 from the context menu", app.copy(), "20")
    expect_text1(app, "Text1 after the paste", "100,0 % rel")

    for control in "Text1", "Command1":
        app.click(control)
        app.keys("Escape")
    time.sleep(0.5)
    check("window open after Escape in Text1 and on the button",
          app.process.poll() is None and app.window in windows(f"^{TITLE}$"), True)
    app.click("I2")
    app.keys("Escape")
    check("exit status after Escape in I2", app.ends(), 0)


def second_start(app):
    """Typing at once, paste and drop in place and undo, focus kept over minimize and restore.
    (Windows' fields keep their start in view: wine_screens.py.)"""
    app.start()
    app.type("20")  # I1 has the focus, its number selected, so typing replaces it
    check("I1 after typing 20 at the start", app.copy(), "20")
    expect_text1(app, "Text1 for 20 °C", "49,8 % rel")

    app.replace("I1", "23,0")
    app.replace("I2", "18,65")
    app.set_clipboard("0\n")  # a copied spreadsheet cell
    app.keys("Home", "Right", "ctrl+v")
    check("I2 after pasting 0⏎ after the 1 of 18,65", app.copy(), "108,65")
    expect_text1(app, "Text1 after the paste", "100,0 % rel")
    app.click("I2")
    app.keys("ctrl+z")
    check("I2 after Ctrl+Z", app.copy(), "18,65")
    expect_text1(app, "Text1 after Ctrl+Z", "90,7 % rel")
    app.set_clipboard("7\r")  # a lone CR, as old Mac programs end a line
    app.click("I1")
    app.keys("Home", "Right", "shift+Right", "ctrl+v")
    check("I1 after pasting 7 and a CR over the selected 3 of 23,0", app.copy(), "27,0")
    expect_text1(app, "Text1 after the paste", "72,4 % rel")
    app.set_clipboard("<p><b>3</b><br>x</p>", "text/html")  # HTML alone, as some web pages offer it
    app.click("I1")
    app.keys("Home", "Right", "shift+Right", "ctrl+v")
    check("I1 after pasting HTML alone over the selected 7 of 27,0", app.copy(), "23,0")
    expect_text1(app, "Text1 after the paste", "90,7 % rel")

    if "FEUCHTE_DRAG_SOURCE" in os.environ:  # a program built for the tests
        app.replace("I1", "23,0")
        app.drop("9\nX", "I1", 28)  # after the 2
        check("I1 after dropping 9⏎X after the 2 of 23,0", app.shows("I1"), "293,0")
        expect_text1(app, "Text1 after the drop", "0,1 % rel")
        app.click("I1")
        app.keys("ctrl+z")
        check("I1 after Ctrl+Z", app.copy(), "23,0")
        app.drop("<b>9</b><br>X", "I1", 28, "html")
        check("I1 after dropping HTML alone after the 2 of 23,0", app.shows("I1"), "293,0")

    app.click("I2")
    app.keys("End")
    xdotool("windowminimize", "--sync", app.window)
    xdotool("windowactivate", "--sync", app.window)
    time.sleep(0.3)  # a person sees the window back before typing
    app.type("5")
    check("I2 after minimize, restore and typing 5", app.shows("I2"), "18,655")

    app.click("I1")
    app.keys("Escape")
    check("exit status after Escape in I1", app.ends(), 0)


def other_scripts(app):
    """Numbers typed in the locale's own digits on its keyboard layout, the result written in
    them, and drawn left to right whatever its first character."""
    for locale, layout, typed, expected in [
            ("fa_IR.UTF-8", "ir", ("۲۳", "۸٫۶"), "۴۱٫۸ % rel"),
            ("ar_EG.UTF-8", "ara", ("٢٣", "-١"), "-٤٫٩ % rel")]:
        app.start(locale)
        app.replace("I1", typed[0], layout)
        app.replace("I2", typed[1], layout)
        expect_text1(app, f"{locale}: {' and '.join(typed)} typed on the {layout} layout",
                     expected)
        shot = f"{app.work}/window.png"
        run("import", "-window", app.window, shot, check=True)
        # Ink from the field's left edge on, not pushed to its right.
        check(f"{locale}: Text1 drawn from the left", int(run(
            "convert", shot, "-crop", "209x17+20+92", "+repage", "-trim", "-format", "%X",
            "info:")) < 5, True)
        app.click("I1")
        app.keys("Escape")
        app.ends()


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # a timeout still ends the program
    app = {"qt": Qt, "wine": Wine}[sys.argv[1]](str(Path(sys.argv[2]).resolve()))
    try:
        first_start(app)
        second_start(app)
        if app.locales:
            other_scripts(app)
        else:
            import wine_screens  # pylint: disable=import-outside-toplevel
            wine_screens.check_all(app, sys.modules[__name__])
    except NoWindow as error:
        check("the window", str(error), "shown")
    finally:
        app.stop()
    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
