"""The Windows program under wine at other DPIs and in a high-contrast scheme, set through wine's
registry: the layout from the twips, letters, banner and icons drawn for the scale, the fields'
first characters in view, and the focus back after a minimize. Called by driver.py."""
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
    """The DPI and system colours of the next start; with colours, no visual styles, as in
    Windows' high-contrast schemes. The colours are read as wine's desktop starts."""
    settings = [(r"Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi)),
                (r"Software\Microsoft\Windows\CurrentVersion\ThemeManager", "ThemeActive",
                 "REG_SZ", "0" if colours else "1")]
    for key, name, kind, value in settings + [(r"Control Panel\Colors", name, "REG_SZ", value)
                                              for name, value in colours.items()]:
        d.run("wine", "reg", "add", f"HKCU\\{key}", "/v", name, "/t", kind, "/d", value, "/f",
              env=app.environment("C"), check=True)
    d.run("wineserver", "-k", env=app.environment("C"))
    d.run("wineserver", "-w", env=app.environment("C"))


def probe(app, d):
    """What Windows says of the window (tests/win32/window_probe.cpp): the client area's size,
    then each control's left, top, width, height and first character in view."""
    program = Path(app.program).parents[2] / "tests/win32/window_probe.exe"
    return [[int(word) for word in line.split()] for line in
            d.run("wine", program, d.TITLE, env=app.environment("C")).splitlines()]


def ink_height(d, shot, box, inset):
    """The height of the letters in a box of the screenshot, its border left out."""
    crop = f"{box[2] - 2 * inset}x{box[3] - 2 * inset}+{box[0] + inset}+{box[1] + inset}"
    return int(d.run("convert", shot, "-crop", crop, "+repage", "-fuzz", "40%", "-format", "%@",
                     "info:").split("x")[1].split("+")[0])


def check_all(app, d):
    heights = []
    for dpi, colours in (96, {}), (144, {}), (192, {}), (96, HIGH_CONTRAST):
        what = f"{dpi} dpi{', high contrast' if colours else ''}: "
        configure(app, d, dpi, colours)
        app.start()
        app.scale, layout, shot = dpi / 96, probe(app, d), f"{app.work}/window.png"
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
        banner = f"{app.work}/banner.png"
        d.run("convert", shot, "-crop", f"{pixels(246, dpi, 96)}x{pixels(51, dpi, 96)}+0+0",
              "+repage", banner, check=True)
        measured = d.run(d.ROOT / "resources/artwork/measure.sh", banner, str(dpi / 96), "",
                         "dark" if colours else "light").split()
        error = float(measured[measured.index("error") + 1])
        contrast = float(measured[measured.index("letters") + 3].split(":")[0])
        d.check(what + f"banner {error} % off its drawing, letters {contrast}:1",
                error < 0.6 and contrast >= 4.5, True)
        if dpi == 144:  # the icons drawn for 150 %
            for size, image in (48, 5), (24, 2):
                d.check_icon(app, size, f"app-dpi.ico[{image}]", what)
        for keys in "minus 1 0 comma 5 Tab", "minus 1 0", "1 2 comma 3 4 ctrl+a 3 7 comma 5":
            app.click("I1")
            app.keys("ctrl+a", *keys.split())
            d.check(what + f"I1's first character in view after {keys}", probe(app, d)[1][4], 0)
        if dpi == 96 and not colours:
            app.click("I2")
            app.keys("End")
            d.xdotool("windowminimize", "--sync", app.window)
            d.xdotool("windowactivate", "--sync", app.window)
            time.sleep(0.5)  # as a person looks before typing
            app.keys("5")
            d.check("I2 typed into after a minimize and restore", app.copy(), "8,65")
        app.click("I1")
        app.keys("Escape")
        d.check(what + "exit status", app.ends(), 0)
    app.scale = 1
