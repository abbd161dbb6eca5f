#!/usr/bin/env python3
"""Qorvane installed into a temporary DESTDIR: launcher and software-centre entry validated, the program used as a user
would in Xvfb with a fresh HOME (xdotool, xclip, a recording xdg-open), its package read back. Waits on what can be
observed (a window, a file, the clipboard); sleeps only where nothing may happen."""
import glob
import html
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse
from pathlib import Path

ID = "org.example.qorvane.Qorvane"


def wait_for(what, check, timeout=15.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if value := check():
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, 0o755)


def run(*args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs).stdout


def files_under(folder):
    return {os.path.relpath(os.path.join(d, f), folder) for d, _, names in os.walk(folder) for f in names}


class Desktop:
    def __init__(self, root, home):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp", "-noreset"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            raise AssertionError("Xvfb did not start")
        # The user's folders are left to their defaults under the fresh HOME.
        os.makedirs(home)
        self.env = dict(os.environ, DISPLAY=":" + number, HOME=home, PATH=f"{root}/bin:" + os.environ["PATH"],
                        XDG_DATA_DIRS=f"{root}/data", XDG_RUNTIME_DIR=f"{root}/run")
        for key in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                    "GNOME_DESKTOP_SESSION_ID", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "BROWSER"):
            self.env.pop(key, None)
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        wait_for("the X server on " + number, lambda: self.run("xdotool", "getdisplaygeometry", check=False) != "")
        self.record = f"{root}/opened.txt"
        write(self.record, "")
        write(f"{root}/bin/xdg-open", f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{self.record}"\n')
        write(f"{root}/data/applications/pdf.desktop",
              "[Desktop Entry]\nType=Application\nName=PDF\nExec=true %f\nMimeType=application/pdf;\n")
        write(f"{root}/data/applications/mimeapps.list", "[Default Applications]\napplication/pdf=pdf.desktop\n")

    def opened(self):
        """What the program asked xdg-open to open, as local paths."""
        return [urllib.parse.unquote(line.strip().removeprefix("file://")) for line in open(self.record)]

    def run(self, *args, check=True):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=10, check=check).stdout

    def xdo(self, *args):
        return self.run("xdotool", *args)

    def clipboard(self, seconds=5.0):  # None when the owner does not answer in time
        try:
            result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env, capture_output=True,
                                    text=True, timeout=seconds)
        except subprocess.TimeoutExpired:
            return None
        return result.stdout if result.returncode == 0 else ""

    def copy_from_elsewhere(self, text):
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=text, env=self.env, text=True, timeout=5,
                       check=True)

    def close(self):
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)


class Program:
    def __init__(self, desktop, folder):
        self.desktop = desktop
        wrapper = os.environ.get("E2E_WRAPPER", "").split()  # for example "gdb -batch -ex run -ex bt --args"
        self.process = subprocess.Popen(wrapper + [f"{folder}/qorvane"], cwd="/", env=desktop.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        try:
            self.window = wait_for("the main window", lambda: self.find("Qorvane"))
        except AssertionError:
            self.process.kill()
            raise AssertionError("no main window:\n" + self.process.communicate()[0].decode(errors="replace"))
        desktop.xdo("windowfocus", "--sync", self.window)

    def find(self, title):
        found = self.desktop.run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$", check=False).split()
        return found[0] if found else None

    def keys(self, *keys):
        self.desktop.xdo("windowfocus", "--sync", self.window)
        self.desktop.xdo("key", "--clearmodifiers", *keys)

    def click_input(self):
        self.desktop.xdo("mousemove", "--window", self.window, "100", "47", "click", "1")

    def position(self):
        x, y = re.search(r"Position: (-?\d+),(-?\d+)", self.desktop.xdo("getwindowgeometry", self.window)).groups()
        return int(x), int(y)

    def quit(self, signal_number=None):
        if signal_number:
            self.process.send_signal(signal_number)
        else:
            self.keys("ctrl+q")
        self.process.wait(timeout=15)
        output = self.process.stdout.read().decode(errors="replace")
        if "Sanitizer" in output or "runtime error" in output or self.process.returncode != 0:
            raise AssertionError(f"exit code {self.process.returncode}:\n{output}")


def use(desktop, program, settings, pages, guide):
    app = Program(desktop, program)
    app.click_input()
    desktop.xdo("type", "--delay", "20", "a@b.c")
    app.keys("alt+x")
    app.keys("alt+c")
    copied = wait_for("the converted text on the clipboard", desktop.clipboard)
    assert "&#" in copied and urllib.parse.unquote(re.sub(r"[\r\n]", "", html.unescape(copied))) == "a@b.c", copied

    desktop.copy_from_elsewhere("x@y.jp")
    wait_for("the copied address to be caught", lambda: desktop.clipboard() == "")
    app.keys("alt+s")
    box = wait_for('the message box "登録"', lambda: app.find("登録"))
    desktop.copy_from_elsewhere("z@w.jp")
    time.sleep(1.2)  # over two ticks of the watch: a copy made while a box is open waits for it
    assert desktop.clipboard() == "z@w.jp"
    desktop.xdo("windowfocus", "--sync", box)
    desktop.xdo("key", "Return")
    wait_for("the box to close", lambda: not app.find("登録"))
    wait_for("the copy to be caught after the box", lambda: desktop.clipboard() == "")
    assert Path(f"{settings}/add.dat").read_bytes() == b"x@y.jp\r\n"

    app.keys("alt+k")
    app.keys("b")  # BBSでの記述(&B)
    app.keys("alt+p")
    wait_for("the page to be opened", lambda: desktop.opened() == [f"{pages}/Preview.htm"])
    app.keys("alt+h")
    app.keys("g")  # 操作ガイド(&G)
    wait_for("the guide to be opened", lambda: desktop.opened() == [f"{pages}/Preview.htm", guide])

    # A clipboard owner that never answers (a stopped xclip): the window still takes keys at once,
    # and its input edit clears the clipboard.
    stuck = subprocess.Popen(["xclip", "-i", "-quiet", "-selection", "clipboard"], stdin=subprocess.PIPE,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=desktop.env)
    stuck.stdin.write(b"q@r.jp")
    stuck.stdin.close()
    wait_for("the other program to own the clipboard", lambda: desktop.clipboard(0.5) == "q@r.jp")
    stuck.send_signal(signal.SIGSTOP)
    time.sleep(0.7)  # the watch has asked for the text by now
    app.click_input()
    desktop.xdo("key", "End", "a", "BackSpace")
    wait_for("the window to answer", lambda: desktop.clipboard(0.5) == "", timeout=2)
    stuck.kill()

    desktop.xdo("windowmove", app.window, "120", "90")
    wait_for("the window to move", lambda: app.position() == (120, 90))
    app.quit()

    ini = Path(f"{settings}/mirelt.ini").read_bytes()
    for expected in (b"[Top]\r\nTop=1350\r\n", b"[Left]\r\nLeft=1800\r\n", b"[Mail]\r\nMail=z@w.jp\r\n",
                     b"[OPTION]\r\nRET=0\r\n@ENT=0\r\nDOT=0\r\n", b"[ENT_OUT_OP]\r\n10=1\r\n16_1=0\r\n16_2=1\r\n",
                     b"[ENT_OP]\r\nRAND=True\r\nALL=False\r\n@ONLY=False\r\n"):
        assert expected in ini, (expected, ini)
    preview = Path(f"{pages}/Preview.htm").read_bytes()
    assert preview.startswith("<html><title>エンティティプレビュー</title>\r\n".encode("cp932")), preview[:80]
    image = Path(f"{pages}/JSP/mailadd.png").read_bytes()
    assert image.startswith(b"\x89PNG") and image.count(b"tRNS") == 1
    for page in ("preview_cd1.htm", "preview_cd2.htm", "JSP/preview_cd_jsp.htm", "JSP/preview_cd_jsp2.htm"):
        assert os.path.getsize(f"{pages}/{page}") > 0, page
    assert os.path.isfile(guide)

    again = Program(desktop, program)
    assert again.position() == (120, 90), again.position()
    os.remove(f"{settings}/mirelt.ini")
    again.quit(signal.SIGTERM)  # as the desktop ends a program: saved as by a close
    assert Path(f"{settings}/mirelt.ini").read_bytes() == ini, "options, input or position did not come back"


def main():
    build, root = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-e2e-")
    dest, home = f"{root}/dest", f"{root}/home"
    share = dest + "/usr/share"
    try:
        run("cmake", "--install", build, "--prefix", "/usr", env=dict(os.environ, DESTDIR=dest))
        run("desktop-file-validate", f"{share}/applications/{ID}.desktop")
        run("appstreamcli", "validate", "--no-net", f"{share}/metainfo/{ID}.metainfo.xml")
        installed = files_under(dest)
        desktop = Desktop(root, home)
        try:
            use(desktop, dest + "/usr/bin", f"{home}/.config/qorvane", f"{home}/.local/share/qorvane",
                f"{share}/qorvane/操作ガイド.pdf")
        finally:
            desktop.close()
        assert files_under(dest) == installed, files_under(dest) - installed

        # A copy in a folder of its own keeps every file beside itself and nothing in the user's folders.
        portable = f"{root}/portable"
        os.makedirs(portable)
        for name in ("qorvane", "操作ガイド.pdf"):
            shutil.copy(f"{build}/{name}", portable)
        desktop = Desktop(f"{root}/p", f"{root}/p/home")
        try:
            use(desktop, portable, portable, portable, f"{portable}/操作ガイド.pdf")
        finally:
            desktop.close()
        assert not glob.glob(f"{root}/p/home/**/mirelt.ini", recursive=True)

        run("cpack", "--config", f"{build}/CPackConfig.cmake", "-B", f"{root}/package")
        deb, = glob.glob(f"{root}/package/qorvane_2.10_*.deb")
        listing = run("dpkg-deb", "-c", deb).splitlines()
        packed = {line.split()[-1][2:] for line in listing if line[0] != "d"}
        assert packed == installed, packed ^ installed
        depends = run("dpkg-deb", "-f", deb, "Depends")
        assert all(f"{lib} (>=" in depends for lib in ("libc6", "libpng16-16", "libqt6widgets6")), depends
        print(f"{os.path.basename(deb)}: {os.path.getsize(deb)} bytes")
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
