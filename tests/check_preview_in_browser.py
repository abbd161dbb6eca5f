#!/usr/bin/env python3
"""Loads written preview pages in headless Chromium, scripts on and off ("en": the English ones, as UTF-8): title, tag
illustration, image, and every example link (also the JSP pages') as new URL() of the input resolves it, and its text."""
import html, json, os, pathlib, re, subprocess, sys, tempfile, urllib.parse

HARNESS = """<html><body><pre id="result"></pre><script>
const frames = %s;
const url = text => { try { return new URL(text).href; } catch (e) { return null; } };
const collect = () => document.getElementById('result').textContent = JSON.stringify(frames.map((frame, i) => {
  const d = document.querySelectorAll('iframe')[i].contentDocument;
  return {expected: url(frame[3]), title: d.title, charset: d.characterSet, body: d.body ? d.body.innerText : '',
    links: [...d.querySelectorAll('a')].filter(a => !a.href.endsWith('.htm') && !a.href.endsWith('/JSP'))
                                       .map(a => ({href: a.href, text: a.textContent})),
    images: [...d.querySelectorAll('img')].map(i => ({ok: i.complete, width: i.naturalWidth}))};
}));
let loaded = 0;
for (const [set, page, scripts] of frames) {
  const f = document.createElement('iframe');
  if (!scripts) f.setAttribute('sandbox', 'allow-same-origin');
  f.onload = () => { if (++loaded === frames.length) setTimeout(collect, 200); };
  f.src = set + '/' + page;
  document.body.appendChild(f);
}
</script></body></html>"""
DELIMITERS = ":/?#[]!$&'()*+,;=%"
JSP_PAGES = ("JSP/preview_cd_jsp.htm", "JSP/preview_cd_jsp2.htm")
CAPTIONS, TITLE, CHARSET = (("Send us an email", "Visit the page"), "Preview of the hidden address", "UTF-8") \
    if sys.argv[2:] == ["en"] else (("メールはこちら", "リンクはこちら"), "エンティティプレビュー", None)


def normalise(url):  # the escapes that leave a URL's meaning alone undone; an escaped delimiter stays and so differs
    url = re.sub(r"%([0-9A-Fa-f]{2})", lambda m: "\0" + m.group(1) if chr(int(m.group(1), 16)) in DELIMITERS
                 else m.group(0), re.sub(r"[\t\r\n]", "", url))
    return urllib.parse.unquote(url).replace("\0", "%")


def has_scheme(text):  # in any letter case; "example.com:8080" is a host and a port
    found = re.match(r"[A-Za-z][A-Za-z0-9+.-]*:", text)
    return bool(found) and not re.match(r"\d+(?:[/?#]|$)", text[found.end():])


def is_mail(text):
    return text.lower().startswith("mailto:") or ("@" in text and not has_scheme(text))


def expected_link(text):
    return text if has_scheme(text) else ("mailto:" if "@" in text else "http://") + text


def check_frame(frame, page, scripts, text, chars, percent):  # every failure of one loaded page
    link, mail, preview = expected_link(text), is_mail(text), page == "Preview.htm"
    caption, links, images = CAPTIONS[not mail], frame["links"], frame["images"]
    # The address links show the address: a mailto: input without its "mailto:" unless a line break sat right after it.
    shown = {caption} | ({text, text[7:]} if text.lower().startswith("mailto:") else {text if mail else link})
    expected = frame["expected"] and normalise(frame["expected"])
    checks = [(expected is None or normalise(a["href"]) != expected,
               f"link {a['href']!r} means {normalise(a['href'])!r}, not {expected!r}") for a in links]
    checks += [(a["text"] not in shown, f"link text {a['text']!r}, expected one of {sorted(shown)!r}") for a in links]
    checks.append((len(links) != (((2 if percent else 4) if scripts else (1 if percent else 2)) if preview else 1),
                   f"{len(links)} example links"))
    if preview:
        checks += [(f'<a href="{link}">{caption}</a>' not in frame["body"], f"the tag illustration lacks {link!r}"),
                   (frame["title"] != TITLE, f"title {frame['title']!r}"),
                   (not scripts and len(images) != (2 if percent else 3), f"{len(images)} images without scripts")]
        checks += [(not i["ok"] or i["width"] != 8 * chars, f"image {i['width']} wide, expected {8 * chars}")
                   for i in images]
    checks.append((CHARSET not in (None, frame["charset"]), f"read as {frame['charset']}"))
    return [failure for failed, failure in checks if failed]


def main():
    fixture, out = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-browser-")
    lines = subprocess.run([fixture, out] + sys.argv[2:], check=True, capture_output=True, text=True).stdout.splitlines()
    cases = {c[0]: (c[1], int(c[2]), c[3] == "1") for c in (line.split("\t") for line in lines)}
    frames = [[f, "Preview.htm", scripts, expected_link(cases[f][0])] for f in cases for scripts in (True, False)]
    frames += [[f, page, True, expected_link(cases[f][0])] for f in cases if not cases[f][2] for page in JSP_PAGES]
    pathlib.Path(out, "harness.html").write_text(HARNESS % json.dumps(frames), encoding="utf-8")
    dom = subprocess.run(
        ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--disable-web-security", "--allow-file-access-from-files",
         f"--user-data-dir={out}/profile", "--virtual-time-budget=30000", "--dump-dom", f"file://{out}/harness.html"],
        capture_output=True, text=True, timeout=300).stdout
    found = re.search(r'<pre id="result">(.*?)</pre>', dom, re.S)
    results = json.loads(html.unescape(found.group(1))) if found and found.group(1) else []
    failed = 0
    for (folder, page, scripts, _), frame in zip(frames, results):
        failures = check_frame(frame, page, scripts, *cases[folder])
        failed += bool(failures)
        for failure in failures[:5]:
            print(f'{folder}/{page} {cases[folder][0]!r} scripts={"on" if scripts else "off"}: {failure}')
    print(f"{len(results) - failed} passed, {failed} failed, {len(frames) - len(results)} not loaded")
    return 1 if failed or len(results) != len(frames) else 0


if __name__ == "__main__":
    sys.exit(main())
