#!/usr/bin/python3
"""Drives a running application over AT-SPI, the way an assistive tool does, for end-to-end
tests on displays where synthetic key presses cannot be sent (Wayland gives no client a way to
type into another). Every wait polls up to the timeout and exits 1 with a reason.

usage: atspi_drive.py TIMEOUT APPLICATION COMMAND ARGS...
  type NAME OFFSET TEXT   insert TEXT at OFFSET into the editable text named NAME
  text NAME               print the whole text of the text object named NAME
  press ROLE NAME         run the first action of the first ROLE object named NAME
                          ("menu item", "push button"); a modal dialog it opens keeps this
                          call waiting until the dialog closes
  window NAME             wait until a window named NAME is shown
  gone NAME               wait until no window named NAME is shown
"""
import sys
import time

import pyatspi

from atspi_unnamed import find_application


def fail(reason):
    print("atspi_drive: " + reason, file=sys.stderr)
    sys.exit(1)


def application(name, deadline):
    return find_application(name, max(0.0, deadline - time.monotonic()))


def find(node, role, name, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if node.getRoleName() == role and node.name == name:
            return node
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # the object went away while it was walked
        return None
    for child in children:
        found = find(child, role, name, depth + 1)
        if found is not None:
            return found
    return None


def shown_windows(app):
    names = []
    for i in range(app.childCount):
        try:
            window = app.getChildAtIndex(i)
            if window.getState().contains(pyatspi.STATE_SHOWING):
                names.append(window.name)
        except Exception:
            pass
    return names


def until(what, deadline, probe):
    while time.monotonic() < deadline:
        result = probe()
        if result is not None:
            return result
        time.sleep(0.2)
    fail(what)


def main():
    if len(sys.argv) < 4:
        fail(__doc__)
    timeout = float(sys.argv[1])
    deadline = time.monotonic() + timeout
    app_name, command, args = sys.argv[2], sys.argv[3], sys.argv[4:]
    app = application(app_name, deadline)
    if app is None:
        fail("no application %r on the accessibility bus within %g s" % (app_name, timeout))

    if command in ("type", "text"):
        node = until("no text object %r" % args[0], deadline, lambda: find(app, "text", args[0]))
        if command == "type":
            if not node.queryEditableText().insertText(int(args[1]), args[2], len(args[2])):
                fail("the text object %r refused the text" % args[0])
        else:
            sys.stdout.write(node.queryText().getText(0, -1))
    elif command == "press":
        role, name = args
        node = until("no %s %r" % (role, name), deadline, lambda: find(app, role, name))
        node.queryAction().doAction(0)
    elif command == "window":
        until("no window %r shown (shown: %s)" % (args[0], shown_windows(app)), deadline,
              lambda: True if args[0] in shown_windows(app) else None)
    elif command == "gone":
        until("the window %r is still shown" % args[0], deadline,
              lambda: True if args[0] not in shown_windows(app) else None)
    else:
        fail("unknown command %r" % command)


if __name__ == "__main__":
    main()
