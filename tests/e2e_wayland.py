#!/usr/bin/env python3
"""Qorvane on a real Wayland compositor: weston on its X11 backend over Xvfb (its headless backend has no seat, so
neither wl-copy nor keys work there), the program on Qt's wayland platform. weston gives a cleared clipboard its text
back, as desktop clipboard managers do: an address copied with wl-copy is caught once, what the user then types over it
stays, and the window position read at start is saved back unchanged, since Wayland tells a window nothing of it."""
import os, shutil, subprocess, sys, tempfile, time
from pathlib import Path

SOCKET = "wayland-qorvane-test"


def wait_for(what, check, timeout=20.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if value := check():
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def run(env, *args, timeout=10):
    return subprocess.run(args, env=env, capture_output=True, text=True, timeout=timeout).stdout


def start_desktop(root):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        number = f.readline().strip()
    env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "WAYLAND_", "QT_"))}
    env.update(DISPLAY=":" + number, HOME=f"{root}/home", XDG_RUNTIME_DIR=f"{root}/run")
    os.makedirs(env["HOME"])
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    weston = subprocess.Popen(["weston", "--backend=x11-backend.so", f"--socket={SOCKET}", "--width=640",
                               "--height=480", "--shell=kiosk-shell.so", "--idle-time=0"], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for("weston's socket", lambda: os.path.exists(f"{root}/run/{SOCKET}"))
    env.update(WAYLAND_DISPLAY=SOCKET, QT_QPA_PLATFORM="wayland")
    return [weston, xvfb], env


def main():
    build, root = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-wayland-")
    servers = []
    try:
        servers, env = start_desktop(root)
        folder = f"{root}/portable"
        os.makedirs(folder)
        shutil.copy(f"{build}/qorvane", folder)
        Path(f"{folder}/mirelt.ini").write_bytes(b"[Top]\r\nTop=1500\r\n[Left]\r\nLeft=1200\r\n")
        subprocess.run(["wl-copy", "h@example.com"], env=env, check=True, timeout=10, stderr=subprocess.DEVNULL)
        # The protocol log shows the clear that follows a catch: the one thing a Wayland client lets others see.
        log = open(f"{root}/wayland.log", "w+")
        program = subprocess.Popen([f"{folder}/qorvane"], env=dict(env, WAYLAND_DEBUG="client"), stderr=log)
        wait_for("the copy to be caught", lambda: "set_selection(nil" in Path(log.name).read_text(errors="replace"))

        keys = lambda *args: run(env, "xdotool", *args)
        keys("mousemove", "100", "55", "click", "1")  # into the input, at the output's top-left in the X screen
        keys("key", "ctrl+a")
        keys("type", "--delay", "30", "new@site.jp")
        time.sleep(1.6)  # three ticks of the watch, in which nothing may happen
        assert run(env, "wl-paste", "--no-newline") == "h@example.com", "weston did not give the cleared text back"
        keys("key", "ctrl+q")
        assert program.wait(timeout=15) == 0, "exit code %d" % program.returncode
        ini = Path(f"{folder}/mirelt.ini").read_bytes()
        assert b"\r\nMail=new@site.jp\r\n" in ini, ini
        assert ini.startswith(b"[Top]\r\nTop=1500\r\n[Left]\r\nLeft=1200\r\n"), ini
    finally:
        for server in servers:
            server.terminate()
            server.wait(timeout=10)
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
