#!/usr/bin/env python3
"""Puts each deliberate fault of faults.tsv into the code in turn, runs the whole suite and lists the tests that fail.
Usage: tests/mutations/run.py [fault-name-prefix...]   (BUILD=folder, TIMEOUT=seconds per test, EXCLUDE=tests left out)
It edits the work tree and puts every file back, also when interrupted: run it where nobody else is building."""
import os, pathlib, signal, subprocess, sys

root = pathlib.Path(__file__).resolve().parents[2]
build = pathlib.Path(os.environ.get("BUILD", root / "build-mutations")).resolve()
signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))

def run(*command, **options):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT, **options).returncode == 0

def failing_tests(source, old, new):
    text = source.read_bytes()
    old, new = old.encode(), new.encode()
    if text.count(old) != 1:
        return "(fault does not apply)"
    try:
        source.write_bytes(text.replace(old, new))
        if not run("cmake", "--build", build, "-j2"):
            return "(does not build)"
        log = build / "Testing/Temporary/LastTestsFailed.log"
        log.unlink(missing_ok=True)
        run("ctest", "-j2", "--timeout", os.environ.get("TIMEOUT", "180"), *(["-E", os.environ["EXCLUDE"]] if os.environ.get("EXCLUDE") else []), cwd=build)
        return " ".join(line.split(":", 1)[1] for line in log.read_text().split()) if log.exists() else ""
    finally:
        source.write_bytes(text)

if not (build / "build.ninja").exists() and not run("cmake", "-S", root, "-B", build, "-G", "Ninja",
        "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"):
    sys.exit(2)
missed = 0
for row in (root / "tests/mutations/faults.tsv").read_text(encoding="utf-8").splitlines():
    name, file, old, new = row.split("\t")
    if sys.argv[1:] and not any(name.startswith(p) for p in sys.argv[1:]):
        continue
    failing = failing_tests(root / file, old, new) or "NOT CAUGHT"
    missed |= failing.startswith(("NOT", "(fault"))
    print(f"{name} | {failing}", flush=True)
run("cmake", "--build", build, "-j2")  # leave the build matching the unfaulted code
sys.exit(missed)
