"""What a person does with the converter window on the X display in DISPLAY, through xdotool and
the clipboard, and the two ways to start it: Qt (the Linux program) and Wine (the .exe)."""
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

TITLE = "Feuchte abs -> rel"
MARKER = "<nichts kopiert>"
# The middle of each control, in pixels from the client area's top-left corner.
CENTRE = {"I1": (36, 68), "I2": (116, 68), "Text1": (124, 100), "Command1": (124, 132)}


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options).stdout


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def windows(title=None):
    """The visible windows of that title, or every top-level window on the screen."""
    depth = ["--name", title] if title else ["--maxdepth", "1", "--name", ""]
    return run("xdotool", "search", "--onlyvisible", *depth).split()


def set_clipboard(text, kind="UTF8_STRING"):
    """Offers the text as that kind alone (text/html: HTML, as some web pages offer it)."""
    # xclip serves it from the background until another program takes over; it takes the
    # clipboard after it has returned.
    subprocess.run(["xclip", "-selection", "clipboard", "-t", kind], input=text.encode(),
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_until(lambda: clipboard(kind) == text, 2)


def clipboard(kind="UTF8_STRING"):
    try:  # its owner may not answer while it hands the clipboard over
        return run("xclip", "-o", "-selection", "clipboard", "-t", kind, timeout=2, check=True)
    except (subprocess.TimeoutExpired, subprocess.CalledProcessError):
        return MARKER


def wait_until(condition, seconds=5):
    deadline = time.monotonic() + seconds
    while not (met := condition()) and time.monotonic() < deadline:
        time.sleep(0.05)
    return met


class NoWindow(Exception):
    pass


class Qt:
    paste_key = "udiaeresis"  # "Einf&ügen" in an input field's context menu
    icons = [(32, "icons/32x32.png"), (48, "icons/48x48.png")]  # size, picture in resources/
    locales = True  # their digits, separators and signs, with their keyboard layouts

    def __init__(self, program):
        self.program, self.process, self.dragger, self.clicks = program, None, None, 0
        self.work = tempfile.mkdtemp(prefix="feuchte-e2e-")

    def environment(self, locale):
        return {**os.environ, "LC_ALL": locale, "LANG": locale}

    set_clipboard = staticmethod(set_clipboard)

    def command(self):
        return [self.program]

    def start(self, locale="de_DE.UTF-8"):
        self.stop_program()  # never a window of the run before mistaken for this one's
        self.process = subprocess.Popen(self.command(), env=self.environment(locale))
        wait_until(lambda: windows(f"^{TITLE}$") or self.process.poll() is not None, 20)
        if self.process.poll() is not None or not windows(f"^{TITLE}$"):
            raise NoWindow(f"no window; the program's exit status: {self.process.poll()}")
        self.window = windows(f"^{TITLE}$")[0]
        xdotool("windowactivate", "--sync", self.window)

    def ends(self, seconds=10):
        """The exit status, or None if the program still runs after a while."""
        try:
            return self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            return None

    def drop(self, text, control, x, *kind):
        """Drags the text (with "html": as HTML alone) from another program's window and drops it
        x pixels into the control; the other program ends when the drop is done."""
        self.dragger = subprocess.Popen([os.environ["FEUCHTE_DRAG_SOURCE"], text, *kind])
        wait_until(lambda: windows("^drag source$"), 10)
        source = windows("^drag source$")[0]
        xdotool("windowmove", "--sync", source, "40", "600")  # away from the converter
        xdotool("mousemove", "--window", source, "30", "30", "mousedown", "1")
        for _ in range(10):  # the target hears of the drag as the pointer moves over it
            time.sleep(0.05)
            xdotool("mousemove", "--window", self.window, str(x), str(CENTRE[control][1]))
        time.sleep(0.2)
        xdotool("mouseup", "1")
        wait_until(lambda: self.dragger.poll() is not None, 10)

    def stop_program(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def stop(self):
        if self.dragger:
            self.dragger.kill()
        self.stop_program()
        shutil.rmtree(self.work, ignore_errors=True)

    def click(self, control, button=1):
        # Every other click lands 20 pixels further right: two quick clicks on one spot would
        # make a double click.
        x, y = CENTRE[control]
        self.clicks += 1
        xdotool("mousemove", "--window", self.window, str(x + 20 * (self.clicks % 2) - 10),
                str(y), "click", str(button))

    def keys(self, *names):
        xdotool("key", "--delay", "20", *names)

    def type(self, text):
        """Types the text; "{KP_Decimal}" and the like press a key of that name."""
        for part in re.split(r"(\{\w+\})", text):
            if part.startswith("{"):
                self.keys(part[1:-1])
            elif part:
                xdotool("type", "--delay", "20", "--", part)

    def replace(self, control, text, layout=None):
        """Clicks into the control and types the text over what it held, on that keyboard."""
        self.click(control)
        self.keys("ctrl+a", "BackSpace")
        self.keyboard(layout)
        self.type(text)
        self.keyboard(layout and "us")

    def keyboard(self, layout):
        if layout:
            run("setxkbmap", layout, check=True)
            time.sleep(0.8)  # the program hears of the new layout a little later

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

    def text1(self, expected):
        """What Text1 shows, read again for a while if it is not what is expected: a click may
        come while a menu still closes."""
        deadline = time.monotonic() + 5
        while (shown := self.shows("Text1")) != expected and time.monotonic() < deadline:
            time.sleep(0.1)
        return shown


class Wine(Qt):
    """The .exe under wine, in a throw-away prefix that holds the number format of de_DE."""
    paste_key = "i"  # "E&infügen"
    icons = [(32, "app-dpi.ico[3]"), (16, "app-dpi.ico[0]")]
    locales = False  # a prefix keeps the locale it was made in

    def __init__(self, program):
        super().__init__(program)
        started = time.monotonic()
        made = subprocess.run([Path(__file__).parents[2] / "scripts/lib/wine_prefix.sh",
                               f"{self.work}/prefix"], env=super().environment("de_DE.UTF-8"),
                              check=True, timeout=120, capture_output=True, text=True)
        self.wine = dict(line.split("=", 1) for line in made.stdout.splitlines())
        self.probe = Path(program).parents[2] / "tests/win32/window_probe.exe"  # window_probe.cpp
        print(f"wine prefix ready after {time.monotonic() - started:.1f} s", flush=True)

    def environment(self, locale):
        return {**super().environment(locale), **self.wine}

    def set_clipboard(self, text, kind="UTF8_STRING"):
        """Wine takes what X's clipboard newly holds a moment later, on a busy machine a while
        later: a paste before that would paste the text before. HTML alone is no text to it."""
        set_clipboard(text, kind)
        wait_until(lambda: self.clipboard() == (text if kind == "UTF8_STRING" else ""), 10)

    def clipboard(self):
        """The text a Windows program pastes, its line ends as on X."""
        units = run("wine", self.probe, "clipboard", env=self.environment("C")).split()
        return "".join(chr(int(unit, 16)) for unit in units).replace("\r\n", "\n")

    def type(self, text):
        """Wine reads keys by the layouts it knows: a character that the US layout lacks, such
        as a minus sign copied from a web page, comes in as a person brings it, by Ctrl+V."""
        for part in re.split(r"([^\x00-\x7f]+)", text):
            if part.isascii():
                super().type(part)
            else:
                self.set_clipboard(part)
                self.keys("ctrl+v")

    def command(self):
        return ["wine", self.program]

    def start(self, locale="de_DE.UTF-8"):
        super().start(locale)
        time.sleep(0.3)  # the first paint and the initial focus

    def stop(self):
        super().stop()
        subprocess.run(["wineserver", "-k"], env=self.environment("C"), check=False)
