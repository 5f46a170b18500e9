"""Reads the running program through AT-SPI as a screen reader does."""
import os
import sqlite3
import subprocess
import sys
import time

import pyatspi

binary, work = sys.argv[1], sys.argv[2]
ENTRY3 = "hello from entry three\r\nsecond line"

# A store with entry 3 filled and named, in the program's own layout.
os.makedirs(os.path.join(work, "data", "Snapvale"), mode=0o700)
db = sqlite3.connect(os.path.join(work, "data", "Snapvale", "settings.sqlite3"))
db.executescript(
    "CREATE TABLE settings(app TEXT NOT NULL, section TEXT NOT NULL, key TEXT NOT NULL "
    "COLLATE NOCASE, value TEXT NOT NULL, PRIMARY KEY (app, section, key));"
    "PRAGMA user_version = 2;")
db.executemany("INSERT INTO settings VALUES('Snapvale', 'Data', ?, ?)",
               [("Entry3", ENTRY3), ("Entry3b", "greeting")])
db.commit()
db.close()

# The accessibility bus and its registry run before the program starts, so that the program
# finds them when it looks, at its start.
deadline = time.time() + 30
while pyatspi.Registry.getDesktop(0) is None and time.time() < deadline:
    time.sleep(0.2)

log = open(os.path.join(work, "snapvale.log"), "w")
program = subprocess.Popen([binary], stdout=log, stderr=log)


def fail(why):
    program.kill()
    log.close()
    sys.stderr.write("a11y: %s\n%s" % (why, open(os.path.join(work, "snapvale.log")).read()))
    sys.exit(1)


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and (app.name or "").lower() == "snapvale":
            return app
    return None


app = None
deadline = time.time() + 90
while time.time() < deadline:
    app = find_app()
    if app is not None and pyatspi.findDescendant(
            app, lambda n: n.name == "Entry 3", True) is not None:
        break
    time.sleep(0.3)
else:
    seen = [a.name for a in pyatspi.Registry.getDesktop(0) if a is not None]
    fail("the program never appeared on the accessibility bus; there were %r" % seen)

entry = pyatspi.findDescendant(app, lambda n: n.name == "Entry 3", True)
if entry.getRole() != pyatspi.ROLE_TEXT:
    fail("entry 3 has the role %s, not text" % entry.getRoleName())
if not entry.getState().contains(pyatspi.STATE_READ_ONLY):
    fail("entry 3 is not read-only")
if entry.description != "greeting":
    fail("entry 3 is described as %r" % entry.description)
text = entry.queryText()
if text.characterCount != len(ENTRY3) or text.getText(0, -1) != ENTRY3:
    fail("entry 3 reads %r" % text.getText(0, -1))
if text.getText(6, 10) != "from":
    fail("a range of entry 3 reads %r" % text.getText(6, 10))
print("Entry 3: %s, %r, described as %r" % (entry.getRoleName(), text.getText(0, -1),
                                            entry.description))

for n in range(1, 6):
    button = pyatspi.findDescendant(
        app, lambda node, n=n: node.name == "Paste into entry %d" % n, True)
    if button is None or button.getRole() != pyatspi.ROLE_PUSH_BUTTON:
        fail("no button named 'Paste into entry %d'" % n)
print("Numbered button 3: %r, described as %r" % (
    "Paste into entry 3",
    pyatspi.findDescendant(app, lambda n: n.name == "Paste into entry 3").description))

# Every button and every text field on screen has a name to speak.
unnamed = pyatspi.findAllDescendants(
    app, lambda n: n.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TEXT,
                                   pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX)
    and not n.name)
if unnamed:
    fail("unnamed: %s" % ", ".join(n.getRoleName() for n in unnamed))
item = pyatspi.findDescendant(app, lambda n: n.getRole() == pyatspi.ROLE_MENU_ITEM and n.name)
if item is None:
    fail("no named menu item")
print("A menu item: %s %r" % (item.getRoleName(), item.name))

# The picker, a popup of no other window, is heard as a screen reader hears it: through the
# focus moving to its first item, which says which entry it is, its name and its start.
from gi.repository import GLib

heard = []


def on_focus(event):
    if event.detail1 and event.source is not None:
        heard.append(event.source.name)


pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
subprocess.run([binary, "--menu"], check=True, timeout=30)
expected = "Entry 3, greeting: hello from entry three  second line"
context = GLib.MainContext.default()
deadline = time.time() + 30
while expected not in heard and time.time() < deadline:
    context.iteration(False)
    time.sleep(0.01)
if expected not in heard:
    fail("the picker's first item was not heard as %r; focus went to %r" % (expected, heard))
print("Picker item heard: %r" % expected)

program.terminate()
program.wait(30)
print("a11y: ok")
