#!/usr/bin/env python3
"""qorvane-site --method=script in headless Chromium (DevTools protocol, pages over HTTP): links and innerText as the
original's, no console error; scripts off: loaded images, no address in the DOM; --reveal=interaction: none until Tab."""
import functools, http.server, json, os, re, shutil, subprocess, sys, tempfile, threading, time, urllib.request
import websocket

PAGES = {
    "utf8.html": ("utf-8", "<!DOCTYPE html><html><head><meta charset='utf-8'><title>t</title></head><body><p>連絡: "
                  "info@example.com と <a href=\"mailto:Sales@Example.com?subject=Hello%20World&amp;cc=x@example.com\">"
                  "sales@example.com</a>. <a href='mailto:a@x.jp'>メール</a> ü@example.de</p></body></html>"),
    "sub/sjis.htm": ("cp932", "<html><head><meta charset='shift_jis'></head><body><p>連絡先：info@example.jp、"
                     "<a href='mailto:a@b.jp?subject=お問い合わせ'>a@b.jp</a></p></body></html>"),
    "csp.html": ("utf-8", "<!DOCTYPE html><html><head><meta http-equiv='Content-Security-Policy' content=\"script-src "
                 "'self'\"></head><body><p>c@example.com</p><a href='mailto:d@example.com'>d</a></body></html>"),
    "page.xhtml": ("utf-8", "<?xml version='1.0' encoding='UTF-8'?><html xmlns='http://www.w3.org/1999/xhtml'><head>"
                   "<title>x</title></head><body><p>x@example.com <a href='mailto:y@example.com?subject=a%26b'>"
                   "y@example.com</a></p></body></html>"),
}
STATE = ("JSON.stringify({links: [...document.querySelectorAll('a')].map(a => [a.href, a.textContent]), "
         "text: document.body.innerText, images: [...document.images].map(i => i.complete && i.naturalWidth > 0), "
         "spans: document.querySelectorAll('[data-qm]').length, html: document.documentElement.outerHTML, "
         "focusable: document.querySelectorAll('a[href], [tabindex]').length})")
ADDRESS = re.compile(r"[\w.+-]+@[\w-]+\.[\w.-]+")


class Browser:
    def __init__(self, work):
        self.process = subprocess.Popen(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                                         "--remote-debugging-port=0", f"--user-data-dir={work}/profile", "about:blank"],
                                        stderr=subprocess.DEVNULL)
        port_file = f"{work}/profile/DevToolsActivePort"
        while not os.path.exists(port_file) or not open(port_file).read().strip():
            time.sleep(0.1)
        page = next(t for t in json.load(urllib.request.urlopen(f"http://127.0.0.1:{open(port_file).read().split()[0]}/json/list")) if t["type"] == "page")
        self.socket, self.id, self.errors = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60), 0, []
        for domain in ("Runtime", "Log", "Page"):
            self.call(f"{domain}.enable")

    def call(self, method, **params):
        self.id += 1
        self.socket.send(json.dumps({"id": self.id, "method": method, "params": params}))
        return self.until(lambda m: m.get("id") == self.id).get("result", {})

    def until(self, done):
        while True:
            message = json.loads(self.socket.recv())
            if message.get("method") in ("Runtime.exceptionThrown", "Log.entryAdded", "Runtime.consoleAPICalled"):
                entry = message["params"].get("entry", message["params"])
                # The test's server has no icon for the tab; the pages ask for none.
                if (entry.get("level", entry.get("type")) == "error" or "exceptionDetails" in entry) \
                        and not entry.get("url", "").endswith("/favicon.ico"):
                    self.errors.append(json.dumps(entry)[:300])
            if done(message):
                return message

    def load(self, url, scripts=True):
        self.call("Emulation.setScriptExecutionDisabled", value=not scripts)
        self.call("Page.navigate", url=url)
        return self.until(lambda m: m.get("method") == "Page.loadEventFired") and self.state()

    def state(self):
        return json.loads(self.call("Runtime.evaluate", expression=STATE)["result"]["value"])

    def tab(self, times):
        for _ in range(times):
            for kind in ("rawKeyDown", "keyUp"):
                self.call("Input.dispatchKeyEvent", type=kind, key="Tab", code="Tab", windowsVirtualKeyCode=9)
        return self.state()


def main():
    site, work = sys.argv[1], tempfile.mkdtemp(prefix="qorvane-script-browser-")
    for folder in ("original", "load", "interaction"):
        for name, (codec, text) in PAGES.items():
            os.makedirs(os.path.dirname(f"{work}/{folder}/{name}"), exist_ok=True)
            open(f"{work}/{folder}/{name}", "wb").write(text.encode(codec))
    for folder, extra in (("load", []), ("interaction", ["--reveal=interaction"])):
        subprocess.run([site, "--quiet", "--method=script", "--forms=decimal", *extra, f"{work}/{folder}"], check=True)
    class Quiet(http.server.SimpleHTTPRequestHandler):
        log_message = lambda *args: None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=work))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}"
    browser, failures = Browser(work), []
    for name in PAGES:
        meant = browser.load(f"{url}/original/{name}")
        joined = browser.load(f"{url}/load/{name}")
        off = browser.load(f"{url}/load/{name}", scripts=False)
        waiting = browser.load(f"{url}/interaction/{name}")
        reached = browser.tab(waiting["focusable"])
        failures += [f"{name}: {what}" for what, failed in (
            ("scripts on: links or text differ", (joined["links"], joined["text"]) != (meant["links"], meant["text"])),
            ("scripts off: an image missing", not off["images"] or not all(off["images"]) or len(off["images"]) != off["spans"]),
            ("scripts off: an address in the DOM", ADDRESS.search(off["html"])),
            ("interaction: an address before anyone acted", ADDRESS.search(waiting["html"])),
            ("interaction: links or text differ after Tab", (reached["links"], reached["text"]) != (meant["links"], meant["text"])),
            ("console errors: " + "; ".join(browser.errors), browser.errors)) if failed]
        browser.errors.clear()
    browser.process.kill(), server.shutdown()
    print("\n".join(failures) or f"{len(PAGES)} pages join back as they were, show images without scripts, and wait for a person")
    shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
