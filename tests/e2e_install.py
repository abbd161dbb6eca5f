#!/usr/bin/env python3
"""Qorvane installed into a temporary DESTDIR, its launcher and software-centre entry validated, used in Xvfb with a
fresh HOME (xdotool, xclip, a recording xdg-open), its package read back. Sleeps only where nothing may happen."""
import glob, gzip, html, os, re, shutil, signal, subprocess, sys, tempfile, time, urllib.parse
from pathlib import Path


def wait_for(what, check, timeout=20.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if value := check():
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def start_xvfb():  # the server and its display name
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                             "-noreset"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = os.fdopen(read_end).readline().strip()
    assert number, "Xvfb did not start"
    return xvfb, ":" + number


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Path(path).write_text(text)
    os.chmod(path, 0o755)


def run(*args, check=True, **kwargs):
    return subprocess.run(args, check=check, capture_output=True, text=True, **kwargs).stdout


def files_under(folder):
    return {os.path.relpath(os.path.join(d, f), folder) for d, _, names in os.walk(folder) for f in names}


class Desktop:  # an X server with a fresh HOME under root, a recording xdg-open, a PDF viewer; one program at a time
    def __init__(self, root):
        self.xvfb, display = start_xvfb()
        # The user's folders are left to their defaults under the fresh HOME; a Japanese desktop, as the captions say.
        self.env = dict(os.environ, DISPLAY=display, HOME=f"{root}/home", PATH=f"{root}/bin:{os.environ['PATH']}",
                        XDG_DATA_DIRS=f"{root}/data", XDG_RUNTIME_DIR=f"{root}/run", LANGUAGE="ja")
        for key in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                    "GNOME_DESKTOP_SESSION_ID", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "BROWSER"):
            self.env.pop(key, None)
        os.makedirs(self.env["HOME"]); os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        wait_for("the X server on " + display, lambda: self.xdo("getdisplaygeometry", check=False))
        self.record = f"{root}/opened.txt"
        write(self.record, "")
        write(f"{root}/bin/xdg-open", f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{self.record}"\n')
        write(f"{root}/data/applications/pdf.desktop",
              "[Desktop Entry]\nType=Application\nName=PDF\nExec=true %f\nMimeType=application/pdf;\n")
        write(f"{root}/data/applications/mimeapps.list", "[Default Applications]\napplication/pdf=pdf.desktop\n")

    def xdo(self, *args, check=True):
        return run("xdotool", *args, env=self.env, timeout=10, check=check)

    def opened(self):  # what the program asked xdg-open to open, as local paths
        return [urllib.parse.unquote(line.strip().removeprefix("file://")) for line in open(self.record)]

    def clipboard(self, seconds=5.0):  # None when the owner does not answer in time
        try:
            return run("xclip", "-o", "-selection", "clipboard", env=self.env, timeout=seconds, check=False)
        except subprocess.TimeoutExpired:
            return None

    def copy(self, text):  # as another program would
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], input=text, env=self.env, text=True, timeout=5,
                       check=True)

    def start(self, folder):
        self.program = subprocess.Popen([f"{folder}/qorvane"], cwd="/", env=self.env, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT)
        try:
            self.window = wait_for("the main window", lambda: self.find("Qorvane"))
        except AssertionError:
            self.program.kill()
            raise AssertionError("no main window:\n" + self.program.communicate()[0].decode(errors="replace"))
        self.xdo("windowfocus", "--sync", self.window)

    def find(self, title):
        return (self.xdo("search", "--onlyvisible", "--name", f"^{title}$", check=False).split() or [None])[0]

    def keys(self, *keys, window=None):  # one at a time, each to the focused window
        for key in keys:
            self.xdo("windowfocus", "--sync", window or self.window)
            self.xdo("key", "--clearmodifiers", key)

    def position(self):
        return tuple(map(int, re.search(r"Position: (-?\d+),(-?\d+)", self.xdo("getwindowgeometry", self.window)).groups()))

    def quit(self, signal_number=None):
        self.program.send_signal(signal_number) if signal_number else self.keys("ctrl+q")
        output = self.program.communicate(timeout=15)[0].decode(errors="replace")
        assert "Sanitizer" not in output and "runtime error" not in output and self.program.returncode == 0, \
            f"exit code {self.program.returncode}:\n{output}"


def use(root, program, settings, pages, guide):
    d = Desktop(root)
    try:
        d.start(program)
        launcher = (Path(__file__).parent.parent / "packaging/org.example.qorvane.Qorvane.desktop").read_text()
        wm_class = re.search(r"^StartupWMClass=(.*)$", launcher, re.M)[1]  # docks tie the window to its launcher by it
        assert d.window in d.xdo("search", "--class", f"^{wm_class}$").split(), wm_class
        d.xdo("mousemove", "--window", d.window, "100", "47", "click", "1")  # into the input
        d.xdo("type", "--delay", "20", "a@b.c")
        d.keys("alt+x", "alt+c")
        copied = wait_for("the converted text on the clipboard", d.clipboard)
        assert "&#" in copied and urllib.parse.unquote(re.sub(r"[\r\n]", "", html.unescape(copied))) == "a@b.c", copied

        d.copy("x@y.jp")
        wait_for("the copied address to be caught", lambda: d.clipboard() == "")
        d.keys("alt+s")
        box = wait_for('the message box "登録"', lambda: d.find("登録"))
        d.copy("z@w.jp")
        time.sleep(1.2)  # over two ticks of the watch: a copy made while a box is open waits for it
        assert d.clipboard() == "z@w.jp"
        d.keys("Return", window=box)
        wait_for("the box to close", lambda: not d.find("登録"))
        wait_for("the copy to be caught after the box", lambda: d.clipboard() == "")
        assert Path(f"{settings}/add.dat").read_bytes() == b"x@y.jp\r\n"

        d.keys("alt+k", "b", "alt+p")  # BBSでの記述(&B), then the preview
        wait_for("the page to be opened", lambda: d.opened() == [f"{pages}/Preview.htm"])
        d.keys("alt+h", "g")  # 操作ガイド(&G)
        wait_for("the guide to be opened", lambda: d.opened() == [f"{pages}/Preview.htm", guide])

        # A clipboard owner that never answers (a stopped xclip): the window still takes keys at once,
        # and its input edit clears the clipboard. Its text is the input already, so the watch leaves it there.
        d.copy("q@r.jp")
        wait_for("the address to be caught", lambda: d.clipboard() == "")
        Path(f"{root}/copied.txt").write_text("q@r.jp")
        stuck = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", f"{root}/copied.txt"], env=d.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("the other program to own the clipboard", lambda: d.clipboard(0.5) == "q@r.jp")
        stuck.send_signal(signal.SIGSTOP)
        time.sleep(0.7)  # the watch has asked for the text by now
        d.xdo("mousemove", "--window", d.window, "100", "47", "click", "1")  # into the input
        d.xdo("key", "End", "a", "BackSpace")
        wait_for("the window to answer", lambda: d.clipboard(0.5) == "", timeout=2)
        stuck.kill()

        d.xdo("windowmove", d.window, "120", "90")
        wait_for("the window to move", lambda: d.position() == (120, 90))
        d.quit()
        ini = Path(f"{settings}/mirelt.ini").read_bytes()
        assert ini == (b"[Top]\r\nTop=1350\r\n[Left]\r\nLeft=1800\r\n[Mail]\r\nMail=q@r.jp\r\n[INI_VER]\r\n"
                       b"INI_VER=1\r\n[OPTION]\r\nRET=0\r\n@ENT=0\r\nDOT=0\r\n[ENT_OUT_OP]\r\n10=1\r\n16_1=0\r\n"
                       b"16_2=1\r\n[ENT_OP]\r\nRAND=True\r\nALL=False\r\n@ONLY=False\r\n"), ini
        image = Path(f"{pages}/JSP/mailadd.png").read_bytes()
        assert image.startswith(b"\x89PNG") and image.count(b"tRNS") == 1

        d.start(program)
        assert d.position() == (120, 90), d.position()
        os.remove(f"{settings}/mirelt.ini")
        d.quit(signal.SIGTERM)  # as the desktop ends a program: saved as by a close
        assert Path(f"{settings}/mirelt.ini").read_bytes() == ini, "options, input or position did not come back"
    finally:
        d.xvfb.terminate(); d.xvfb.wait(timeout=10)


def check_both_languages(share):  # English by default and Japanese beside it, in every text and page
    launcher = Path(f"{share}/applications/org.example.qorvane.Qorvane.desktop").read_text()
    assert all(re.search(rf"^{key}=[ -~]+\n{key}\[ja\]=.+$", launcher, re.M) for key in ("Name", "Comment")), launcher
    entry = Path(f"{share}/metainfo/org.example.qorvane.Qorvane.metainfo.xml").read_text()
    japanese = lambda tag: re.findall(rf'<{tag} xml:lang="ja">[^<]*[\u3040-\u30ff]', entry)
    assert all(len(japanese(tag)) == len(re.findall(f"<{tag}>", entry)) > 0 for tag in ("summary", "p", "li", "caption"))
    for page in ("man1/qorvane", "man1/qorvane-site", "ja/man1/qorvane", "ja/man1/qorvane-site"):
        assert f"\n.SH {'名前' if page.startswith('ja/') else 'NAME'}\n" in gzip.decompress(Path(f"{share}/man/{page}.1.gz").read_bytes()).decode(), page
    assert {"操作ガイド.pdf", "operating-guide.pdf"} <= set(os.listdir(f"{share}/qorvane"))


def main():
    build, root = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-e2e-")
    dest, home, portable, share = f"{root}/dest", f"{root}/home", f"{root}/opt/bin", f"{root}/dest/usr/share"
    try:
        run("cmake", "--install", build, "--prefix", "/usr", env=dict(os.environ, DESTDIR=dest))
        run("desktop-file-validate", f"{share}/applications/org.example.qorvane.Qorvane.desktop")
        run("appstreamcli", "validate", "--no-net", f"{share}/metainfo/org.example.qorvane.Qorvane.metainfo.xml")
        check_both_languages(share)
        installed = files_under(dest)
        use(root, f"{dest}/usr/bin", f"{home}/.config/qorvane", f"{home}/.local/share/qorvane",
            f"{share}/qorvane/操作ガイド.pdf")
        assert files_under(dest) == installed, files_under(dest) - installed

        # A copy in a folder of its own keeps every file beside itself and nothing in the user's folders,
        # even beside another program's data folder.
        os.makedirs(f"{root}/opt/share/other"); os.makedirs(portable)
        for name in ("qorvane", "操作ガイド.pdf"):
            shutil.copy(f"{build}/{name}", portable)
        use(f"{root}/p", portable, portable, portable, f"{portable}/操作ガイド.pdf")
        assert not glob.glob(f"{root}/p/home/**/mirelt.ini", recursive=True)

        run("cpack", "--config", f"{build}/CPackConfig.cmake", "-B", f"{root}/package")
        deb, = glob.glob(f"{root}/package/qorvane_2.10-1_*.deb")
        packed = {line.split()[-1][2:] for line in run("dpkg-deb", "-c", deb).splitlines() if line[0] != "d"}
        assert packed == installed, packed ^ installed
        depends = run("dpkg-deb", "-f", deb, "Depends")
        assert all(f"{lib} (>=" in depends for lib in ("libc6", "libpng16-16", "libqt6widgets6")), depends
        assert "qt6-wayland" in run("dpkg-deb", "-f", deb, "Recommends")
        lint = subprocess.run(["lintian", "--fail-on", "error,warning", deb], capture_output=True, text=True)
        assert lint.returncode == 0 and not re.search(r"^[EW]:", lint.stdout, re.M), lint.stdout + lint.stderr
        print(f"{os.path.basename(deb)}: {os.path.getsize(deb)} bytes")
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
