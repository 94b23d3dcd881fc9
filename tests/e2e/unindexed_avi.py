#!/usr/bin/env python3
"""Rewrites an AVI file as one whose index is lost: the idx1 chunk is dropped and COUNT empty
video chunks follow the first frame, so a player must walk every chunk of the file before it
can show that frame. Usage: unindexed_avi.py IN OUT COUNT"""
import struct
import sys


def chunks(data, start, end):
    """(fourcc, offset of the header, size of the body) of each chunk in data[start:end]."""
    at = start
    while at + 8 <= end:
        tag, size = struct.unpack_from("<4sI", data, at)
        yield tag, at, size
        at += 8 + size + (size & 1)


def main():
    src, dst, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    data = open(src, "rb").read()
    out = bytearray(data[:12])  # RIFF, size, AVI
    for tag, at, size in chunks(data, 12, len(data)):
        body = data[at + 8 : at + 8 + size]
        if tag == b"idx1":
            continue
        if tag == b"LIST" and body[:4] == b"movi":
            frames = [body[a : a + 8 + s + (s & 1)] for _, a, s in chunks(body, 4, len(body))]
            filler = struct.pack("<4sI2s", b"JUNK", 2, b"\0\0") * count
            body = b"movi" + frames[0] + filler + b"".join(frames[1:])
        out += struct.pack("<4sI", tag, len(body)) + body + b"\0" * (len(body) & 1)
    struct.pack_into("<I", out, 4, len(out) - 8)
    open(dst, "wb").write(out)


if __name__ == "__main__":
    main()
