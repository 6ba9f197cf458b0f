#!/usr/bin/env python3
"""Writes the sample files the peer comparison opens, once: a 3-byte file,
100 MB in 2.4 M lines (UTF-8, some non-ASCII, some tabs, CR LF), the same
text ten times (1 GB, left out with --quick) and 100 MB on one line."""
import os
import random
import sys

folder = sys.argv[1]
quick = "--quick" in sys.argv[2:]
rng = random.Random(7)
words = ["alpha", "beta", "gamma", "delta", "über", "naïve", "€uro", "中文",
         "text", "line", "editor", "\t", "😀", "value", "size"]


def line():
    out = []
    while sum(len(w) for w in out) < 36:
        out.append(rng.choice(words))
    return " ".join(out)


def write(name, make):
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        with open(path + ".part", "wb") as f:
            make(f)
        os.replace(path + ".part", path)
    return path


pool = [line().encode("utf-8") + b"\r\n" for _ in range(4096)]
block = b"".join(rng.choice(pool) for _ in range(2_430_000))

write("tiny.txt", lambda f: f.write(b"abc"))
write("100mb.txt", lambda f: f.write(block))
if not quick:
    write("1gb.txt", lambda f: [f.write(block) for _ in range(10)])
write("oneline.txt", lambda f: f.write(block.replace(b"\r\n", b" ")))
