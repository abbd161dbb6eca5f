#!/usr/bin/env bash
# How many pages of each kind the scanner hands over to the parser, and whether any of the rest gives other
# spans than the parser: the HTML pages under /usr/share that none of the packages below brought, the Apache
# HTTP Server manual (apache2-doc), the Bootstrap examples (libjs-bootstrap5-doc), and the pages Sphinx (ten
# themes) and javadoc write for a small project made here. Installs those packages when they are missing.
#
#     bash bench/site/handover_sets.sh [build/scanner_check]
set -euo pipefail
check="$(realpath "${1:-build/scanner_check}")"
packages=(python3-sphinx default-jdk-headless apache2-doc libjs-bootstrap5-doc)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/sphinx" "$work/java/org/example/mail"
printf '%s\n' "project = 'Mailer'" "extensions = ['sphinx.ext.todo']" > "$work/sphinx/conf.py"
printf '%s\n' 'Mailer' '======' '' 'Write to team@example.org or see :doc:`usage`.' '' '.. toctree::' '' \
    '   usage' > "$work/sphinx/index.rst"
printf '%s\n' 'Usage' '=====' '' 'Mail `the list <mailto:list@example.org>`_ or read https://example.org/docs.' '' \
    '.. code-block:: python' '' '   send("a@example.org")' '' '.. note:: Replies go to help@example.org.' '' \
    '.. py:function:: send(address)' '' '   Sends to *address*, such as ``x@example.org``.' '' \
    '.. todo:: document errors' > "$work/sphinx/usage.rst"
for theme in alabaster classic nature haiku scrolls agogo bizstyle pyramid sphinxdoc traditional; do
    sphinx-build -q -b html -D html_theme="$theme" "$work/sphinx" "$work/sphinx-html/$theme" 2>/dev/null
done
cat > "$work/java/org/example/mail/Mailer.java" <<'JAVA'
package org.example.mail;

/** Sends mail. Questions to <a href="mailto:team@example.org">team@example.org</a>. @author help@example.org */
public class Mailer {
    /** The default sender, {@code noreply@example.org}. */
    public static final String SENDER = "noreply@example.org";

    /** Sends one message. @param address where to, such as a@example.org @return whether it went */
    public boolean send(String address) { return address != null; }

    /** A kind of message. */
    public enum Kind { PLAIN, HTML }
}
JAVA
javadoc -quiet -author -d "$work/javadoc" -sourcepath "$work/java" org.example.mail >/dev/null 2>&1

count() {
    printf '%-10s ' "$1"
    xargs -0 -r "$check" | tail -n 1 || true # a page that differs is counted in the line
}
find /usr/share -name '*.html' -not -path '/usr/share/doc/apache2-doc/*' -not -path '/usr/share/doc/libjs-bootstrap5/*' \
    -not -path '/usr/share/sphinx/*' -print0 | count usr/share
find /usr/share/doc/apache2-doc/manual -type f -name '*.html*' -print0 | count apache
find /usr/share/doc/libjs-bootstrap5 -name '*.html' -print0 | count bootstrap
find "$work/sphinx-html" -name '*.html' -not -path '*/_static/*' -print0 | count sphinx
find "$work/javadoc" -name '*.html' -print0 | count javadoc
