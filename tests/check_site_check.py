#!/usr/bin/env python3
"""qorvane-site --check against a harvester of these tests' own at three levels (bytes; text and attributes as an HTML
parser and a URL parser read them; spellings undone), its exit status per --level, --json, usage errors, and the
"readable after the rewrite" line after a rewrite and a dry run."""
import collections, html.parser, json, re, shutil, subprocess, sys, tempfile, unicodedata, urllib.parse
from pathlib import Path

SITE = sys.argv[1]
PAGES = {
    "plain.html": ("<!DOCTYPE html>\n<html><head><meta charset='utf-8'><title>連絡 ti@example.jp</title>\n"
                   "<style>/* st@example.jp */</style></head>\n<body><p>お問い合わせ: tx@example.jp</p>\n"
                   "<a href='mailto:ln@example.jp?subject=Hi'>メール</a>\n<img alt='at@example.jp' src='x.png'>\n"
                   "<!-- cm@example.jp -->\n<script>var a = 'sc@example.jp';</script>\n</body></html>\n", "utf-8"),
    "refs.html": ("<p>d1&#64;example.jp</p>\n<a href='mailto:d2%40example.jp'>x</a>\n"
                  "<a href='mailto:d3&#64;exa&#10;mple.jp'>y</a>\n<span title='d4&#x40;example.jp'>z</span>\n", "utf-8"),
    "spelled.html": ("<p>s1 [at] example [dot] jp</p>\n<p>s2 at example dot com</p>\n<p>s3(at)example(dot)jp</p>\n"
                     "<p>s 4 @ e x a m p l e . j p</p>\n<p>ｓ５＠example．jp</p>\n"
                     "<p>We meet at noon and look at the site. Written in the dot com era, at home.</p>\n", "utf-8"),
    "sub/sjis.htm": ("<meta charset='shift_jis'>\n<p>連絡先：sj@example.jp と tj&#64;example.jp</p>\n", "shift_jis"),
    "handed-over.html": ("<template></template><p>ns@example.jp</p>\n<p>n2&#64;example.jp</p>\n", "utf-8"),
    "clean.html": ("<p>no address here; meet at noon.</p>\n", "utf-8"),
}
ADDRESS = re.compile(r"[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\.[A-Za-z0-9-]+)+")
failures = []


class Regions(html.parser.HTMLParser):
    """(where, text) of every text run, attribute value and comment, as a parser decodes them."""
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open, self.regions = [], []

    def handle_starttag(self, tag, attrs):
        self.open.append(tag)
        for name, value in attrs:
            link = name == "href"
            value = urllib.parse.unquote(re.sub(r"[\t\r\n]", "", value)) if link else value
            self.regions.append(("link" if link else "attribute", value or ""))

    def handle_endtag(self, tag):
        self.open = self.open[:-1] if self.open and self.open[-1] == tag else self.open

    def handle_data(self, data):
        top = self.open[-1] if self.open else ""
        self.regions.append((top if top in ("title", "script", "style") else "text", data))

    def handle_comment(self, data):
        self.regions.append(("comment", data))


def unspelled(text):
    text = unicodedata.normalize("NFKC", text)
    text = re.sub(r"\s*[\[(]\s*at\s*[\])]\s*", "@", text, flags=re.I)
    text = re.sub(r"\s*[\[(]\s*dot\s*[\])]\s*", ".", text, flags=re.I)
    text = re.sub(r"\b([\w.+-]+) at ([\w-]+) dot ([a-z]{2,})\b", r"\1@\2.\3", text)
    return re.sub(r"(?:\S )+@(?: \S)+", lambda m: m[0].replace(" ", ""), text)


def harvest(data, encoding):
    """Multiset of (where, level, address), each address at the lowest level that reads it."""
    raw = collections.Counter(ADDRESS.findall(data.decode(encoding)))
    parser = Regions()
    parser.feed(data.decode(encoding))
    found = collections.Counter()
    for where, text in parser.regions:
        decoded = collections.Counter(ADDRESS.findall(text))
        for address, n in decoded.items():
            taken = min(n, raw[address])
            raw[address] -= taken
            found[(where, "raw", address)] += taken
            found[(where, "decoded", address)] += n - taken
        for address, n in collections.Counter(ADDRESS.findall(unspelled(text))).items():
            found[(where, "spelled", address)] += max(0, n - decoded[address])
    return +found


def run(*args, stdin=None):
    return subprocess.run([SITE, *args], input=stdin, capture_output=True, timeout=60)


def check_json(folder):
    result = run("--check", "--json", "--level=spelled", str(folder))
    return result.returncode, json.loads(result.stdout)


def expect(name, got, wanted):
    if got != wanted:
        failures.append(f"{name}: got {got!r}, wanted {wanted!r}")


def counts_line(output):
    return re.search(rb"readable after the rewrite: raw (\d+), decoded (\d+), spelled (\d+)", output)


with tempfile.TemporaryDirectory() as temp:
    site = Path(temp) / "site"
    for name, (text, encoding) in PAGES.items():
        (site / name).parent.mkdir(parents=True, exist_ok=True)
        (site / name).write_bytes(text.encode(encoding))
    status, report = check_json(site)
    expect("exit status of a site with readable addresses", status, 1)
    pages = {page["page"]: page for page in report["pages"]}
    for name, (text, encoding) in PAGES.items():
        entries = pages[str(site / name)]["entries"]
        got = collections.Counter((e["where"], e["level"], e["address"]) for e in entries)
        expect(f"{name}: what the harvester reads", +got, harvest(text.encode(encoding), encoding))
    plain = {e["address"]: e["line"] for e in pages[str(site / "plain.html")]["entries"]}
    expect("lines", [plain[a + "@example.jp"] for a in ("ti", "st", "tx", "ln", "at", "cm", "sc")], [2, 3, 4, 5, 6, 7, 8])
    expect("totals", report["totals"], {"raw": 9, "decoded": 6, "spelled": 5})
    # Each level's exit status: a page read only at one level fails that level and the ones above it.
    for page, statuses in (("plain.html", (1, 1, 1)), ("refs.html", (0, 1, 1)), ("spelled.html", (0, 0, 1)),
                           ("clean.html", (0, 0, 0))):
        for level, wanted in zip(("raw", "decoded", "spelled"), statuses):
            expect(f"--level={level} on {page}", run("--check", "--quiet", f"--level={level}", str(site / page)).returncode, wanted)
    expect("default level is decoded", run("--check", str(site / "refs.html")).returncode, 1)
    expect("a page from standard input", run("--check", "--json", "-", stdin=PAGES["refs.html"][0].encode()).returncode, 1)
    expect("a text report names page, line, level, place", run("--check", str(site / "refs.html")).stdout.splitlines()[0],
           f"{site / 'refs.html'}:1: decoded text d1@example.jp".encode())
    missing = run("--check", str(site / "gone.html"))
    expect("a page that cannot be checked", (missing.returncode, b"no such file" in missing.stderr), (1, True))
    for args in (["--check", "--level=fuzzy", "x"], ["--json", "x"], ["--level=raw", "x"], ["--check", "-", "x"]):
        expect(f"usage error {args}", run(*args).returncode, 2)
    # The counts after a dry run are those --check finds after the real rewrite; references leave comment, script
    # and style as they were, and hide the rest from the bytes only.
    for extra in ([], ["--line-break"]):
        shutil.copytree(site, Path(temp) / "dry", dirs_exist_ok=True)
        shutil.copytree(site, Path(temp) / "real", dirs_exist_ok=True)
        dry = counts_line(run("--forms=decimal", "--scope=random", *extra, "--dry-run", str(Path(temp) / "dry")).stdout)
        real = counts_line(run("--forms=decimal", "--scope=random", *extra, str(Path(temp) / "real")).stdout)
        after = check_json(Path(temp) / "real")[1]["totals"]
        expect(f"counts after the rewrite {extra}", [int(n) for n in real.groups()], [after[k] for k in ("raw", "decoded", "spelled")])
        expect(f"counts after a dry run {extra}", dry.groups(), real.groups())
        expect(f"raw after the rewrite {extra}", after["raw"], 3)
        print(f"before {report['totals']}, after the rewrite {extra}: {after}")
        shutil.rmtree(Path(temp) / "dry"), shutil.rmtree(Path(temp) / "real")
    piped = run("--forms=decimal", "-", stdin=PAGES["plain.html"][0].encode())
    expect("counts after a piped rewrite", counts_line(piped.stderr).groups(), (b"3", b"4", b"0"))

print("\n".join(failures) or "the check reads what the harvester reads")
sys.exit(1 if failures else 0)
