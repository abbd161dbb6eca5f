#!/usr/bin/env python3
"""lupdate into a copy of each .ts file: fails on an unfinished, obsolete or vanished entry, or a source calling tr()
that is not among the translated ones. Usage: check_translations.py LUPDATE SOURCE_DIR TS_FILES(,-separated) SOURCE..."""
import pathlib, re, shutil, subprocess, sys, tempfile

lupdate, root, ts_files, sources = sys.argv[1], pathlib.Path(sys.argv[2]), sys.argv[3], sorted(sys.argv[4:])
failures = []
calls = re.compile(r"\btr\(|QT_TR_NOOP|QT_TRANSLATE_NOOP|QCoreApplication::translate")
for path in sorted(root.glob("*/**/*.cpp")):
    relative = str(path.relative_to(root))
    if not relative.startswith(("tests/", "build")) and calls.search(path.read_text()) and relative not in sources:
        failures.append(f"{relative} has texts to translate but is not among the translated sources")
with tempfile.TemporaryDirectory() as folder:
    for ts in (t for t in ts_files.split(",") if t):
        copy = pathlib.Path(folder) / pathlib.Path(ts).name
        shutil.copy(root / ts, copy)
        folders = sorted({f"-I{root / pathlib.Path(s).parent}" for s in sources} | {f"-I{root}/settings", f"-I{root}/site"})
        subprocess.run([lupdate, "-source-language", "ja", "-locations", "none", *folders, *[str(root / s) for s in sources],
                        "-ts", str(copy)], check=True, capture_output=True)
        text = copy.read_text()
        failures += [f"{ts}: {kind}: {source}" for kind in ("unfinished", "obsolete", "vanished") for source in
                     re.findall(r'<source>((?:(?!</source>).)*)</source>\s*<translation[^>]*type="' + kind, text, re.S)]
print("\n".join(failures) or "every text has its translation")
sys.exit(1 if failures else 0)
