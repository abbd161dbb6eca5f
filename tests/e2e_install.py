#!/usr/bin/env python3
"""Qorvane installed as a user gets it: `cmake --install` into a temporary DESTDIR, the
launcher and the software-centre entry validated, the installed program run under Xvfb
with a fresh HOME (convert, preview, the guide, quit), and the Debian package built and
read back with dpkg-deb. The desktop opener is a recording stand-in for xdg-open."""
import glob
import os
import subprocess
import sys
import tempfile
import urllib.parse
import shutil

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_user import Desktop, Program, wait_for  # noqa: E402

ID = "org.example.qorvane.Qorvane"


def files_under(folder):
    return {os.path.relpath(os.path.join(d, f), folder) for d, _, names in os.walk(folder) for f in names}


def write(path, text, mode=0o644):
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, mode)


def use_stand_ins(desktop, root):
    """xdg-open records what it was asked to open; a PDF viewer is registered as the default."""
    bin_dir = os.path.join(root, "standin-bin")
    os.makedirs(bin_dir)
    opened = os.path.join(root, "xdg-open.txt")
    write(os.path.join(bin_dir, "xdg-open"), f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{opened}"\nexit 0\n', 0o755)
    apps = os.path.join(root, "data", "applications")
    write(os.path.join(apps, "standin-pdf.desktop"),
          "[Desktop Entry]\nType=Application\nName=Stand-in PDF viewer\nExec=true %f\nMimeType=application/pdf;\n")
    write(os.path.join(apps, "mimeapps.list"), "[Default Applications]\napplication/pdf=standin-pdf.desktop\n")
    # The user's folders are the defaults under the fresh HOME.
    home = os.path.join(root, "home")
    os.makedirs(home)
    desktop.env.update(HOME=home, PATH=bin_dir + ":" + desktop.env["PATH"])
    for key in ("XDG_CONFIG_HOME", "XDG_DATA_HOME"):
        desktop.env.pop(key)
    return home, opened


def opened_paths(record):
    if not os.path.exists(record):
        return []
    return [urllib.parse.unquote(line.removeprefix("file://")) for line in open(record).read().split("\n") if line]


def run_installed(desktop, root, dest):
    home, record = use_stand_ins(desktop, root)
    before = files_under(dest)
    app = Program(desktop, os.path.join(dest, "usr", "bin"))
    app.click(100, 47)  # into the input box
    desktop.xdo("type", "--delay", "20", "a@b.c")
    app.keys("alt+x")
    app.keys("alt+c")
    assert "&#" in wait_for("the converted text on the clipboard", desktop.clipboard)
    app.keys("alt+p")
    app.keys("alt+h")
    app.keys("g")  # 操作ガイド(&G)
    opened = wait_for("the page and the guide to be opened", lambda: len(opened_paths(record)) == 2 and opened_paths(record))
    app.quit()

    pages = os.path.join(home, ".local", "share", "qorvane")
    guide = os.path.join(dest, "usr", "share", "qorvane", "操作ガイド.pdf")
    assert sorted(opened) == sorted([os.path.join(pages, "Preview.htm"), guide]), opened
    assert os.path.isfile(guide), "the guide that was opened is missing"
    assert os.path.isfile(os.path.join(home, ".config", "qorvane", "mirelt.ini")), files_under(home)
    assert os.path.isfile(os.path.join(pages, "JSP", "mailadd.png")), files_under(home)
    assert files_under(dest) == before, files_under(dest) - before
    return before


def check_package(build, root, installed):
    out = os.path.join(root, "package")
    subprocess.run(["cpack", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out], check=True,
                   capture_output=True)
    deb, = glob.glob(os.path.join(out, "qorvane_2.10_*.deb"))
    listing = subprocess.run(["dpkg-deb", "-c", deb], check=True, capture_output=True, text=True).stdout
    packed = {line.split()[-1].removeprefix("./") for line in listing.splitlines() if not line.startswith("d")}
    assert packed == installed, packed ^ installed
    depends = subprocess.run(["dpkg-deb", "-f", deb, "Depends"], check=True, capture_output=True, text=True).stdout
    for library in ("libc6", "libpng16-16", "libqt6core6", "libqt6gui6", "libqt6widgets6"):
        assert library + " (>=" in depends, depends
    print(f"{os.path.basename(deb)}: {os.path.getsize(deb)} bytes")


def main():
    build = sys.argv[1]
    root = tempfile.mkdtemp(prefix="qorvane-install-")
    dest = os.path.join(root, "dest")
    try:
        subprocess.run(["cmake", "--install", build, "--prefix", "/usr"], env=dict(os.environ, DESTDIR=dest),
                       check=True, capture_output=True)
        share = os.path.join(dest, "usr", "share")
        subprocess.run(["desktop-file-validate", f"{share}/applications/{ID}.desktop"], check=True)
        subprocess.run(["appstreamcli", "validate", "--no-net", f"{share}/metainfo/{ID}.metainfo.xml"], check=True,
                       stdout=subprocess.DEVNULL)
        desktop = Desktop(root)
        try:
            installed = run_installed(desktop, root, dest)
        finally:
            desktop.close()
        check_package(build, root, installed)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
