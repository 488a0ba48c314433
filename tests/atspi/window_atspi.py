#!/usr/bin/env python3
"""The main window as a screen reader meets it: the program runs on the demo installation under
Xvfb with an accessibility bus, and pyatspi reads and drives it.

Usage: window_atspi.py QUINTARA EXAMPLES_DIR

Skips (exit 77) when pyatspi, Xvfb, dbus-run-session or xdotool is missing, unless
QUINTARA_REQUIRE_ATSPI is set, which makes that a failure.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

TOOLS = ["Xvfb", "dbus-run-session", "xdotool"]
DAY = re.compile(r"^\S+ \d\d-\d\d-\d{4}, .+$")
MARKER = re.compile(r"^\S+ \d\d-\d\d-\d{4} \d\d:\d\d, [^,]+, [^,]+, [^,]+")


def skip(reason):
    if os.environ.get("QUINTARA_REQUIRE_ATSPI"):
        print(f"FAIL: {reason} (QUINTARA_REQUIRE_ATSPI is set)")
        sys.exit(1)
    print(f"SKIP: {reason}")
    sys.exit(77)


def outer(argv):
    """Checks what is needed and runs the test again inside its own session bus."""
    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        skip("missing " + ", ".join(missing))
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip("python3-pyatspi is not installed")
    env = dict(os.environ, QUINTARA_ATSPI_INNER="1")
    return subprocess.call(["dbus-run-session", "--", sys.executable, *argv], env=env)


class Failures:
    def __init__(self):
        self.items = []

    def check(self, condition, what):
        print(("ok   " if condition else "FAIL ") + what)
        if not condition:
            self.items.append(what)


def walk(node, depth=0):
    yield node
    if depth > 30:
        return
    for k in range(node.childCount):
        child = node.getChildAtIndex(k)
        if child is not None:
            yield from walk(child, depth + 1)


def wait_for(predicate, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = predicate()
        if found:
            return found
        time.sleep(0.2)
    return None


def start_program(quintara, examples, home, display):
    settings = os.path.join(home, "Ventora.ini")
    with open(settings, "w", encoding="utf-8") as f:
        f.write(f"[Global]\nLanguage=0\n[Clock]\nNBTFile={examples}/demo.nbt\n")
    env = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=home,
               XDG_DATA_HOME=home, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1", LANG="en_GB.UTF-8", LC_ALL="C.UTF-8")
    env.pop("QT_QPA_PLATFORMTHEME", None)
    return subprocess.Popen([quintara, "--settings", settings, f"{examples}/demo.clk"], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def focused_marker(week, pyatspi):
    for day in (week.getChildAtIndex(k) for k in range(week.childCount)):
        for marker in (day.getChildAtIndex(k) for k in range(day.childCount)):
            if marker.getState().contains(pyatspi.STATE_FOCUSED):
                return marker.name
    return None


def nameless_in(root, pyatspi):
    """What is shown and takes the focus but has no name (cells are named by their text)."""
    found = []
    for node in walk(root):
        state = node.getState()
        if state.contains(pyatspi.STATE_SHOWING) and state.contains(pyatspi.STATE_FOCUSABLE) \
                and node.getRole() not in (pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_LIST_ITEM,
                                           pyatspi.ROLE_COLUMN_HEADER) \
                and not node.name.strip():
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            found.append(f"{node.getRoleName()} in {node.parent.getRoleName()} "
                         f"{node.parent.name!r} at {box.x},{box.y} {box.width}x{box.height}")
    return found


def focus_events_after_tab(display, pyatspi):
    """The names of the markers whose focus events a Tab in the week brings."""
    from gi.repository import GLib

    names = []

    def focused(event):
        if event.detail1 == 1 and event.source.getRole() == pyatspi.ROLE_LIST_ITEM:
            names.append(event.source.name)

    def tab():
        subprocess.call(["xdotool", "key", "Tab"], env=dict(os.environ, DISPLAY=display))
        return False

    pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
    GLib.timeout_add(300, tab)
    GLib.timeout_add(2500, lambda: pyatspi.Registry.stop() or False)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(focused, "object:state-changed:focused")
    return names


def inner(quintara, examples):
    import pyatspi

    failures = Failures()
    home = tempfile.mkdtemp(prefix="quintara-atspi-")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24",
                             "-nolisten", "tcp"], stdout=subprocess.PIPE)
    display = ":" + xvfb.stdout.readline().decode().strip()
    program = start_program(quintara, examples, home, display)
    try:
        def application():
            desktop = pyatspi.Registry.getDesktop(0)
            for app in (desktop.getChildAtIndex(k) for k in range(desktop.childCount)):
                if app is not None and app.name.lower() == "quintara" and app.childCount > 0:
                    return app
            return None

        def week_of(app):
            for node in walk(app):
                if node.name == "Week" and node.childCount == 7 and \
                        node.getRole() != pyatspi.ROLE_PAGE_TAB:
                    return node
            return None

        app = wait_for(application, 30)
        failures.check(app is not None, "the program is on the accessibility bus")
        if app is None:
            return failures
        week = wait_for(lambda: week_of(app), 20)
        failures.check(week is not None, "the week has seven children")
        if week is None:
            return failures

        days = [week.getChildAtIndex(k) for k in range(7)]
        failures.check(all(DAY.match(day.name) for day in days),
                       "the days are named by weekday, date and table: " + days[0].name)
        markers = [day.getChildAtIndex(k) for day in days for k in range(day.childCount)]
        failures.check(len(markers) > 20, f"the demo week's markers are children ({len(markers)})")
        failures.check(bool(markers) and all(MARKER.match(m.name) for m in markers),
                       "markers are named by moment, function, level and table: " +
                       (markers[0].name if markers else "none"))
        if markers:
            action = markers[0].queryAction()
            names = [action.getName(k) for k in range(action.nActions)]
            failures.check(len(names) >= 2, "a marker has actions: " + ", ".join(names))

        # Tab from marker to marker: the accessible focus follows. Without a window manager the
        # window is given the keyboard by hand.
        subprocess.call(["xdotool", "search", "--sync", "--onlyvisible", "--name", "Quintara",
                         "windowfocus", "--sync"], env=dict(os.environ, DISPLAY=display),
                        stdout=subprocess.DEVNULL, timeout=15)
        week.queryComponent().grabFocus()
        wait_for(lambda: week.getState().contains(pyatspi.STATE_FOCUSED), 5)
        subprocess.call(["xdotool", "key", "Tab"], env=dict(os.environ, DISPLAY=display))
        first = wait_for(lambda: focused_marker(week, pyatspi), 5)
        failures.check(first is not None, f"Tab in the week focuses a marker: {first!r}")
        announced = focus_events_after_tab(display, pyatspi)
        second = focused_marker(week, pyatspi)
        failures.check(second is not None and second != first and second in announced,
                       f"the next Tab moves the focus on and says so: {first!r} -> {second!r}, "
                       f"announced {announced}")

        # The rest of the window is reachable, and nothing that takes the focus is nameless.
        nodes = list(walk(app))
        roles = {node.getRole() for node in nodes}
        for role, what in [(pyatspi.ROLE_MENU_BAR, "menu bar"), (pyatspi.ROLE_TOOL_BAR, "toolbar"),
                           (pyatspi.ROLE_PAGE_TAB, "view tabs")]:
            failures.check(role in roles, f"the {what} is reachable")
        tables = {node.name for node in nodes if node.getRole() == pyatspi.ROLE_TABLE}
        failures.check({"All clock lines", "Agenda"} <= tables, f"both tables are named: {tables}")
        missing = nameless_in(app, pyatspi)
        failures.check(not missing, "no visible focusable object is nameless: " + "; ".join(missing))

        # Enter on the focused marker opens the line's editor; its controls are named too.
        def editor():
            return next((node for node in (app.getChildAtIndex(k) for k in range(app.childCount))
                         if node is not None and node.getRole() == pyatspi.ROLE_DIALOG), None)
        subprocess.call(["xdotool", "key", "Return"], env=dict(os.environ, DISPLAY=display))
        dialog = wait_for(editor, 10)
        failures.check(dialog is not None, "Enter on a marker opens the editor")
        if dialog is not None:
            time.sleep(0.5)
            missing = nameless_in(dialog, pyatspi)
            failures.check(not missing, "no control of the editor is nameless: " + "; ".join(missing))
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(home, ignore_errors=True)
    return failures


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    if not os.environ.get("QUINTARA_ATSPI_INNER"):
        return outer(sys.argv)
    failures = inner(sys.argv[1], os.path.abspath(sys.argv[2]))
    return 1 if failures.items else 0


if __name__ == "__main__":
    sys.exit(main())
