#!/usr/bin/env python3
"""Loads written preview pages in headless Chromium, with scripts on and off, and
checks the title, every example link as the browser resolves it against new URL() of
the input, the links' texts, the tag illustration, the image, and the JSP pages' links."""
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
    let expected = null;
    try { expected = new URL(f.dataset.link).href; } catch (e) {}
    out.push({set: f.dataset.set, page: f.dataset.page, scripts: f.dataset.scripts === '1', title: d.title,
      expected, body: d.body ? d.body.innerText : '',
      links: [...d.querySelectorAll('a')].filter(a => !a.href.endsWith('.htm') && !a.href.endsWith('/JSP'))
                                         .map(a => ({href: a.href, text: a.textContent})),
      images: [...d.querySelectorAll('img')].map(i => ({ok: i.complete, width: i.naturalWidth}))});
  }
  document.getElementById('result').textContent = JSON.stringify(out);
}
for (const [set, page, scripts, link] of frames) {
  const f = document.createElement('iframe');
  Object.assign(f.dataset, {set, page, link, scripts: scripts ? '1' : '0'});
  if (!scripts) f.setAttribute('sandbox', 'allow-same-origin');
  f.onload = () => { if (++loaded === frames.length) setTimeout(collect, 200); };
  f.src = set + '/' + page;
  document.body.appendChild(f);
}
</script></body></html>"""
DELIMITERS = ":/?#[]!$&'()*+,;=%"
JSP_PAGES = ("JSP/preview_cd_jsp.htm", "JSP/preview_cd_jsp2.htm")


def normalise(url):
    """Undoes the escapes that leave a URL's meaning alone; an escaped delimiter stays and so differs."""
    url = re.sub(r"[\t\r\n]", "", url)
    url = re.sub(r"%([0-9A-Fa-f]{2})", lambda m: "\0" + m.group(1) if chr(int(m.group(1), 16)) in DELIMITERS
                 else m.group(0), url)
    return urllib.parse.unquote(url).replace("\0", "%")


def check_links(frame, link, text, failures, where):
    mail = text.startswith("mailto:") or "@" in text
    caption = "メールはこちら" if mail else "リンクはこちら"
    # The address links show the address: a mailto: input without its "mailto:" unless a line break sat right after it.
    shown = {caption} | ({text, text[7:]} if text.startswith("mailto:") else {text if mail else link})
    for a in frame["links"]:
        if frame["expected"] is None or normalise(a["href"]) != normalise(frame["expected"]):
            failures.append(f"{where}: link {a['href']!r} means {normalise(a['href'])!r}, not {frame['expected']!r}")
        if a["text"] not in shown:
            failures.append(f"{where}: link text {a['text']!r}, expected one of {sorted(shown)!r}")
    if frame["page"] == "Preview.htm" and f'<a href="{link}">{caption}</a>' not in frame["body"]:
        failures.append(f"{where}: the tag illustration does not show {link!r} as written")


def main():
    fixture, out = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-browser-")
    lines = subprocess.run([fixture, out], check=True, capture_output=True, text=True).stdout.splitlines()
    cases = {}
    for line in lines:
        folder, text, link, chars, percent = line.split("\t")
        cases[folder] = (text, link, int(chars), percent == "1")
    frames = [[folder, "Preview.htm", scripts, cases[folder][1]] for folder in cases for scripts in (True, False)]
    frames += [[folder, page, True, cases[folder][1]] for folder in cases if not cases[folder][3] for page in JSP_PAGES]
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
        where = f'{frame["set"]}/{frame["page"]} {text!r} scripts={"on" if frame["scripts"] else "off"}'
        checks += 1
        check_links(frame, link, text, failures, where)
        wanted = (2 if percent else 4) if frame["scripts"] else (1 if percent else 2)
        if len(frame["links"]) != (wanted if frame["page"] == "Preview.htm" else 1):
            failures.append(f"{where}: {len(frame['links'])} example links")
        if frame["page"] != "Preview.htm":
            continue
        if frame["title"] != "エンティティプレビュー":
            failures.append(f"{where}: title {frame['title']!r}")
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
