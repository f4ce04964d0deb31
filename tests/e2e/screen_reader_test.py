#!/usr/bin/python3
"""Listens to the converter as a blind user does, through the screen reader Orca: the built Linux
program under German settings (what Orca says when the window opens, when Tab moves through the
controls and when a key in I2 changes the result), or the page in Chromium with a German browser
language (Tab into I2 and a key there). Orca writes every utterance to a log; nothing is played.
Needs an X server and a D-Bus session.
Usage: screen_reader_test.py window PATH/TO/feuchte-abs-rel | screen_reader_test.py page FOLDER"""
import fcntl
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


def hear(keys, last, seconds=10):
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


def hear_result_once(result, then, said):
    """End and 5 in I2, then a key that leaves the result as it is and is said after whatever the
    5 made the converter say."""
    heard = hear(["End", "5"], result) + hear([then], said)
    check(heard, {result: 1}, "a 5 typed at the end of I2 says the new result once")


def window(program):
    started = subprocess.Popen([program], env=dict(
        os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8"))
    try:
        heard = hear([], "23,0 selected.")
        check(heard, {"Feuchte abs -> rel frame.": 1, "Temperatur in °C text.": 1,
                      "23,0 selected.": 1},
              "the window opens with the caption, I1's name and number")
        heard = hear(["Tab"], "8,6 selected.")
        check(heard, {"Absolute Feuchte in g/m³ text.": 1, "8,6 selected.": 1},
              "Tab into I2 says its name and number")
        hear_result_once("notification 42,1 % rel.", "Left", "5")
        heard = hear(["Tab"], "42,1 % rel selected.")
        check(heard, {"Relative Feuchte text.": 1, "42,1 % rel selected.": 1},
              "Tab into the result field says its name and text")
        heard = hear(["Tab"], "Alt+B")
        check(heard, {"berechnen push button.": 1, "Alt+B": 1},
              "Tab onto the button says its name and access key")
    finally:
        started.terminate()
        started.wait(10)


def page(page_folder):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "lib"))
    from web_server import serve

    server = serve(page_folder)
    options = webdriver.ChromeOptions()
    # On the X server rather than headless, where it has no accessibility bridge.
    for argument in ("--no-sandbox", "--accept-lang=de-DE", "--force-renderer-accessibility"):
        options.add_argument(argument)
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        browser.get(server.url)
        heard = hear([], "Temperatur in °C entry 23,0 selected.", 20)
        check(heard, {"Temperatur in °C entry 23,0 selected.": 1},
              "the page opens with I1's name and number")
        heard = hear(["Tab"], "Absolute Feuchte in g/m³ entry 8,6 selected.")
        check(heard, {"Absolute Feuchte in g/m³ entry 8,6 selected.": 1},
              "Tab into I2 says its name and number")
        hear_result_once("42,1 % rel", "Tab", "Relative Feuchte entry 42,1 % rel selected.")
    finally:
        browser.quit()
        server.stop()


# Orca's own words in English, whatever the machine's languages; access keys spoken, and keys on a
# page left to the page even in browse mode (Orca may still be in it when the first field takes
# the focus as the page loads), as a user may set it; no speech server started.
settings = {"enableMnemonicSpeaking": True, "caretNavigationEnabled": False,
            "structuralNavigationEnabled": False}
os.makedirs(os.path.join(folder, "orca"))
with open(os.path.join(folder, "orca", "user-settings.conf"), "w") as conf:
    json.dump({"general": settings, "pronunciations": {}, "keybindings": {},
               "profiles": {"default": dict(settings, profile=["Default", "default"])}}, conf)
open(spoken_log, "w").close()
# Orca runs once for a user (--replace ends the other): the tests of two checkouts take turns.
fcntl.flock(turn := open(os.path.join(tempfile.gettempdir(), "feuchte-abs-rel-orca.lock"), "w"),
            fcntl.LOCK_EX)
orca = subprocess.Popen(
    ["/usr/bin/python3", "-c", ORCA, spoken_log, "--replace", "--user-prefs",
     os.path.join(folder, "orca")], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
    env=dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8", GSETTINGS_BACKEND="memory",
             SPEECHD_CMD="/bin/false"))
try:
    if hear([], "Screen reader on.", 30):
        {"window": window, "page": page}[sys.argv[1]](sys.argv[2])
    else:
        failures.append("Orca started")
finally:
    orca.terminate()
    try:
        orca.wait(5)
    except subprocess.TimeoutExpired:
        orca.kill()
if failures:
    print("Orca said:\n" + "\n".join(spoken()))
sys.exit(1 if failures else 0)
