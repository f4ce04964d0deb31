#!/usr/bin/python3
"""Uses the built Linux program as a screen reader and a voice-control tool do, through AT-SPI:
finds the window as a frame by its caption and the controls by their names, reads the result, types into I2 and hears the result change, and
edits I2 through the editable-text interface. Needs an X server and a D-Bus session.
Usage: accessibility_test.py PATH/TO/feuchte-abs-rel"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait_for(find, seconds=20):
    """Polls find, letting AT-SPI deliver its events, until it returns something."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)
    return None


def named(root, role, name):
    match = lambda node: node.getRole() == role and node.name == name
    return pyatspi.findDescendant(root, match) if root else None


def text_of(node):
    return node.queryText().getText(0, -1)


environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="de_DE.UTF-8",
                   LANG="de_DE.UTF-8")
program = subprocess.Popen([sys.argv[1]], env=environment)
try:
    desktop = pyatspi.Registry.getDesktop(0)
    frame = wait_for(lambda: next((window for application in desktop if application
                                   for window in application
                                   if window and window.getRole() == pyatspi.ROLE_FRAME
                                   and window.name == "Feuchte abs -> rel"), None))
    check(frame is not None, "the window is a frame named 'Feuchte abs -> rel'")
    fields = {name: named(frame, pyatspi.ROLE_TEXT, name) for name in
              ("Temperatur in °C", "Absolute Feuchte in g/m³", "Relative Feuchte")}
    for name, field in fields.items():
        check(field is not None, f"a text field named '{name}'")
    check(named(frame, pyatspi.ROLE_PUSH_BUTTON, "berechnen") is not None,
          "a button named 'berechnen'")
    if failures:
        sys.exit(1)
    temperature, humidity, result = fields.values()
    check(text_of(result) == "--- % rel", f"the result reads '{text_of(result)}'")

    reported = []
    pyatspi.Registry.registerEventListener(
        lambda event: reported.append(text_of(event.source)) if event.source == result else None,
        "object:text-changed")
    subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Feuchte abs -> rel$",
                    "windowactivate", "--sync"], check=True, timeout=10)
    humidity.queryComponent().grabFocus()
    subprocess.run(["xdotool", "key", "--delay", "50", "End", "5"], check=True)
    wait_for(lambda: "42,1 % rel" in reported, 10)
    check("42,1 % rel" in reported, f"typing 5 at the end of I2 reported {reported}")

    editable = humidity.queryEditableText()
    for edit, expected in ((lambda: editable.setTextContents("8,6"), "41,8 % rel"),
                           (lambda: editable.insertText(3, "5", 1), "42,1 % rel")):
        edit()
        shown = wait_for(lambda: text_of(result) == expected and expected, 10)
        check(shown == expected, f"after an edit of I2 to '{text_of(humidity)}' the result reads "
                                 f"'{text_of(result)}'")
finally:
    program.terminate()
    program.wait(10)
sys.exit(1 if failures else 0)
