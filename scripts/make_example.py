#!/usr/bin/env python3
"""Writes a settings file from a list of body lines: CRC-16/ARC line in front, CR LF line ends.

Usage: make_example.py BODY.txt OUT.cfg   (BODY.txt: one line per body line, LF line ends)
Used to produce the bundled examples, which are written by hand in their body form.
"""
import sys


def crc16_arc(data: bytes, crc: int = 0) -> int:
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="ascii") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    body = b"".join(line.encode("ascii") + b"\r\n" for line in lines)
    crc = crc16_arc(b"\n\r\n" + body)
    with open(sys.argv[2], "wb") as f:
        f.write(b"%04x\r\n\r\n" % crc + body)
    return 0


if __name__ == "__main__":
    sys.exit(main())
