#!/usr/bin/python3
"""Listens to the built Linux program as a blind user does, through the screen reader Orca: what
it says when the window opens, when Tab moves through the controls and when a key in I2 changes
the result. Orca writes every utterance to a log; nothing is played. The program runs under
German settings. Needs an X server and a D-Bus session.
Usage: screen_reader_test.py PATH/TO/feuchte-abs-rel"""
import json
import os
import re
import subprocess
import sys
import tempfile
import time

# Orca as its own command starts it, with its "speech" log, one line an utterance, written to a
# file as each is spoken (its debug file is buffered and far larger).
ORCA = """import logging, runpy, sys
log = logging.FileHandler(sys.argv.pop(1))
log.setFormatter(logging.Formatter("%(message)s"))
logging.getLogger("speech").addHandler(log)
runpy.run_path("/usr/bin/orca", run_name="__main__")
"""
UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\w+| \{.*\})?$")

failures = []
folder = tempfile.mkdtemp()
spoken_log = os.path.join(folder, "spoken")


def spoken():
    with open(spoken_log, encoding="utf-8") as log:
        return [match[1] for match in map(UTTERANCE.match, log.read().splitlines()) if match]


def hear(keys, last, seconds=15):
    """Types keys and returns what Orca says from them until it has said last."""
    before = len(spoken())
    if keys:
        subprocess.run(["xdotool", "key", "--delay", "100", *keys], check=True, timeout=10)
    deadline = time.monotonic() + seconds
    while last not in spoken()[before:] and time.monotonic() < deadline:
        time.sleep(0.05)
    return spoken()[before:]


def check(heard, expected, what):
    ok = all(heard.count(text) == count for text, count in expected.items())
    print(("ok: " if ok else "FAIL: ") + f"{what}: heard {heard}", flush=True)
    if not ok:
        failures.append(what)


# Orca's own words in English, whatever the machine's languages; access keys spoken, as a user who
# wants them sets it; no speech server started.
settings = {"enableMnemonicSpeaking": True}
os.makedirs(os.path.join(folder, "orca"))
with open(os.path.join(folder, "orca", "user-settings.conf"), "w") as conf:
    json.dump({"general": settings, "pronunciations": {}, "keybindings": {},
               "profiles": {"default": dict(settings, profile=["Default", "default"])}}, conf)
open(spoken_log, "w").close()
orca_environment = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8", GSETTINGS_BACKEND="memory",
                        SPEECHD_CMD="/bin/false")
orca = subprocess.Popen(["/usr/bin/python3", "-c", ORCA, spoken_log, "--replace",
                         "--user-prefs", os.path.join(folder, "orca")], env=orca_environment,
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
program = None
try:
    hear([], "Screen reader on.", 30)
    program = subprocess.Popen([sys.argv[1]], env=dict(
        os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8"))
    heard = hear([], "23,0 selected.")
    check(heard, {"Feuchte abs -> rel frame.": 1, "Temperatur in °C text.": 1, "23,0 selected.": 1},
          "the window opens with the caption, I1's name and number")
    heard = hear(["Tab"], "8,6 selected.")
    check(heard, {"Absolute Feuchte in g/m³ text.": 1, "8,6 selected.": 1},
          "Tab into I2 says its name and number")
    # Left, which leaves the result as it is, says the character it passes after whatever the 5
    # made the program say.
    heard = hear(["End", "5"], "notification 42,1 % rel.", 10) + hear(["Left"], "5")
    check(heard, {"notification 42,1 % rel.": 1}, "a 5 typed at the end of I2 says the new result once")
    heard = hear(["Tab"], "42,1 % rel selected.")
    check(heard, {"Relative Feuchte text.": 1, "42,1 % rel selected.": 1},
          "Tab into the result field says its name and text")
    heard = hear(["Tab"], "Alt+B")
    check(heard, {"berechnen push button.": 1, "Alt+B": 1},
          "Tab onto the button says its name and access key")
finally:
    for process in (program, orca):
        if process:
            process.terminate()
            process.wait(10)
if failures:
    print("Orca said:\n" + "\n".join(spoken()))
sys.exit(1 if failures else 0)
