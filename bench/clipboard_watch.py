#!/usr/bin/python3
"""How the clipboard watch behaves under a hostile clipboard, in Xvfb: idle CPU
while another program offers a 5 MB text, and how long the window takes to answer
a key while the clipboard's owner never answers.
Usage: bench/clipboard_watch.py build/qorvane [idle seconds]"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, display


def start_xvfb():
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        number += os.read(read, 16)
    os.close(read)
    return xvfb, ":" + number.decode().strip()


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def find_window(d, name):
    for _ in range(200):
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], capture_output=True, text=True,
                             env=dict(os.environ, DISPLAY=d)).stdout.split()
        if out:
            return int(out[0])
        time.sleep(0.05)
    raise SystemExit("no window")


def freezes(name, window, env, rounds, delay):
    """A client takes the clipboard and never answers a request for it. After delay
    (so the watch has started its read) a key goes to the window; the window has
    answered when its input-edit reaction clears the clipboard, taking it from the
    stuck owner. Returns the seconds each key waited."""
    d = display.Display(name)
    stuck = d.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
    clipboard = d.intern_atom("CLIPBOARD")
    waits = []
    for _ in range(rounds):
        stuck.set_selection_owner(clipboard, X.CurrentTime)
        d.flush()
        time.sleep(delay)
        sent = time.monotonic()
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window), "key", "a"], env=env, check=True)
        while d.get_selection_owner(clipboard) == stuck and time.monotonic() - sent < 60:
            time.sleep(0.01)
        waits.append(time.monotonic() - sent)
    return waits


def main():
    program, seconds = sys.argv[1], float(sys.argv[2]) if len(sys.argv) > 2 else 10
    xvfb, name = start_xvfb()
    root = tempfile.mkdtemp()
    shutil.copy(program, root)
    env = dict(os.environ, DISPLAY=name, HOME=root)
    env.pop("QT_QPA_PLATFORM", None)
    app = subprocess.Popen([os.path.join(root, os.path.basename(program))], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    try:
        window = find_window(name, "^Qorvane$")
        time.sleep(1)
        xclip = subprocess.Popen(["xclip", "-i", "-selection", "clipboard", "-loops", "0"], stdin=subprocess.PIPE,
                                 env=env)
        xclip.stdin.write(b"x" * 5_000_000)
        xclip.stdin.close()
        time.sleep(2)
        before = cpu_seconds(app.pid)
        time.sleep(seconds)
        print(f"idle CPU with a 5 MB clipboard: {100 * (cpu_seconds(app.pid) - before) / seconds:.1f} %")
        xclip.kill()

        for delay in (0.0, 0.7):
            waits = freezes(name, window, env, 4, delay)
            print(f"key {delay:.1f} s after the stuck owner took the clipboard: answered after "
                  + ", ".join(f"{w:.2f}" for w in waits) + " s")
    finally:
        app.kill()
        xvfb.terminate()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
