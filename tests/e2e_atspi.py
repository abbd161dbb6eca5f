#!/usr/bin/env python3
"""The window and its site window walked as a screen reader walks them, over the desktop's accessibility bus (Xvfb, a
session D-Bus, at-spi-bus-launcher), in English and in Japanese, after an address was typed and converted: every
control that takes focus has a name and a role that says what it is, and the per-character cells read as one list
whose items name their character and its form. Lists every control that fails, with where it sits."""
import os, signal, subprocess, sys, tempfile
from e2e_install import start_xvfb, wait_for

ADDRESS = "mailto:a@b.jp"
FORMS = ("decimal reference", "hexadecimal reference", "percent escape", "unchanged")
VAGUE_ROLES = {"unknown", "filler", "panel", "invalid", "redundant object"}
LOCALES = {"en": "en_US.UTF-8", "ja": "ja_JP.UTF-8"}
QUIET = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)


def nodes(node, path="0"):
    yield node, path
    for i, child in enumerate(node):
        if child is not None:
            yield from nodes(child, f"{path}/{i}")


def where(node, path):
    held = f" holding {node.queryText().getText(0, 40)!r}" if node.getRoleName() == "text" else ""
    return f"{node.getRoleName()}{held} at {path} in {node.parent.getRoleName()} {node.parent.name!r}"


def unnamed(window, label):
    """A control that takes focus and that a screen reader could not announce: no name, or a role that says nothing."""
    found = [f"{label}: {where(n, path)} " + (f"{n.name!r} is a {n.getRoleName()}" if n.name.strip() else "has no name")
             for n, path in nodes(window) if n.getState().contains(pyatspi.STATE_FOCUSABLE)
             and n.getState().contains(pyatspi.STATE_SHOWING) and (not n.name.strip() or n.getRoleName() in VAGUE_ROLES)]
    focusable = sum(n.getState().contains(pyatspi.STATE_FOCUSABLE) and n.getState().contains(pyatspi.STATE_SHOWING)
                    for n, _ in nodes(window))
    print(f"{label}: {focusable - len(found)} of {focusable} focusable controls named")
    return found


def miscounted_cells(window, label, english):
    """Item i of the cells' list names the address's character i, in English with the form it took."""
    lists = [[item for item in n if item.getRoleName() == "list item"] for n, _ in nodes(window) if n.getRoleName() == "list"]
    items = max(lists, key=len, default=[])
    if len(items) < len(ADDRESS):
        labels = sum(n.getRoleName() == "label" and not n.name for n, _ in nodes(window))
        return [f"{label}: the cells are no list of {len(ADDRESS)} or more items ({labels} labels without a name)"]
    return [f"{label}: the cell of {c!r} is named {item.name!r}" for c, item in zip(ADDRESS, items)
            if item.name.partition(", ")[0] != c or (english and item.name.partition(", ")[2] not in FORMS)]


def walk(env, program, home, language):
    """Started on a fresh HOME, ADDRESS typed and converted, the window walked; the site window opened and walked."""
    os.makedirs(home)
    started = subprocess.Popen([program], cwd="/", env=dict(env, HOME=home, LANGUAGE=language, LANG=LOCALES[language]),
                               **QUIET)
    xdotool = lambda *args: subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=20).stdout
    try:
        app = wait_for("the window on the accessibility bus", lambda: next(
            (a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == started.pid and a.childCount), None))
        window, label = app[0], f"{language} main window"
        role = lambda name: [n for n, _ in nodes(window) if n.getRoleName() == name]
        input_box = next(n for n in role("text") if n.parent.getRoleName() == "combo box")
        x_window = wait_for("the X window", lambda: xdotool("search", "--onlyvisible", "--pid", str(started.pid)).split())
        xdotool("windowfocus", "--sync", x_window[0])  # no window manager gives it the keyboard
        input_box.queryComponent().grabFocus()
        xdotool("type", "--delay", "20", ADDRESS)
        wait_for("the typed input", lambda: input_box.queryText().getText(0, -1) == ADDRESS)
        role("push button")[0].queryAction().doAction(0)  # the convert button comes first in either language
        output_box = next(n for n in role("text") if n != input_box)
        wait_for("the converted output", lambda: output_box.queryText().getText(0, -1))
        found = unnamed(window, label) + miscounted_cells(window, label, language == "en")
        # As a screen reader user opens it: the first menu through its action, its first item by keyboard.
        menu = role("menu bar")[0][0]
        menu.queryAction().doAction(0)
        wait_for("the open menu", lambda: menu.childCount and menu[0].getState().contains(pyatspi.STATE_SHOWING))
        xdotool("key", "Down", "Return")
        wait_for("the site window", lambda: app.childCount > 1)
        return found + unnamed(next(w for w in app if w != window), f"{language} site window")
    finally:
        os.killpg(started.pid, signal.SIGKILL)


def main():
    program, root = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-atspi-")
    env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "WAYLAND_", "QT_", "DBUS_", "AT_SPI"))}
    xvfb, display = start_xvfb()
    env.update(DISPLAY=display, XDG_RUNTIME_DIR=f"{root}/run", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    session = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], env=env, text=True,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, start_new_session=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = session.stdout.readline().strip()
    buses = [session, subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env, **QUIET)]
    os.environ.update(env)  # pyatspi finds the buses through the environment when it is imported
    global pyatspi
    import pyatspi
    try:
        found = [line for language in LOCALES for line in walk(env, program, f"{root}/home-{language}", language)]
    finally:
        for bus in buses:  # each with the processes it started
            os.killpg(bus.pid, signal.SIGTERM)
            bus.wait(timeout=10)
        xvfb.terminate()
        xvfb.wait(timeout=10)
    print("\n".join(found))
    print(f"{int(not found)} passed, {int(bool(found))} failed ({len(found)} controls a screen reader cannot announce)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
