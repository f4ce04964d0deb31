"""The Windows program under wine at 96, 144 and 192 dpi and in a high-contrast scheme, set in
wine's registry: the layout from the twips, the letters, banner and icons drawn for the scale, and
a field's first character in view. Called by driver.py, d here."""
import subprocess
import time

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
    """Client size, each control's place and first character in view; or with "names" each
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


def ink_height(d, shot, box, inset):  # of the letters in a box of the screenshot, inside its border
    crop = f"{box[2] - 2 * inset}x{box[3] - 2 * inset}+{box[0] + inset}+{box[1] + inset}"
    return int(d.run("convert", shot, "-crop", crop, "+repage", "-fuzz", "40%", "-format", "%@",
                     "info:").split("x")[1].split("+")[0])


def check_all(app, d):
    heights = []
    for dpi, colours in (96, {}), (144, {}), (192, {}), (96, HIGH_CONTRAST):
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
        # I1 has the focus; its start in view out of the focus, and after a shorter text.
        for keys in "minus 1 0 comma 5 Tab", "shift+Tab 1 2 comma 3 4 ctrl+a 3 7 comma 5":
            app.keys(*keys.split())
            d.check(what + f"I1's first character in view after {keys}", probe(app, d)[1][4], 0)
        app.keys("Escape")
