#!/usr/bin/env python3
"""Loads written preview pages in headless Chromium, with scripts on and off, and
checks the title, every example link as the browser resolves it, and the image."""
import html
import json
import os
import re
import subprocess
import sys
import tempfile
import urllib.parse

HARNESS = """<html><body><pre id="result"></pre><script>
const frames = %s;
let loaded = 0;
function collect() {
  const out = [];
  for (const f of document.querySelectorAll('iframe')) {
    const d = f.contentDocument;
    out.push({set: f.dataset.set, scripts: f.dataset.scripts === '1', title: d.title,
      links: [...d.querySelectorAll('a')].filter(a => !a.href.endsWith('.htm') && !a.href.endsWith('/JSP'))
                                         .map(a => a.href),
      images: [...d.querySelectorAll('img')].map(i => ({ok: i.complete, width: i.naturalWidth}))});
  }
  document.getElementById('result').textContent = JSON.stringify(out);
}
for (const [set, scripts] of frames) {
  const f = document.createElement('iframe');
  f.dataset.set = set; f.dataset.scripts = scripts ? '1' : '0';
  if (!scripts) f.setAttribute('sandbox', 'allow-same-origin');
  f.onload = () => { if (++loaded === frames.length) setTimeout(collect, 200); };
  f.src = set + '/Preview.htm';
  document.body.appendChild(f);
}
</script></body></html>"""


def normalise(url):
    url = re.sub(r"[\t\r\n]", "", url)
    parts = urllib.parse.urlsplit(url)
    if parts.scheme == "http":
        path = parts.path or "/"
        url = urllib.parse.urlunsplit(("http", parts.netloc.lower(), path, parts.query, parts.fragment))
    return urllib.parse.unquote(url)


def main():
    fixture, out = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-browser-")
    lines = subprocess.run([fixture, out], check=True, capture_output=True, text=True).stdout.splitlines()
    cases = {}
    for line in lines:
        folder, text, link, chars, percent = line.split("\t")
        cases[folder] = (text, link, int(chars), percent == "1")
    frames = [[folder, scripts] for folder in cases for scripts in (True, False)]
    with open(os.path.join(out, "harness.html"), "w", encoding="utf-8") as f:
        f.write(HARNESS % json.dumps(frames))
    dom = subprocess.run(
        ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--disable-web-security", "--allow-file-access-from-files",
         "--user-data-dir=" + os.path.join(out, "profile"), "--virtual-time-budget=30000", "--dump-dom",
         "file://" + os.path.join(out, "harness.html")],
        capture_output=True, text=True, timeout=300).stdout
    found = re.search(r'<pre id="result">(.*?)</pre>', dom, re.S)
    if not found or not found.group(1):
        print("no result from the harness page")
        return 1
    failures, checks = [], 0
    for frame in json.loads(html.unescape(found.group(1))):
        text, link, chars, percent = cases[frame["set"]]
        where = f'{frame["set"]} {text!r} scripts={"on" if frame["scripts"] else "off"}'
        checks += 1
        if frame["title"] != "エンティティプレビュー":
            failures.append(f"{where}: title {frame['title']!r}")
        wanted = (2 if percent else 4) if frame["scripts"] else (1 if percent else 2)
        if len(frame["links"]) != wanted:
            failures.append(f"{where}: {len(frame['links'])} example links, expected {wanted}")
        for href in frame["links"]:
            if normalise(href) != normalise(link):
                failures.append(f"{where}: link {href!r} resolves to {normalise(href)!r}, not {normalise(link)!r}")
        images = frame["images"]
        if not frame["scripts"] and len(images) != (2 if percent else 3):
            failures.append(f"{where}: {len(images)} images without scripts")
        for image in images:
            if not image["ok"] or image["width"] != 8 * chars:
                failures.append(f"{where}: image not shown or {image['width']} wide, expected {8 * chars}")
    for failure in failures[:40]:
        print(failure)
    print(f"{checks - len({f.split(':')[0] for f in failures})} passed, {len({f.split(':')[0] for f in failures})} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
