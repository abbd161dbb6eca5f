#!/usr/bin/env python3
"""Qorvane installed into a temporary DESTDIR: the launcher and the software-centre entry validated,
the installed program run under Xvfb with a fresh HOME and a recording xdg-open, its package read back."""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_user import Desktop, Program, wait_for  # noqa: E402

ID = "org.example.qorvane.Qorvane"


def run(*args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs).stdout


def files_under(folder):
    return {os.path.relpath(os.path.join(d, f), folder) for d, _, names in os.walk(folder) for f in names}


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, 0o755)


def use_installed_program(desktop, root, dest, home, record):
    write(f"{root}/bin/xdg-open", f'#!/bin/sh\nprintf "%s\\n" "$1" >> "{record}"\n')
    write(f"{root}/data/applications/pdf.desktop",
          "[Desktop Entry]\nType=Application\nName=PDF\nExec=true %f\nMimeType=application/pdf;\n")
    write(f"{root}/data/applications/mimeapps.list", "[Default Applications]\napplication/pdf=pdf.desktop\n")
    # The user's folders are left to their defaults under the fresh HOME.
    os.makedirs(home)
    desktop.env.update(HOME=home, PATH=f"{root}/bin:" + desktop.env["PATH"])
    del desktop.env["XDG_CONFIG_HOME"], desktop.env["XDG_DATA_HOME"]
    app = Program(desktop, dest + "/usr/bin")
    app.click(100, 47)  # into the input box
    desktop.xdo("type", "--delay", "20", "a@b.c")
    app.keys("alt+x")
    app.keys("alt+c")
    assert "&#" in wait_for("the converted text on the clipboard", desktop.clipboard)
    app.keys("alt+p")
    app.keys("alt+h")
    app.keys("g")  # 操作ガイド(&G)
    wait_for("the page and the guide to be opened", lambda: os.path.exists(record) and len(open(record).readlines()) == 2)
    app.quit()


def main():
    build, root = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-install-")
    dest, home, record = (os.path.join(root, name) for name in ("dest", "home", "opened.txt"))
    share = dest + "/usr/share"
    try:
        run("cmake", "--install", build, "--prefix", "/usr", env=dict(os.environ, DESTDIR=dest))
        run("desktop-file-validate", f"{share}/applications/{ID}.desktop")
        run("appstreamcli", "validate", "--no-net", f"{share}/metainfo/{ID}.metainfo.xml")
        installed = files_under(dest)
        desktop = Desktop(root)
        try:
            use_installed_program(desktop, root, dest, home, record)
        finally:
            desktop.close()
        opened = {urllib.parse.unquote(line.strip().removeprefix("file://")) for line in open(record)}
        assert opened == {f"{home}/.local/share/qorvane/Preview.htm", f"{share}/qorvane/操作ガイド.pdf"}, opened
        assert all(os.path.isfile(path) for path in opened), opened
        assert os.path.isfile(f"{home}/.config/qorvane/mirelt.ini"), files_under(home)
        assert files_under(dest) == installed, files_under(dest) - installed

        run("cpack", "--config", f"{build}/CPackConfig.cmake", "-B", f"{root}/package")
        deb, = glob.glob(f"{root}/package/qorvane_2.10_*.deb")
        packed = {line.split()[-1][2:] for line in run("dpkg-deb", "-c", deb).splitlines() if line[0] != "d"}
        assert packed == installed, packed ^ installed
        depends = run("dpkg-deb", "-f", deb, "Depends")
        assert all(f"{lib} (>=" in depends for lib in ("libc6", "libpng16-16", "libqt6widgets6")), depends
        print(f"{os.path.basename(deb)}: {os.path.getsize(deb)} bytes")
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
