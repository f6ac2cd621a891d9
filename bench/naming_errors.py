#!/usr/bin/env python3
"""Rips every subpicture stream of the fixture discs with mirtal-rip from an
empty matrix and counts the character errors against the ground truth.

    python3 bench/naming_errors.py build/cli/mirtal-rip [OPTION...]

With VERBOSE set in the environment, every subtitle read wrong is shown.
The options go to every rip (default: --name-glyphs auto --space-width auto
--no-ask). One line per stream: subtitles, character errors (edit distance of
the text without italic marks, subtitle by subtitle, lines joined by spaces)
over the characters of the truth, lines whose italic marks differ from the
truth, and mirtal-rip's totals (questions, placeholders, named and asked
shapes).
"""
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DISCS = os.path.join(HERE, "..", "tests", "data", "discs")

# disc, stream file index, mirtal-rip stream options
STREAMS = [
    ("pal_en", 0, ["--stream", "1"]),
    ("pal_en_fr", 0, ["--stream", "1"]),
    ("pal_en_fr", 1, ["--stream", "2"]),
    ("ntsc", 0, ["--stream", "1"]),
    ("split", 0, ["--stream", "1"]),
    ("wide", 0, ["--stream", "1", "--view", "wide"]),
    ("wide", 1, ["--stream", "1", "--view", "letterbox"]),
    ("wide", 2, ["--stream", "2", "--view", "wide"]),
    ("wide", 3, ["--stream", "2", "--view", "letterbox"]),
    ("italic", 0, ["--stream", "1"]),
    ("italic", 1, ["--stream", "2"]),
]


def edit_distance(a, b):
    prev = list(range(len(b) + 1))
    for i, ca in enumerate(a, 1):
        cur = [i]
        for j, cb in enumerate(b, 1):
            cur.append(min(prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (ca != cb)))
        prev = cur
    return prev[-1]


def blocks(text):
    out, block = [], []
    for line in text.replace("\r", "").split("\n"):
        if line:
            block.append(line)
        elif block:
            out.append(block)
            block = []
    if block:
        out.append(block)
    return out


def unmarked(line):
    return line.replace("<i>", "").replace("</i>", "")


def disc_info(disc):
    info = {}
    with open(os.path.join(DISCS, disc, "disc.txt"), encoding="utf-8") as f:
        for line in f:
            if "=" in line:
                key, value = line.rstrip("\n").split("=", 1)
                info[key] = value
    return info


def main():
    rip = sys.argv[1]
    options = sys.argv[2:] or ["--name-glyphs", "auto", "--space-width", "auto", "--no-ask"]
    total_errors = 0
    for disc, k, stream in STREAMS:
        info = disc_info(disc)
        italic_font = "Oblique" in info.get(f"stream{k}_font", "")
        romans = {int(u) for u in info.get(f"stream{k}_roman_units", "").split(",") if u}
        with open(os.path.join(DISCS, disc, f"truth_s{k}.txt"), encoding="utf-8") as f:
            truth = blocks(f.read())
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "out.vtx")
            run = subprocess.run(
                [rip, "--action", "ocr", "--matrix", os.path.join(tmp, "m.qmx"), *options,
                 *stream, "-o", out, os.path.join(DISCS, disc, "VIDEO_TS", "VTS_01_0.IFO")],
                stdin=subprocess.DEVNULL, capture_output=True)
            err = run.stderr.decode("utf-8", "replace")
            data = open(out, "rb").read() if os.path.exists(out) else b""
        try:
            text = data.decode("utf-8")
        except UnicodeDecodeError:
            text = data.decode("cp1252")
        # entries: number, times, lines
        entries = [b[2:] for b in blocks(text) if len(b) >= 2 and "-->" in b[1]]
        errors = chars = marks = 0
        for i, want in enumerate(truth):
            got = entries[i] if i < len(entries) else []
            w = " ".join(want)
            d = edit_distance(" ".join(unmarked(g) for g in got), w)
            if d and os.environ.get("VERBOSE"):
                print(f"  {i + 1}: {' | '.join(got)!r} for {w!r}")
            errors += d
            chars += len(w)
            italic = italic_font and i not in romans
            for g in got:
                if (g.startswith("<i>") and g.endswith("</i>")) != italic or (
                        not italic and "<i>" in g):
                    marks += 1
        errors += sum(len(" ".join(e)) for e in entries[len(truth):])
        total_errors += errors
        totals = [l.split(": ", 1)[1] for l in err.splitlines()
                  if re.search(r"questions|named automatically|unknown glyph", l)]
        print(f"{disc} s{k}: {len(entries)}/{len(truth)} subtitles, {errors} errors in "
              f"{chars} characters ({100.0 * errors / max(chars, 1):.2f} %), {marks} italic "
              f"mark errors; exit {run.returncode}; " + "; ".join(totals))
    print(f"total character errors: {total_errors}")


if __name__ == "__main__":
    main()
