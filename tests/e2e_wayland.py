#!/usr/bin/env python3
"""Qorvane on Wayland (weston's X11 backend over Xvfb: its headless one has no seat for wl-copy or keys), whose cleared
clipboard comes back as with clipboard managers: a copy is caught once, typing over it stays, the position is kept."""
import os, shutil, subprocess, sys, tempfile, time
from pathlib import Path
from e2e_install import start_xvfb, wait_for


def main():
    build, root = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-wayland-")
    xvfb, display = start_xvfb()
    env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "WAYLAND_", "QT_"))}
    env.update(DISPLAY=display, HOME=root, XDG_RUNTIME_DIR=f"{root}/run")
    os.makedirs(f"{root}/run", mode=0o700)
    weston = subprocess.Popen(["weston", "--backend=x11-backend.so", "--socket=wayland-q", "--width=640",
                               "--height=480", "--shell=kiosk-shell.so", "--idle-time=0"], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env.update(WAYLAND_DISPLAY="wayland-q", QT_QPA_PLATFORM="wayland")
    run = lambda *args: subprocess.run(args, env=env, capture_output=True, text=True, timeout=10).stdout
    try:
        wait_for("weston", lambda: os.path.exists(f"{root}/run/wayland-q"))
        shutil.copy(f"{build}/qorvane", root)
        Path(f"{root}/mirelt.ini").write_bytes(b"[Top]\r\nTop=1500\r\n[Left]\r\nLeft=1200\r\n")
        subprocess.run(["wl-copy", "h@example.com"], env=env, timeout=10, stderr=subprocess.DEVNULL)  # stays the owner
        # The protocol log shows the clear that follows a catch: the one thing a Wayland client lets others see.
        with open(f"{root}/wayland.log", "w") as log:
            program = subprocess.Popen([f"{root}/qorvane"], env=dict(env, WAYLAND_DEBUG="client"), stderr=log)
        wait_for("the copy to be caught", lambda: "set_selection(nil" in Path(log.name).read_text(errors="replace"))
        run("xdotool", "mousemove", "100", "55", "click", "1", "key", "ctrl+a")  # into the input, at weston's top-left
        run("xdotool", "type", "--delay", "30", "new@site.jp")
        time.sleep(1.6)  # three ticks of the watch, in which nothing may happen
        assert run("wl-paste", "--no-newline") == "h@example.com", "weston did not give the cleared text back"
        run("xdotool", "key", "ctrl+q")
        assert program.wait(timeout=15) == 0, program.returncode
        ini = Path(f"{root}/mirelt.ini").read_bytes()
        assert ini.startswith(b"[Top]\r\nTop=1500\r\n[Left]\r\nLeft=1200\r\n[Mail]\r\nMail=new@site.jp\r\n"), ini
    finally:
        for server in (weston, xvfb):
            server.terminate(); server.wait(timeout=10)
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
