#!/usr/bin/env python3
"""Pages rewritten by qorvane-site with reference forms give headless Chromium the same --dump-dom as before; with the
percent form and --links every link's a.href still means the same (escapes of unreserved characters read as themselves)."""
import html, os, re, shutil, subprocess, sys, tempfile
from pathlib import Path

HREFS = ("<pre id='hrefs'></pre><script>document.getElementById('hrefs').textContent = "
         "[...document.links].map(a => a.href).join('\\n');</script>")
LINKS = ["mailto:a@x.jp?subject=Hello%20World", "mailto:a@x.jp?subject=a%26b&amp;body=1%2B1%3D2",
         "http://example.com:8080/a%20b", "http://user@example.com/", "https://example.com/?product=Apache%20httpd-2",
         "mailto:info@example.jp?subject=%E3%81%8A%E5%95%8F", "https://medium.com/@writer?q=a@b",
         "http://例え.jp/パス?q=日本語#frag", "http://127.0.0.1:8080/x", "Http://Example.COM/a", "ftp://example.com/f",
         "https://example.com/a\\b", "Mailto:a@x.jp,b@y.jp?cc=c@z.jp&amp;subject=%e3%81%8a",
         "HTTPS://user:pw@example.com/?email=a@b.jp", "http://[::1]:8080/x", "https://%65xample.com/%7Euser/"]

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
    "links.html": "<!DOCTYPE html><meta charset='utf-8'><body>" + "".join(f'<a href="{u}">{i}</a> ' for i, u in
                                                                         enumerate(LINKS)) + HREFS,
    # A query a browser sends in the page's encoding: no UTF-8 escape may stand in it.
    "sjis-links.htm": "<meta charset='shift_jis'><body><a href='http://example.jp/search?q=日本語&amp;x=検索'>q</a>"
                      "<a href='mailto:a@b.jp?subject=お問い合わせ'>m</a>" + HREFS,
    "attributes.html": "<!DOCTYPE html><html><head><meta charset='utf-8'><meta name=author content='au@example.com'>"
                       "<link rev=made href=\"docs@lists.example.org\"></head><body title=\"t t@example.com\">"
                       "<input value=in@example.com><img alt='alt@example.com' src=x.png>"
                       "<a href=\"https://user@example.com/\">h</a><svg><text aria-label=\"svg@example.com\"/></svg>"
                       "</body></html>\n",
    "svg.html": "<!DOCTYPE html><meta charset='utf-8'><p>p@example.com<svg viewBox='0 0 9 9'><title>ti@example.com"
                "</title><text>st@example.com<tspan>ts@example.com</tspan></text><a xlink:href='mailto:sa@example.com'>"
                "<path d='M0 0h1'/></a></svg><math><mi>mi@example.com</mi></math>\n",
}
PERCENT_RUNS = [(forms, scope) for forms in ("percent", "decimal,percent", "decimal,hex,percent")
                for scope in ("all", "random")]
# One page per family of encodings, each with characters of its own around the addresses.
ENCODED = {"euckr.html": ("euc-kr", "연락처"), "big5.html": ("big5", "聯絡"), "gb18030.html": ("gb18030", "联系\U00020000"),
           "cp1252.html": ("windows-1252", "café €"), "utf16.html": ("utf-16", "連絡 \U0001F600")}
CODECS = {"sjis.htm": "cp932", "sjis-links.htm": "cp932"} | {name: codec for name, (codec, _) in ENCODED.items()}
for name, (codec, words) in ENCODED.items():
    declared = "" if codec == "utf-16" else f"<meta charset='{codec}'>"
    PAGES[name] = (f"<html><head>{declared}<title>{words} t@example.com</title></head><body><p>{words}: "
                   f"info@example.com, {words}</p><a href='mailto:a@example.com?subject={words}' title='{words} "
                   f"x@example.com'>{words}</a></body></html>\n")
CHROMIUM = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync", "--dump-dom"]


def write_pages(folder, names):
    os.makedirs(folder)
    for name in names:
        Path(f"{folder}/{name}").write_bytes(PAGES[name].encode(CODECS.get(name, "utf-8")))


def load(work, path):
    return subprocess.run(CHROMIUM + [f"--user-data-dir={work}/profile", f"file://{path}"],
                          check=True, capture_output=True, timeout=120).stdout.decode()


def meanings(dom):
    """Each link's a.href, escapes of unreserved characters (and a mail address's "@") read as themselves."""
    def meaning(href):
        def unescape(m):
            c = chr(int(m.group(1), 16))
            keep = c.isalnum() or c in "-._~" or (c == "@" and href.startswith("mailto:"))
            return c if c.isascii() and keep else "%" + m.group(1).upper()
        return re.sub(r"%([0-9A-Fa-f]{2})", unescape, href)
    return [meaning(h) for h in html.unescape(re.search(r'<pre id="hrefs">(.*?)</pre>', dom, re.S).group(1)).split("\n")]


def main():
    site, work, before = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-site-browser-"), {}
    for forms in ("", "decimal", "hex", "decimal,hex"):
        folder = f"{work}/forms-{forms}"
        write_pages(folder, PAGES)
        if forms:
            subprocess.run([site, "--quiet", "--forms=" + forms, "--scope=all", folder], check=True)
        for name in PAGES:
            rewritten = Path(f"{folder}/{name}").read_bytes().decode(CODECS.get(name, "utf-8"))
            assert not forms or "links" in name or "@" not in rewritten.replace("js@example.com", ""), (name, forms)
            dom = load(work, f"{folder}/{name}")
            assert before.setdefault(name, dom) == dom, f"DOM differs for {name} with {forms}:\n{before[name]}\n{dom}"
    links = [name for name in PAGES if "links" in name]
    for forms, scope in PERCENT_RUNS:
        folder = f"{work}/links-{forms}-{scope}"
        write_pages(folder, links)
        run = subprocess.run([site, "--quiet", "--links", "--forms=" + forms, "--scope=" + scope, folder])
        # Only an IPv6 literal, whose host takes no escape, is beyond the percent form alone.
        assert run.returncode == (1 if forms == "percent" else 0), (forms, scope, run.returncode)
        for name in links:
            got, meant = meanings(load(work, f"{folder}/{name}")), meanings(before[name])
            assert got == meant, f"{name} with {forms}, {scope}:\n" + "\n".join(
                f"{m}  ->  {g}" for m, g in zip(meant, got) if m != g)
    shutil.rmtree(work)
    print("DOM identical before and after for", len(PAGES), "pages, three form sets;", len(LINKS) + 2,
          "links lead where they led under", len(PERCENT_RUNS), "percent option sets")


if __name__ == "__main__":
    main()
