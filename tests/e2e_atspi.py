#!/usr/bin/env python3
"""The window and its site window walked as a screen reader walks them, in English and Japanese, after an address was
converted: each focusable control has a name and a telling role; the cells are one list of "<character>, <form>"."""
import os, signal, subprocess, sys, tempfile
import pyatspi  # on the session bus dbus-run-session gives, which starts the accessibility bus when asked
from e2e_install import start_xvfb, wait_for

ADDRESS = "mailto:a@b.jp"
FORMS = ("decimal reference", "hexadecimal reference", "percent escape", "unchanged")
VAGUE_ROLES = {"unknown", "filler", "panel", "invalid", "redundant object"}


def nodes(node, path="0"):  # depth first, each with its path of child indexes
    yield node, path
    for i, child in enumerate(node):
        if child is not None:
            yield from nodes(child, f"{path}/{i}")


def where(node, path):
    held = f" holding {node.queryText().getText(0, 40)!r}" if node.getRoleName() == "text" else ""
    return f"{node.getRoleName()}{held} at {path} in {node.parent.getRoleName()} {node.parent.name!r}"


def pid_of(app):  # the run before this one may still be listed, its process gone
    try:
        return app.get_process_id()
    except Exception:
        return None


def unnamed(window, label):  # focusable controls a screen reader could not announce
    focusable = [(n, path) for n, path in nodes(window) if n.getState().contains(pyatspi.STATE_FOCUSABLE)
                 and n.getState().contains(pyatspi.STATE_SHOWING)]
    found = [f"{label}: {where(n, path)} " + (f"{n.name!r} is a {n.getRoleName()}" if n.name.strip() else "has no name")
             for n, path in focusable if not n.name.strip() or n.getRoleName() in VAGUE_ROLES]
    print(f"{label}: {len(focusable) - len(found)} of {len(focusable)} focusable controls named")
    return found


def miscounted_cells(window, label, english):  # item i names the address's character i, in English with its form
    items = max(([i for i in n if i.getRoleName() == "list item"] for n, _ in nodes(window) if n.getRoleName() == "list"),
                key=len, default=[])
    if len(items) < len(ADDRESS):
        return [f"{label}: the cells are no list (a role list of {len(ADDRESS)} or more items with the role list item)"]
    name = lambda item: item.name.partition(", " if english else "、")
    return [f"{label}: the cell of {c!r} is named {item.name!r}" for c, item in zip(ADDRESS, items)
            if name(item)[0] != c or not name(item)[2] or (english and name(item)[2] not in FORMS)]


def walk(env, program, home, language, locale):  # on a fresh HOME: ADDRESS typed and converted, then the site window opened
    started = subprocess.Popen([program], cwd="/", env=dict(env, HOME=home, LANGUAGE=language, LANG=locale),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    xdotool = lambda *args: subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True).stdout
    try:
        app = wait_for("the window on the accessibility bus", lambda: next(
            (a for a in pyatspi.Registry.getDesktop(0) if a and pid_of(a) == started.pid and len(a)), None))
        window, label = app[0], f"{language} main window"
        role = lambda name: [n for n, _ in nodes(window) if n.getRoleName() == name]
        input_box = next(n for n in role("text") if n.parent.getRoleName() == "combo box")
        x_window = wait_for("its X window", lambda: xdotool("search", "--onlyvisible", "--pid", str(started.pid)).split())
        xdotool("windowfocus", "--sync", x_window[0])  # no window manager gives it the keyboard
        input_box.queryComponent().grabFocus()
        xdotool("type", "--delay", "20", ADDRESS)
        wait_for("the typed input", lambda: input_box.queryText().getText(0, -1) == ADDRESS)
        role("push button")[0].queryAction().doAction(0)  # the convert button comes first in either language
        wait_for("the output", lambda: next(n for n in role("text") if n != input_box).queryText().getText(0, -1))
        found = unnamed(window, label) + miscounted_cells(window, label, language == "en")
        menu = role("menu bar")[0][0]
        menu.queryAction().doAction(0)  # as a screen reader user opens it: the menu by its action, its item by key
        wait_for("the open menu", lambda: menu.childCount and menu[0].getState().contains(pyatspi.STATE_SHOWING))
        xdotool("key", "Down", "Return")
        wait_for("the site window", lambda: app.childCount > 1)
        return found + unnamed(next(w for w in app if w != window), f"{language} site window")
    finally:
        os.killpg(started.pid, signal.SIGKILL)


def main():
    program, root = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-atspi-")
    xvfb, display = start_xvfb()
    env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "WAYLAND_", "QT_"))}
    env.update(DISPLAY=display, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    try:
        found = [line for language, locale in (("en", "en_US.UTF-8"), ("ja", "ja_JP.UTF-8"))
                 for line in walk(env, program, f"{root}/home-{language}", language, locale)]
    finally:
        xvfb.terminate()
    print("\n".join(found + [f"{int(not found)} passed, {int(bool(found))} failed ({len(found)} findings)"]))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
