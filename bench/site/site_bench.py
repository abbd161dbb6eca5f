#!/usr/bin/env python3
"""Throughput of qorvane-site against posthtml + posthtml-obfuscate 0.1.5 on the same
generated site, in the same run, and qorvane-site's peak memory as the site grows.

    python3 bench/site/site_bench.py build/qorvane-site [pages]

Needs `npm ci` in bench/site first. Every measurement starts from a fresh copy of the site."""
import os
import random
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WORDS = ("お問い合わせ 会社概要 製品 サービス 採用情報 ニュース 更新 営業時間 東京 大阪 "
         "lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor").split()


def page(number, rng, size=35_000):
    parts = ["<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">",
             f"<title>ページ {number}</title>\n<style>body {{ font-family: sans-serif; }} .x::after {{ content: 'a@b.c'; }}</style>\n",
             "<script>var track = 'js@example.com'; function f(a, b) { return a < b; }</script></head>\n<body>\n"]
    addresses = [f"info{number}@example.co.jp", f"sales.{number}@example.com"]
    while sum(len(p.encode()) for p in parts) < size:
        text = " ".join(rng.choice(WORDS) for _ in range(40))
        parts.append(f"<div class=\"section\" id=\"s{len(parts)}\"><h2>{rng.choice(WORDS)}</h2><p>{text}</p>\n"
                     f"<ul><li><a href=\"/p/{rng.randint(1, 999)}.html\">{rng.choice(WORDS)}</a></li>"
                     f"<li><img src=\"i.png\" alt=\"{rng.choice(WORDS)}\"></li></ul>\n<!-- {rng.choice(WORDS)} --></div>\n")
        if len(parts) % 12 == 0:
            address = rng.choice(addresses)
            parts.append(f"<p>連絡先: {address}、または <a href=\"mailto:{address}?subject=質問\">メール</a></p>\n")
    parts.append("</body></html>\n")
    return "".join(parts)


def make_site(folder, pages, seed=1, size=35_000):
    rng = random.Random(seed)
    os.makedirs(folder)
    for n in range(pages):
        sub = os.path.join(folder, f"section{n % 5}")
        os.makedirs(sub, exist_ok=True)
        with open(os.path.join(sub, f"page{n}.html"), "w", encoding="utf-8") as f:
            f.write(page(n, rng, size))


def site_bytes(folder):
    return sum(os.path.getsize(os.path.join(d, f)) for d, _, files in os.walk(folder) for f in files)


def timed(command, source, work):
    copy = os.path.join(work, "copy")
    shutil.rmtree(copy, ignore_errors=True)
    shutil.copytree(source, copy)
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(command + [copy], check=True, capture_output=True, text=True)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def peak_kib(site, source, work):
    copy = os.path.join(work, "copy")
    shutil.rmtree(copy, ignore_errors=True)
    shutil.copytree(source, copy)
    result = subprocess.run(["/usr/bin/time", "-f", "%M", site, "--quiet", "--forms=decimal,hex,percent", copy],
                            check=True, capture_output=True, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def compare(site, pages, parent):
    work = tempfile.mkdtemp(prefix="qorvane-site-bench-", dir=parent)
    source = os.path.join(work, "site")
    make_site(source, pages)
    total = site_bytes(source)
    ours = [site, "--quiet", "--forms=decimal,hex,percent", "--scope=random"]
    theirs = ["node", os.path.join(HERE, "run_posthtml.js")]
    runs = {"qorvane-site": [], "posthtml-obfuscate": []}
    for _ in range(5):  # interleaved, so both see the same machine load
        runs["qorvane-site"].append(timed(ours, source, work))
        runs["posthtml-obfuscate"].append(timed(theirs, source, work))
    print(f"site in {parent}: {pages} pages, {total / pages / 1000:.1f} KB each, {total / 1e6:.2f} MB")
    best = {}
    for name, measured in runs.items():
        wall = min(m[0] for m in measured)
        cpu = min(m[1] for m in measured)
        best[name] = (wall, cpu)
        print(f"  {name:20s} wall best {wall * 1000:5.0f} ms {total / wall / 1e6:6.2f} MB/s   "
              f"CPU best {cpu * 1000:5.0f} ms {total / cpu / 1e6:6.2f} MB per CPU-second")
    ours_best, theirs_best = best["qorvane-site"], best["posthtml-obfuscate"]
    print(f"  qorvane-site: {theirs_best[0] / ours_best[0]:.1f} times the throughput (wall), "
          f"{theirs_best[1] / ours_best[1]:.1f} times per CPU-second (whole process, start-up included)")
    shutil.rmtree(work)


def main():
    site = os.path.abspath(sys.argv[1])
    pages = int(sys.argv[2]) if len(sys.argv) > 2 else 120
    # In memory (tmpfs) the rewriting itself is measured; on disk qorvane-site also waits for
    # each page to reach the disk (its atomic write syncs), which the npm tool does not do.
    for parent in ("/dev/shm", tempfile.gettempdir()):
        compare(site, pages, parent)
    work = tempfile.mkdtemp(prefix="qorvane-site-bench-")

    for label, count, size in (("120 pages of 35 KB", 120, 35_000), ("480 pages of 35 KB", 480, 35_000),
                               ("1 page of 3.5 MB", 1, 3_500_000)):
        folder = os.path.join(work, label.replace(" ", "_"))
        make_site(folder, count, seed=2, size=size)
        print(f"peak memory, {label:20s} {peak_kib(site, folder, work) / 1024:6.1f} MiB")
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
