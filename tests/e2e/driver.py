#!/usr/bin/python3
"""Uses the converter window as a person would, on the X display in DISPLAY: clicks and keys
through xdotool, a field read by selecting all of it, copying it and reading the clipboard. The
same checks run against the Linux program and the Windows one under wine; only the launchers
(Qt, Wine) differ. Prints a line per check and exits 1 if any failed.

usage: driver.py qt PROGRAM | driver.py wine PROGRAM.exe [--screenshot PICTURE]
"""
import csv
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
TITLE = "Feuchte abs -> rel"
MARKER = "<nichts kopiert>"
# The middle of each control, in pixels from the client area's top-left corner.
CENTRE = {"I1": (36, 68), "I2": (116, 68), "Text1": (124, 100), "Command1": (124, 132)}
failures = []


def cases():
    """The typing table the browser's test shares: field, text typed, Text1 afterwards."""
    with open(HERE / "cases.tsv", newline="", encoding="utf-8") as table:
        return list(csv.DictReader(table, delimiter="\t", quoting=csv.QUOTE_NONE))


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options).stdout


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def windows(title=None):
    """The visible windows of that title, or every top-level window on the screen."""
    depth = ["--name", title] if title else ["--maxdepth", "1", "--name", ""]
    return run("xdotool", "search", "--onlyvisible", *depth).split()


def set_clipboard(text):  # xclip stays behind to serve it until another program takes over
    subprocess.run(["xclip", "-selection", "clipboard"], input=text.encode(), check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def clipboard():
    try:  # its owner may not answer while it hands the clipboard over
        return run("xclip", "-o", "-selection", "clipboard", "-t", "UTF8_STRING", timeout=2,
                   check=True)
    except (subprocess.TimeoutExpired, subprocess.CalledProcessError):
        return MARKER


def wait_until(condition, seconds=5):
    deadline = time.monotonic() + seconds
    while not (met := condition()) and time.monotonic() < deadline:
        time.sleep(0.05)
    return met


def check(what, got, expected):
    print(f"ok: {what}: {got!r}" if got == expected else
          f"FAIL: {what}: {got!r}, expected {expected!r}", flush=True)
    if got != expected:
        if not failures:
            subprocess.run(["import", "-window", "root", "e2e-failure.png"], check=False)
            print("the screen at the first failure: e2e-failure.png in the current folder")
        failures.append(what)


class NoWindow(Exception):
    pass


class Qt:
    """The Linux program; also what a person does with any program's window."""
    paste_key = "udiaeresis"  # "Einf&ügen" in an input field's context menu
    icons = [(32, "icons/32x32.png"), (48, "icons/48x48.png")]  # size, picture in resources/

    def __init__(self, program):
        self.program, self.process, self.clicks, self.scale = program, None, 0, 1
        self.work = tempfile.mkdtemp(prefix="feuchte-e2e-")

    def environment(self, locale):
        return {**os.environ, "LC_ALL": locale, "LANG": locale}

    def command(self):
        return [self.program]

    def start(self, locale="de_DE.UTF-8", **environment):
        self.process = subprocess.Popen(self.command(),
                                        env={**self.environment(locale), **environment})
        if not wait_until(lambda: windows(f"^{TITLE}$") or self.process.poll() is not None, 20):
            raise NoWindow(f"no window titled {TITLE!r} within 20 s")
        if self.process.poll() is not None:
            raise NoWindow(f"the program ended with {self.process.returncode} before its window")
        self.window = windows(f"^{TITLE}$")[0]
        xdotool("windowactivate", "--sync", self.window)

    def ends(self, seconds=10):
        """The exit status, or None if the program still runs after a while."""
        try:
            return self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.work, ignore_errors=True)

    def click(self, control, button=1):
        # Every other click lands 20 pixels further right: two quick clicks on one spot would
        # make a double click.
        x, y = (round(c * self.scale) for c in CENTRE[control])
        self.clicks += 1
        xdotool("mousemove", "--window", self.window, str(x + 20 * (self.clicks % 2) - 10),
                str(y), "click", str(button))

    def keys(self, *names):
        xdotool("key", "--delay", "20", *names)

    def type(self, text):
        xdotool("type", "--delay", "20", "--", text)

    def copy(self):
        """What the focused control holds, by Ctrl+A, Ctrl+C; the marker if it copied nothing."""
        set_clipboard(MARKER)
        for _ in range(5):  # wine may find the clipboard busy while it takes over X's
            self.keys("ctrl+a", "ctrl+c")
            if wait_until(lambda: clipboard() != MARKER, 0.5):
                return clipboard()
        return MARKER

    def shows(self, control):
        self.click(control)
        return self.copy()

    def expect_text1(self, what, expected):
        # Read again for a while if it differs: a click may come while a menu still closes.
        deadline = time.monotonic() + 5
        while (shown := self.shows("Text1")) != expected and time.monotonic() < deadline:
            time.sleep(0.1)
        check(what, shown, expected)


class Wine(Qt):
    """The .exe under wine in a throw-away prefix. Wine takes the number format from LC_ALL,
    even where glibc lacks that locale."""
    paste_key = "i"  # "E&infügen"
    icons = [(32, "app-dpi.ico[3]"), (16, "app-dpi.ico[0]")]

    def __init__(self, program):
        super().__init__(program)
        # Gecko and Mono are never needed, so never offered.
        self.wine = {"WINEPREFIX": f"{self.work}/prefix", "WINEDEBUG": "-all",
                     "WINEDLLOVERRIDES": "mscoree,mshtml="}
        started = time.monotonic()
        # Output to a pipe would wait for the wine server to end, seconds after the boot.
        subprocess.run(["wine", "wineboot", "--init"], env=self.environment("de_DE.UTF-8"),
                       check=True, timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Debian's wine finds only its bitmap fonts by itself; Tahoma (the button's default GUI
        # font) and Marlett (the caption buttons) must be where Windows keeps its fonts.
        for font in Path("/usr/share/wine/fonts").glob("*.ttf"):
            shutil.copy(font, f"{self.work}/prefix/drive_c/windows/Fonts")
        print(f"wine prefix ready after {time.monotonic() - started:.1f} s", flush=True)

    def environment(self, locale):
        return {**super().environment(locale), **self.wine}

    def command(self):
        return ["wine", self.program]

    def start(self, locale="de_DE.UTF-8", **environment):
        super().start(locale, **environment)
        time.sleep(0.3)  # the first paint and the initial focus

    def stop(self):
        super().stop()
        subprocess.run(["wineserver", "-k"], env=self.environment("C"), check=False)


def looks(app):
    """The banner pixel for pixel on the window's background, and the window's icon."""
    shot = f"{app.work}/window.png"
    run("import", "-window", app.window, shot, check=True)
    background = run("convert", shot, "-format", "%[pixel:p{247,156}]", "info:", check=True)
    check("pixels of the banner that differ from banner.gif",
          run("convert", shot, "-crop", "246x51+0+0", "+repage", "(", "-size", "246x51",
              f"xc:{background}", ROOT / "resources/banner.gif", "-composite", ")",
              "-metric", "AE", "-compare", "-format", "%[distortion]", "info:"), "0")
    for size, picture in app.icons:
        check_icon(app, size, picture)


def check_icon(app, size, picture, what=""):
    """The window's icon of that size, as _NET_WM_ICON shows it, is that picture."""
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
    looks(app)
    app.expect_text1("Text1 when the window opens", "--- % rel")
    app.keys("Tab", "space")
    app.expect_text1("Tab from Text1 to the button, Space", "41,8 % rel")
    for control, expected in ("I1", "23,0"), ("I2", "8,6"), ("Text1", "41,8 % rel"):
        app.keys("Tab", "Tab") if control == "I1" else app.keys("Tab")
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
        app.expect_text1(f"{control}: {keys}", expected)
    for row in cases():
        app.click(row["field"])
        app.keys("ctrl+a", "BackSpace")
        app.type(row["typed"])
        app.expect_text1(f"{row['field']}: {row['typed']!r} typed", row["text1"])

    # A paste from the context menu changes the text without a key in the field.
    set_clipboard("20")
    app.click("I1")
    app.keys("ctrl+a")
    before = len(windows())
    app.click("I1", 3)
    wait_until(lambda: len(windows()) > before)  # the menu is open
    app.keys(app.paste_key)
    wait_until(lambda: len(windows()) == before)
    app.expect_text1("I1: 20 pasted from the context menu", "100,0 % rel")

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
    app.start()
    app.type("20")  # I1 has the focus, its number selected, so typing replaces it
    check("I1 after typing 20 at the start", app.copy(), "20")
    app.expect_text1("Text1 for 20 °C", "49,8 % rel")
    app.click("I1")
    app.keys("Escape")
    check("exit status after Escape in I1", app.ends(), 0)


def screenshot(app, picture):
    """The window in use, 8,65 g/m³ typed, its frame drawn by wine as Windows would."""
    run("wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N",
        "/f", env=app.environment("C"), check=True)
    app.start()
    app.keys("Tab", "End", "5")
    time.sleep(0.6)
    run("import", "-window", app.window, "-strip", picture, check=True)
    app.keys("Escape")
    return app.ends()


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # a timeout still ends the program
    app = {"qt": Qt, "wine": Wine}[sys.argv[1]](str(Path(sys.argv[2]).resolve()))
    try:
        if sys.argv[3:4] == ["--screenshot"]:
            return screenshot(app, sys.argv[4])
        first_start(app)
        second_start(app)
        if isinstance(app, Wine):
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
