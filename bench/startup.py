#!/usr/bin/env python3
"""Start-up and footprint of Qorvane in a real X server (Xvfb): time from process
start to the main window shown, resident memory once shown (first start, and a
start with a 1,000-entry add.dat, starts with hostile mirelt.ini files), and the CPU time the clipboard watch costs
over 60 s of idling. Usage: bench/startup.py build/qorvane [idle seconds]"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                               "-noreset"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    number = b""
    while not number.endswith(b"\n"):
        number += os.read(read, 16)
    return server, ":" + number.decode().strip()


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        return int(next(line for line in f if line.startswith("VmRSS")).split()[1])


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def start(program, folder, env):
    began = time.monotonic()
    process = subprocess.Popen([os.path.join(folder, "qorvane")], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    # xdotool's own --sync polls twice a second; a tight loop of single searches resolves to a few ms.
    while subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Qorvane$"], env=env,
                         capture_output=True).returncode != 0:
        if time.monotonic() - began > 300:
            raise RuntimeError("no window within 300 s")
    return process, (time.monotonic() - began) * 1000


def hostile_ini(lines):
    """An [OPTION] section of lines without "=", the case that once made the reader quadratic."""
    return b"[OPTION]\r\n" + b"no equals sign here\r\n" * lines + b"RET=1\r\n"


def measure(program, entries, env, runs=7, ini=None):
    times, memory = [], []
    for _ in range(runs):
        folder = tempfile.mkdtemp(prefix="qorvane-start-")
        shutil.copy(program, folder)
        if entries:
            with open(os.path.join(folder, "add.dat"), "wb") as f:
                f.write(b"".join(b"user%d@example%d.jp\r\n" % (i, i % 37) for i in range(entries)))
        if ini:
            with open(os.path.join(folder, "mirelt.ini"), "wb") as f:
                f.write(ini)
        process, shown = start(program, folder, env)
        time.sleep(0.3)
        times.append(shown)
        memory.append(rss_kib(process.pid) / 1024)
        process.terminate()
        process.wait()
        shutil.rmtree(folder)
    return statistics.median(times), min(times), max(times), statistics.median(memory)


def main():
    program = sys.argv[1]
    idle = float(sys.argv[2]) if len(sys.argv) > 2 else 60
    server, display = xvfb()
    env = dict(os.environ, DISPLAY=display)
    env.pop("QT_QPA_PLATFORM", None)
    try:
        for label, entries, ini in (("first start", 0, None), ("1,000-entry add.dat", 1000, None),
                                    ("3 MB mirelt.ini", 0, hostile_ini(150_000)),
                                    ("1,000,000-line mirelt.ini", 0, hostile_ini(1_000_000))):
            median, low, high, mib = measure(program, entries, env, ini=ini)
            print(f"{label}: window shown after {median:.0f} ms (median of 7, {low:.0f}-{high:.0f}), "
                  f"resident {mib:.1f} MiB")
        folder = tempfile.mkdtemp(prefix="qorvane-idle-")
        shutil.copy(program, folder)
        process, _ = start(program, folder, env)
        time.sleep(1)
        before = cpu_seconds(process.pid)
        time.sleep(idle)
        used = cpu_seconds(process.pid) - before
        print(f"idle: {used:.2f} s CPU over {idle:.0f} s = {100 * used / idle:.2f} %")
        process.terminate()
        process.wait()
        shutil.rmtree(folder)
    finally:
        server.terminate()
        server.wait()


if __name__ == "__main__":
    main()
