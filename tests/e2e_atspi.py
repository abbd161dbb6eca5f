#!/usr/bin/env python3
"""The running window and its site window walked as a screen reader walks them, over the desktop's accessibility bus
(Xvfb, a session D-Bus, at-spi-bus-launcher), in English and in Japanese, after an address was typed and converted:
every control that takes focus has a name and a role that says what it is, and the per-character cells read as one
list whose items name their character and its form. Lists every control that fails, with where it sits."""
import os, signal, subprocess, sys, tempfile
from e2e_install import start_xvfb, wait_for

ADDRESS = "mailto:a@b.jp"
FORMS = ("decimal reference", "hexadecimal reference", "percent escape", "unchanged")
VAGUE_ROLES = {"unknown", "filler", "panel", "invalid", "redundant object"}
LOCALES = {"en": "en_US.UTF-8", "ja": "ja_JP.UTF-8"}
QUIET = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)


def start_buses(root):
    """A session D-Bus and the accessibility bus beside it; the environment every client needs, and the processes."""
    env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "WAYLAND_", "QT_", "DBUS_", "AT_SPI"))}
    xvfb, display = start_xvfb()
    env.update(DISPLAY=display, XDG_RUNTIME_DIR=f"{root}/run", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    session = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], env=env, text=True,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = session.stdout.readline().strip()
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env, **QUIET)
    return env, xvfb, [launcher, session]


def nodes(node, path="0"):
    yield node, path
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from nodes(child, f"{path}/{i}")


def where(node, path):
    parent, role = node.parent, node.getRoleName()
    held = f" holding {node.queryText().getText(0, 40)!r}" if role == "text" else ""
    return f"{role}{held} at {path}" + (f" in {parent.getRoleName()} {parent.name!r}" if parent else "")


def nameless_controls(window, label):
    """What a screen reader could not announce: a focusable control without a name, or with a role that says nothing."""
    failures, named = [], 0
    for node, path in nodes(window):
        states = node.getState()
        if not (states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING)):
            continue
        if not node.name.strip():
            failures.append(f"{label}: {where(node, path)} has no name")
        elif node.getRoleName() in VAGUE_ROLES:
            failures.append(f"{label}: {where(node, path)} {node.name!r} has the role {node.getRoleName()!r}")
        else:
            named += 1
    print(f"{label}: {named} focusable controls named, {len(failures)} not")
    return failures


def cell_failures(window, label, language):
    """The cells as one list: item i names the address's character i, and in English the form it took."""
    lists = [node for node, _ in nodes(window) if node.getRoleName() == "list"
             and any(node.getChildAtIndex(i).getRoleName() == "list item" for i in range(node.childCount))]
    items = max(([found.getChildAtIndex(i) for i in range(found.childCount)] for found in lists), key=len, default=[])
    if len(items) < len(ADDRESS):
        labels = sum(1 for node, _ in nodes(window) if node.getRoleName() == "label" and not node.name
                     and node.getState().contains(pyatspi.STATE_SHOWING))
        return [f"{label}: the per-character cells are no list of at least {len(ADDRESS)} items "
                f"({len(lists)} lists; {labels} showing labels without a name)"]
    failures = []
    for character, item in zip(ADDRESS, items):
        character_said, _, form = item.name.partition(", ")
        if character_said != character or (language == "en" and form not in FORMS):
            failures.append(f"{label}: the cell of {character!r} is named {item.name!r}")
    return failures


def converted_window(env, program, root, language):
    """The program started on a fresh HOME in a language, ADDRESS typed into the input and converted."""
    home = f"{root}/home-{language}"
    os.makedirs(home)
    started = subprocess.Popen([program], cwd="/", env=dict(env, HOME=home, LANGUAGE=language, LANG=LOCALES[language]),
                               **QUIET)
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for("the window on the accessibility bus", lambda: next(
        (a for a in (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
         if a is not None and a.get_process_id() == started.pid and a.childCount), None))
    window = app.getChildAtIndex(0)
    role = lambda name: [node for node, _ in nodes(window) if node.getRoleName() == name]
    input_box = next(n for n in role("text") if n.parent.getRoleName() == "combo box")
    xdotool = lambda *args: subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=20).stdout
    x_window = wait_for("the X window", lambda: xdotool("search", "--onlyvisible", "--pid", str(started.pid)).split())[0]
    xdotool("windowfocus", "--sync", x_window)  # no window manager gives it the keyboard
    input_box.queryComponent().grabFocus()
    xdotool("type", "--delay", "20", ADDRESS)
    wait_for("the typed input", lambda: input_box.queryText().getText(0, -1) == ADDRESS)
    role("push button")[0].queryAction().doAction(0)  # the convert button comes first in either language
    output_box = next(n for n in role("text") if n is not input_box)
    wait_for("the converted output", lambda: output_box.queryText().getText(0, -1))
    return started, app, window, xdotool


def site_window(app, window, keys):
    """Opened as a screen reader user would: the first menu opened through its action, its first item by keyboard."""
    menu = next(node for node, _ in nodes(window) if node.getRoleName() == "menu bar").getChildAtIndex(0)
    menu.queryAction().doAction(0)
    wait_for("the open menu", lambda: menu.childCount and menu.getChildAtIndex(0).getState().contains(
        pyatspi.STATE_SHOWING))
    keys("key", "Down", "Return")
    wait_for("the site window", lambda: app.childCount > 1)
    return next(app.getChildAtIndex(i) for i in range(app.childCount) if app.getChildAtIndex(i) != window)


def main():
    program, root = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-atspi-")
    env, xvfb, buses = start_buses(root)
    os.environ.update(env)  # pyatspi finds the buses through the environment when it is imported
    global pyatspi
    import pyatspi
    failures = []
    try:
        for language in LOCALES:
            started, app, window, keys = converted_window(env, program, root, language)
            try:
                failures += nameless_controls(window, f"{language} main window")
                failures += cell_failures(window, f"{language} main window", language)
                failures += nameless_controls(site_window(app, window, keys), f"{language} site window")
            finally:
                os.killpg(started.pid, signal.SIGKILL)
    finally:
        for bus in buses:  # each with the processes it started
            os.killpg(bus.pid, signal.SIGTERM)
            bus.wait(timeout=10)
        xvfb.terminate()
        xvfb.wait(timeout=10)
    print("\n".join(failures))
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed ({len(failures)} findings)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
