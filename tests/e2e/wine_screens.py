"""The Windows program under wine at 96, 120, 144 and 192 dpi and in a high-contrast scheme, set in
wine's registry: the layout from the twips, the letters, banner and icons drawn for the scale,
numbers whole in the fields, and a number format changed while the window is open. Called by
driver.py, d here."""
import subprocess
import time
from pathlib import Path

# Controls in z-order (the order Tab follows, then the labels): left, top, width, height in twips.
TWIPS = [(240, 840, 615, 375), (1440, 840, 615, 375), (240, 1320, 3255, 375),
         (240, 1800, 3255, 375), (840, 840, 495, 375), (2040, 840, 615, 375)]
HIGH_CONTRAST = {"ButtonFace": "0 0 0", "ButtonText": "255 255 255", "Window": "0 0 0",
                 "WindowText": "255 255 255", "Highlight": "26 235 255"}


def pixels(length, dpi, unit=1440):  # rounded as MulDiv rounds
    return (length * dpi + unit // 2) // unit


def configure(app, d, dpi, colours):
    # With colours no visual styles, as in high-contrast schemes; read as wine's desktop starts.
    settings = [(r"Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi)),
                (r"Software\Microsoft\Windows\CurrentVersion\ThemeManager", "ThemeActive",
                 "REG_SZ", "0" if colours else "1")]
    for key, name, kind, value in settings + [(r"Control Panel\Colors", name, "REG_SZ", value)
                                              for name, value in colours.items()]:
        d.run("wine", "reg", "add", f"HKCU\\{key}", "/v", name, "/t", kind, "/d", value, "/f",
              env=app.environment("C"), check=True)
    for option in "-k", "-w":
        d.run("wineserver", option, env=app.environment("C"))


def probe(app, d, *mode):
    """Client size, each control's place and the pixels its text is scrolled by, as shown and with
    the caret at its end (0, 0: start in view, whole text fits); or with "names" each
    control's role, name and value as MSAA gives them to a screen reader (window_probe.cpp)."""
    return [line.split("\t") if mode else [int(word) for word in line.split()] for line in
            d.run("wine", app.probe, d.TITLE, *mode, env=app.environment("C")).splitlines()]


def announced(app, d, keys):
    """The name and new value of each control that tells a screen reader's WinEvent hook that its
    value changed while the keys are typed."""
    with subprocess.Popen(["wine", app.probe, d.TITLE, "events", "5"], text=True,
                          stdout=subprocess.PIPE, env=app.environment("C")) as listener:
        listener.stdout.readline()  # "listening"
        for key in keys.split():  # a key at a time: the value is read when the event arrives
            app.keys(key)
            time.sleep(0.5)
        return [line.rstrip("\r\n").split("\t")[1:] for line in listener.stdout]


def change_number_format(app, d, decimal, thousand):
    """As the Control Panel does: the new separators into the registry, then every window told.
    In the prefix's locale: wine rewrites the format as that of the locale it runs in."""
    (Path(app.work) / "format.reg").write_text(
        f'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\International]\n'
        f'"sDecimal"="{decimal}"\n"sThousand"="{thousand}"\n')
    for command in (["reg", "import", f"{app.work}/format.reg"],
                    [app.probe, d.TITLE, "intl"]):
        d.run("wine", *command, env=app.environment("de_DE.UTF-8"), check=True)


def ink_height(d, shot, box, inset):  # of the letters in a box of the screenshot, inside its border
    crop = f"{box[2] - 2 * inset}x{box[3] - 2 * inset}+{box[0] + inset}+{box[1] + inset}"
    return int(d.run("convert", shot, "-crop", crop, "+repage", "-fuzz", "40%", "-format", "%@",
                     "info:").split("x")[1].split("+")[0])


def check_all(app, d):
    heights = []
    for dpi, colours in (96, {}), (120, {}), (144, {}), (192, {}), (96, HIGH_CONTRAST):
        what = f"{dpi} dpi{', high contrast' if colours else ''}: "
        configure(app, d, dpi, colours)
        app.start()
        layout, shot, banner = probe(app, d), f"{app.work}/window.png", f"{app.work}/banner.png"
        if not heights:  # roles: 42 text, 43 push button
            d.check("a screen reader's roles, names and values (MSAA)", probe(app, d, "names")[:4],
                    [["42", "Temperatur in °C", "23,0"], ["42", "Absolute Feuchte in g/m³", "8,6"],
                     ["42", "Relative Feuchte", "--- % rel"], ["43", "berechnen", ""]])
        d.check(what + "client area, controls where the twips say", [row[:4] for row in layout],
                [[pixels(3720, dpi), pixels(2355, dpi)]] + [[pixels(t, dpi) for t in row]
                                                            for row in TWIPS])
        d.run("import", "-window", app.window, shot, check=True)
        # Label1's regular and Text1's bold letters; hinting rounds them to whole pixels.
        shown = [ink_height(d, shot, layout[5], 0),
                 ink_height(d, shot, layout[3], pixels(3, dpi, 96))]
        heights = heights or shown
        d.check(what + f"letters {shown} high, 96 dpi's {heights} scaled within 12 %",
                all(abs(h * 96 / dpi / h96 - 1) < 0.12 for h, h96 in zip(shown, heights)), True)
        d.run("convert", shot, "-crop", f"{pixels(246, dpi, 96)}x{pixels(51, dpi, 96)}+0+0",
              "+repage", banner, check=True)
        measured = d.run(d.ROOT / "resources/artwork/measure.sh", banner, str(dpi / 96), "",
                         "dark" if colours else "light").split()
        error = float(measured[measured.index("error") + 1])
        contrast = float(measured[measured.index("letters") + 3].split(":")[0])
        d.check(what + f"banner {error} % off its drawing, letters {contrast}:1",
                error < 0.6 and contrast >= 4.5, True)
        if dpi == 144:  # the icons drawn for 150 %
            d.check_icons(app, [(48, "app-dpi.ico[5]"), (24, "app-dpi.ico[2]")], what)
        if dpi == 96 and not colours:  # I2 to 8,65 and back, the focus back in I1
            d.check("a screen reader hears each new result, and only that",
                    announced(app, d, "Tab End 5 BackSpace shift+Tab"),
                    [["Relative Feuchte", "41,8 % rel"], ["Relative Feuchte", "42,1 % rel"],
                     ["Relative Feuchte", "41,8 % rel"]])
            # The number format changed while the window is open: the texts stay as they are.
            app.replace("I1", "23")
            app.replace("I2", "9")
            for decimal, thousand, result in (".", ",", "43.8 % rel"), (",", ".", "43,8 % rel"):
                change_number_format(app, d, decimal, thousand)
                d.expect_text1(app, f"Text1 for 23 and 9 once the decimal separator is {decimal!r}",
                               result)
            app.click("I1")
        # By keys from I1 on, as clicks land where the controls are at 96 dpi.
        for numbers in ("-10,5", "12,34"), ("23,45", "100,0"):
            for keys, number in zip(("ctrl+a", "Tab ctrl+a"), numbers):
                app.keys(*keys.split())
                app.type(number)
            d.check(what + f"{' and '.join(numbers)} whole in I1 and I2",
                    [row[5] for row in probe(app, d)[1:3]], [0, 0])
            app.keys("shift+Tab")
        # A longer text shows its start out of the focus, and after a shorter one.
        app.keys("ctrl+a")
        app.type("-10,12345")
        for keys in "Tab", "shift+Tab ctrl+a 3 7 comma 5":
            app.keys(*keys.split())
            d.check(what + f"I1's start in view after {keys}", probe(app, d)[1][4], 0)
        app.keys("Escape")
