#!/usr/bin/python3
"""Walks the accessible objects of a running application as a screen reader sees them over
AT-SPI and lists the controls it could not name: an interactive control with an empty name,
or any object announced by a programmer's identifier (an object name such as "Form2" or
"Text1"). Prints the windows walked and every such object; exits 1 when there is one.

usage: atspi_unnamed.py APPLICATION-NAME [MIN-WINDOWS] [TIMEOUT-SECONDS]
"""
import re
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER, pyatspi.ROLE_DIAL, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_MENU, pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM, pyatspi.ROLE_PAGE_TAB,
    pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE,
}
# Identifiers as the program's objects are named: "Form2", "Text1", "UpDown1", "frmTable",
# "txtRows", "mnuFileNew". Words a person reads have spaces, or no digit and no inner capital.
IDENTIFIER = re.compile(r"^(?:[A-Z][A-Za-z]+\d+|[a-z]{2,}[A-Z]\w*)$")


def find_application(name, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def walk(node, window, found, depth=0):
    if node is None or depth > 60:
        return
    try:
        role = node.getRole()
        name = (node.name or "").strip()
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # the object went away while it was walked
        return
    if (role in INTERACTIVE and not name) or IDENTIFIER.match(name):
        found.append((window, "%s '%s'" % (node.getRoleName(), name)))
    for child in children:
        walk(child, window, found, depth + 1)


def main():
    name = sys.argv[1]
    min_windows = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    timeout = float(sys.argv[3]) if len(sys.argv) > 3 else 30
    app = find_application(name, timeout)
    if app is None:
        desktop = pyatspi.Registry.getDesktop(0)
        names = [desktop.getChildAtIndex(i).name for i in range(desktop.childCount)]
        print("FAIL: no application named %r on the accessibility bus (there: %s)" % (name, names))
        return 1
    found, windows = [], []
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is None:
            continue
        title = window.name or "(untitled %s)" % window.getRoleName()
        windows.append(title)
        walk(window, title, found)
    print("walked %d windows: %s" % (len(windows), ", ".join(windows)))
    print("%d unnamed controls in %d windows" % (len(found), len({w for w, _ in found})))
    for window, what in found:
        print("  %s: %s" % (window, what))
    if len(windows) < min_windows:
        print("FAIL: expected at least %d windows" % min_windows)
        return 1
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
