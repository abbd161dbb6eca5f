// Joins the mail addresses that qorvane-site wrote for this site's pages back into links and text.
// It reads nothing but the page, sends nothing, stores nothing, and may run any number of times.
(function () {
    "use strict";
    var key = bytesOf("@KEY@");
    var linkMark = "#qm-";

    function bytesOf(base64) {
        var raw = atob(base64.replace(/-/g, "+").replace(/_/g, "/"));
        var bytes = new Uint8Array(raw.length);
        for (var i = 0; i < raw.length; i++)
            bytes[i] = raw.charCodeAt(i);
        return bytes;
    }

    // The first character says when to join: "l" on load, "i" when a person reaches the element.
    function decrypt(token) {
        var data = bytesOf(token);
        var plain = new Uint8Array(Math.max(data.length - 1, 0));
        for (var i = 1; i < data.length; i++)
            plain[i - 1] = data[i] ^ key[(data[0] + i) % key.length];
        return new TextDecoder("utf-8").decode(plain);
    }

    function tokenOf(element) {
        var href = element.getAttribute("href");
        if (href !== null && href.indexOf(linkMark) === 0)
            return href.slice(linkMark.length);
        return element.getAttribute("data-qm");
    }

    function joinText(span) {
        var token = span.getAttribute("data-qm");
        if (token === null || !span.parentNode)
            return;
        var text = decrypt(token).slice(1);
        span.removeAttribute("data-qm");
        if (span.getAttribute("tabindex") === null) {
            span.parentNode.replaceChild(document.createTextNode(text), span);
            return;
        }
        // It keeps the focus a person gave it; it now reads as what it is.
        span.textContent = text;
        span.removeAttribute("role");
        span.removeAttribute("aria-label");
    }

    function join(element) {
        var href = element.getAttribute("href");
        if (href !== null && href.indexOf(linkMark) === 0)
            element.setAttribute("href", decrypt(href.slice(linkMark.length)).slice(1));
        if (element.hasAttribute("data-qm"))
            return joinText(element);
        var spans = element.querySelectorAll("[data-qm]");
        for (var i = 0; i < spans.length; i++)
            joinText(spans[i]);
    }

    // Joined before the browser follows the link, so one click or Enter both reveals and goes.
    function waitFor(element) {
        if (element.qorvaneWaiting)
            return;
        element.qorvaneWaiting = true;
        var reveal = function () { join(element); };
        ["pointerenter", "mouseenter", "focus", "touchstart"].forEach(function (type) {
            element.addEventListener(type, reveal, { passive: true });
        });
        element.addEventListener("click", reveal, true);
    }

    function joinAll() {
        var elements = document.querySelectorAll("[data-qm], a[href^='" + linkMark + "']");
        for (var i = 0; i < elements.length; i++) {
            var element = elements[i];
            var token = tokenOf(element);
            if (token === null)
                continue;
            if (decrypt(token).charAt(0) !== "i")
                join(element);
            else
                waitFor(element.hasAttribute("data-qm") && element.closest("a") || element);
        }
    }

    // In XHTML served as XML the script runs as soon as it is read, before the body exists.
    if (document.readyState === "loading")
        document.addEventListener("DOMContentLoaded", joinAll);
    else
        joinAll();
})();
