#!/usr/bin/env python3
"""Qorvane driven as a user would: a fresh program folder, a real X server (Xvfb),
keyboard and mouse through xdotool, the clipboard through xclip, and a stand-in
browser registered as the desktop's handler for web pages. Waits on what can be
observed (a window, a file, the clipboard), never on long fixed sleeps."""
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

POLL = 0.05


def wait_for(what, check, timeout=15.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = check()
        if value:
            return value
        time.sleep(POLL)
    raise AssertionError(f"timed out waiting for {what}")


class Desktop:
    def __init__(self, root):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                                      "-noreset"],
                                     pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise AssertionError("Xvfb did not start")
            number += chunk
        os.close(read)
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip(), HOME=root,
                        XDG_CONFIG_HOME=os.path.join(root, "config"), XDG_DATA_HOME=os.path.join(root, "data"),
                        XDG_DATA_DIRS=os.path.join(root, "data"), XDG_RUNTIME_DIR=os.path.join(root, "run"))
        for key in ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                    "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "BROWSER"):
            self.env.pop(key, None)
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        wait_for("the X server to accept clients",
                 lambda: subprocess.run(["xdotool", "getdisplaygeometry"], env=self.env, capture_output=True,
                                        timeout=5).returncode == 0)
        self.opened = os.path.join(root, "opened.txt")
        self._register_browser(root)

    def _register_browser(self, root):
        script = os.path.join(root, "standin-browser")
        with open(script, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{self.opened}"\n')
        os.chmod(script, 0o755)
        apps = os.path.join(self.env["XDG_DATA_HOME"], "applications")
        os.makedirs(apps)
        with open(os.path.join(apps, "standin.desktop"), "w") as f:
            f.write(f"[Desktop Entry]\nType=Application\nName=Stand-in browser\nExec={script} %u\n"
                    "MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;x-scheme-handler/file;\n")
        os.makedirs(self.env["XDG_CONFIG_HOME"])
        with open(os.path.join(self.env["XDG_CONFIG_HOME"], "mimeapps.list"), "w") as f:
            f.write("[Default Applications]\n" + "".join(
                f"{m}=standin.desktop\n" for m in ("text/html", "x-scheme-handler/http", "x-scheme-handler/file")))

    def run(self, *args, timeout=10, check=True):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=timeout, check=check).stdout

    def xdo(self, *args):
        return self.run("xdotool", *args)

    def clipboard(self):
        return self.clipboard_within(5)

    def clipboard_now(self):
        """The clipboard's text, or None when its owner does not answer at once."""
        try:
            return self.clipboard_within(0.5)
        except subprocess.TimeoutExpired:
            return None

    def clipboard_within(self, seconds):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env, capture_output=True,
                                text=True, timeout=seconds)
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
        self.process = subprocess.Popen(wrapper + [os.path.join(folder, "qorvane")], cwd="/", env=desktop.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        try:
            self.window = wait_for("the main window", lambda: self._find("^Qorvane$"))
        except AssertionError:
            self.process.kill()
            output = self.process.communicate()[0].decode(errors="replace")
            raise AssertionError(f"no main window; exit code {self.process.returncode}, output:\n{output}")
        desktop.xdo("windowfocus", "--sync", self.window)

    def _find(self, name):
        out = self.desktop.run("xdotool", "search", "--onlyvisible", "--name", name, check=False)
        return out.split()[0] if out.split() else None

    def keys(self, *keys):
        self.desktop.xdo("windowfocus", "--sync", self.window)
        self.desktop.xdo("key", "--clearmodifiers", *keys)

    def click(self, x, y):
        self.desktop.xdo("mousemove", "--window", self.window, str(x), str(y), "click", "1")

    def answer_box(self, title, key="Return"):
        box = wait_for(f'the message box "{title}"', lambda: self._find(f"^{title}$"))
        self.desktop.xdo("windowfocus", "--sync", box)
        self.desktop.xdo("key", key)
        wait_for("the box to close", lambda: not self._find(f"^{title}$"))

    def position(self):
        out = self.desktop.xdo("getwindowgeometry", self.window)
        x, y = re.search(r"Position: (-?\d+),(-?\d+)", out).groups()
        return int(x), int(y)

    def quit(self, signal_number=None):
        if signal_number is None:
            self.keys("ctrl+q")
        else:
            self.process.send_signal(signal_number)
        self.process.wait(timeout=15)
        errors = self.process.stdout.read().decode(errors="replace")
        if "Sanitizer" in errors or "runtime error" in errors:
            raise AssertionError("sanitizer report:\n" + errors)
        if self.process.returncode != 0:
            raise AssertionError(f"exit code {self.process.returncode}:\n{errors}")


def decoded(text):
    text = re.sub(r"[\r\n]", "", html.unescape(text))
    return urllib.parse.unquote(text)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    program = sys.argv[1]
    root = tempfile.mkdtemp(prefix="qorvane-e2e-")
    folder = os.path.join(root, "program")
    os.makedirs(folder)
    shutil.copy(program, folder)
    desktop = Desktop(root)
    try:
        app = Program(desktop, folder)
        app.click(100, 47)  # into the input box
        desktop.xdo("type", "--delay", "20", "a@b.c")
        app.keys("alt+x")
        app.keys("alt+c")
        copied = wait_for("the converted text on the clipboard", desktop.clipboard)
        assert "&#" in copied and decoded(copied) == "a@b.c", copied

        desktop.copy_from_elsewhere("x@y.jp")
        wait_for("the copied address to be caught", lambda: desktop.clipboard() == "")
        app.keys("alt+s")
        wait_for('the message box "登録"', lambda: app._find("^登録$"))
        desktop.copy_from_elsewhere("z@w.jp")
        time.sleep(1.2)  # over two ticks of the watch: a copy made while a box is open waits for it
        assert desktop.clipboard() == "z@w.jp"
        app.answer_box("登録")
        wait_for("the copy to be caught after the box", lambda: desktop.clipboard() == "")
        assert read(os.path.join(folder, "add.dat")) == b"x@y.jp\r\n"

        app.keys("alt+k")
        app.keys("b")  # BBSでの記述(&B)
        app.keys("alt+p")
        opened = wait_for("the stand-in browser", lambda: os.path.exists(desktop.opened) and open(desktop.opened).read())
        assert opened.strip() in ("file://" + folder + "/Preview.htm", folder + "/Preview.htm"), opened

        # A clipboard owner that never answers (a stopped xclip): the window still takes keys at once,
        # and its input edit clears the clipboard.
        stuck = subprocess.Popen(["xclip", "-i", "-quiet", "-selection", "clipboard"], stdin=subprocess.PIPE,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=desktop.env)
        stuck.stdin.write(b"q@r.jp")
        stuck.stdin.close()
        wait_for("the other program to own the clipboard", lambda: desktop.clipboard_now() == "q@r.jp")
        stuck.send_signal(signal.SIGSTOP)
        time.sleep(0.7)  # the watch has asked for the text by now
        app.click(100, 47)
        desktop.xdo("key", "End", "a", "BackSpace")
        wait_for("the window to answer", lambda: desktop.clipboard_now() == "", timeout=2)
        stuck.send_signal(signal.SIGCONT)
        stuck.kill()

        desktop.xdo("windowmove", app.window, "120", "90")
        wait_for("the window to move", lambda: app.position() == (120, 90))
        app.quit()

        ini = read(os.path.join(folder, "mirelt.ini"))
        for expected in (b"[Top]\r\nTop=1350\r\n", b"[Left]\r\nLeft=1800\r\n", b"[Mail]\r\nMail=z@w.jp\r\n",
                         b"[OPTION]\r\nRET=0\r\n@ENT=0\r\nDOT=0\r\n", b"[ENT_OUT_OP]\r\n10=1\r\n16_1=0\r\n16_2=1\r\n",
                         b"[ENT_OP]\r\nRAND=True\r\nALL=False\r\n@ONLY=False\r\n"):
            assert expected in ini, (expected, ini)
        preview = read(os.path.join(folder, "Preview.htm"))
        assert preview.startswith("<html><title>エンティティプレビュー</title>\r\n".encode("cp932")), preview[:80]
        image = read(os.path.join(folder, "JSP", "mailadd.png"))
        assert image.startswith(b"\x89PNG") and image.count(b"tRNS") == 1
        for page in ("preview_cd1.htm", "preview_cd2.htm", "JSP/preview_cd_jsp.htm", "JSP/preview_cd_jsp2.htm"):
            assert os.path.getsize(os.path.join(folder, page)) > 0, page

        again = Program(desktop, folder)
        assert again.position() == (120, 90), again.position()
        os.remove(os.path.join(folder, "mirelt.ini"))
        again.quit(signal.SIGTERM)  # as the desktop ends a program: saved as by a close
        assert read(os.path.join(folder, "mirelt.ini")) == ini, "options, input or position did not come back"
    finally:
        desktop.close()
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
