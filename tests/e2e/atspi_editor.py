#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader gets from Marquill's editor over AT-SPI: the editor named by its document,
# its text with one "\n" per line break, and events for a typed character and the caret.
# Usage: atspi_editor.py NAME TEXT OFFSET KEY...
#   NAME, TEXT: the editor's expected name and text ("\n" written as \n); the KEYs (xdotool key
#   names) move the caret to OFFSET, then "x" is typed there, and a line break typed after it and
#   taken back (one "\n" each way). Exits non-zero on what is missing.
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

name = sys.argv[1]
expected = sys.argv[2].replace("\\n", "\n")
offset = int(sys.argv[3])
keys = sys.argv[4:]


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def find_editor(seconds):
    # The program shows up once its bridge has registered with the registry.
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name.lower() == "marquill":
                    found = pyatspi.findDescendant(
                        app, lambda o: o is not None and o.getRole() == pyatspi.ROLE_TEXT and o.name == name)
                    if found is not None:
                        return found
        except Exception as e:  # the registry or the program is still starting
            print("waiting: %s" % e, flush=True)
        time.sleep(0.5)
    fail("no editor named %r in an application named Marquill" % name)


def read(editor):
    text = editor.queryText()
    return text.characterCount, text.getText(0, -1)


editor = find_editor(30)
count, whole = read(editor)
print("editor %r: %d characters %r" % (editor.name, count, whole), flush=True)
if (count, whole) != (len(expected), expected):
    fail("the editor gives %d characters %r, expected %d %r" % (count, whole, len(expected), expected))

events = []


def on_event(event):
    if event.source == editor:
        events.append((event.type, event.detail1, event.detail2, event.any_data))
        print("event %s %d %d %r" % events[-1], flush=True)


def send_keys():
    for key in keys:
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True, timeout=10)
    subprocess.run(["xdotool", "type", "x"], check=True, timeout=10)
    for key in ("Return", "BackSpace"):
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True, timeout=10)
    return False


started = time.monotonic()
wanted = [("object:text-changed:insert", offset, 1, "x"), ("object:text-caret-moved", offset + 1),
          ("object:text-changed:insert", offset + 1, 1, "\n"), ("object:text-caret-moved", offset + 2),
          ("object:text-changed:delete", offset + 1, 1, "\n")]


def seen(want):
    return any(e[:len(want)] == want for e in events)


def check():
    if time.monotonic() - started > 20 or all(seen(w) for w in wanted):
        pyatspi.Registry.stop()
        return False
    return True


pyatspi.Registry.registerEventListener(on_event, "object:text-changed:insert", "object:text-changed:delete",
                                       "object:text-caret-moved")
GLib.timeout_add(1500, send_keys)  # time for the program to learn that someone listens
GLib.timeout_add(100, check)
pyatspi.Registry.start()

for want in wanted:
    if not seen(want):
        fail("no event %r; the editor raised %r" % (want, events))
typed = expected[:offset] + "x" + expected[offset:]
if read(editor) != (len(typed), typed):
    fail("after typing the editor gives %r, expected %r" % (read(editor), typed))
print("passed", flush=True)
