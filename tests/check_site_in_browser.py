#!/usr/bin/env python3
"""Pages rewritten by qorvane-site with reference forms must give headless Chromium
exactly the same document as before: --dump-dom before and after is identical."""
import os, shutil, subprocess, sys, tempfile
from pathlib import Path

PAGES = {
    "plain.html": "<!DOCTYPE html><html><head><meta charset='utf-8'><title>連絡 info@example.com</title></head>"
                  "<body><p>お問い合わせ: info@example.com、(sales@example.co.jp). 末尾 end@example.org.</p>"
                  "<a href=\"mailto:Info@Example.com?subject=Hello%20World&amp;cc=x@example.com\">メール</a>"
                  "<a href='mailto:single@example.com'>s</a> <a href=mailto:unq@example.com>u</a>"
                  "<table>tbl@example.com<tr><td>td@example.com</td></tr></table>"
                  "<script>document.title += ' js@example.com';</script></body></html>\n",
    "sjis.htm": "<html><head><meta http-equiv='Content-Type' content='text/html; charset=Shift_JIS'></head>"
                "<body><p>連絡先：info@example.com、表示</p><a href='mailto:a@b.jp?subject=お問い合わせ'>メール</a>"
                "</body></html>\n",
    "bom.xhtml": "\ufeff<html xmlns='http://www.w3.org/1999/xhtml'><body><p>bom@example.com<br/>"
                 "<a href='mailto:x@example.com?a=1&amp;b=2'>last@example.com</a></p></body></html>",
    "attributes.html": "<!DOCTYPE html><html><head><meta charset='utf-8'><meta name=author content='au@example.com'>"
                       "<link rev=made href=\"docs@lists.example.org\"></head><body title=\"t t@example.com\">"
                       "<input value=in@example.com><img alt='alt@example.com' src=x.png>"
                       "<a href=\"https://user@example.com/\">h</a><svg><text aria-label=\"svg@example.com\"/></svg>"
                       "</body></html>\n",
}
# One page per family of encodings, each with characters of its own around the addresses.
ENCODED = {"euckr.html": ("euc-kr", "연락처"), "big5.html": ("big5", "聯絡"), "gb18030.html": ("gb18030", "联系\U00020000"),
           "cp1252.html": ("windows-1252", "café €"), "utf16.html": ("utf-16", "連絡 \U0001F600")}
CODECS = {"sjis.htm": "cp932"}
for name, (codec, words) in ENCODED.items():
    declared = "" if codec == "utf-16" else f"<meta charset='{codec}'>"
    PAGES[name] = (f"<html><head>{declared}<title>{words} t@example.com</title></head><body><p>{words}: "
                   f"info@example.com, {words}</p><a href='mailto:a@example.com?subject={words}' title='{words} "
                   f"x@example.com'>{words}</a></body></html>\n")
    CODECS[name] = codec
CHROMIUM = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync", "--dump-dom"]


def main():
    site, work, before = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-site-browser-"), {}
    for forms in ("", "decimal", "hex", "decimal,hex"):
        folder = f"{work}/forms-{forms}"
        os.makedirs(folder)
        for name, text in PAGES.items():
            Path(f"{folder}/{name}").write_bytes(text.encode(CODECS.get(name, "utf-8")))
        if forms:
            subprocess.run([site, "--quiet", "--forms=" + forms, "--scope=all", folder], check=True)
        for name in PAGES:
            rewritten = Path(f"{folder}/{name}").read_bytes().decode(CODECS.get(name, "utf-8"))
            assert not forms or "@" not in rewritten.replace("js@example.com", ""), (name, forms)
            dom = subprocess.run(CHROMIUM + [f"--user-data-dir={work}/profile", f"file://{folder}/{name}"],
                                 check=True, capture_output=True, timeout=120).stdout
            assert before.setdefault(name, dom) == dom, f"DOM differs for {name} with {forms}:\n{before[name]}\n{dom}"
    shutil.rmtree(work)
    print("DOM identical before and after for", len(PAGES), "pages, three form sets")


if __name__ == "__main__":
    main()
