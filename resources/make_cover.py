#!/usr/bin/env python3
"""Writes the startup window's picture, cover.png (480 x 300): a night-blue
sky over a desk of paper sheets drifting down. Pure Python (zlib, struct).
Run once; the PNG it writes is kept in the repository.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

W, H = 480, 300


def sheets():
    # (centre x, centre y, half width, half height, angle in degrees, shade)
    return [
        (318, 62, 30, 40, -18, 0.95),
        (392, 92, 26, 34, 14, 0.85),
        (440, 38, 20, 26, -30, 0.8),
        (262, 112, 22, 29, 10, 0.9),
        (350, 128, 20, 16, -6, 0.88),
    ]


def pixel(x, y):
    t = y / (H - 1)
    # Sky: deep blue at the top, teal towards the bottom.
    r = int(16 + 20 * t)
    g = int(34 + 70 * t)
    b = int(78 + 60 * t)
    # A soft glow at the upper right.
    d = math.hypot(x - 380, y - 40)
    glow = max(0.0, 1 - d / 260) ** 2
    r, g, b = (int(c + glow * 60) for c in (r, g, b))
    for cx, cy, hw, hh, angle, shade in sheets():
        a = math.radians(angle)
        dx, dy = x - cx, y - cy
        u = dx * math.cos(a) + dy * math.sin(a)
        v = -dx * math.sin(a) + dy * math.cos(a)
        if abs(u) <= hw and abs(v) <= hh:
            base = int(235 * shade)
            line = (abs(v) < hh - 8 and abs(u) < hw - 6 and int(v + hh) % 7 == 0)
            c = base - 60 if line else base
            r, g, b = c, c, min(255, c + 8)
    return min(r, 255), min(g, 255), min(b, 255)


def main():
    rows = []
    for y in range(H):
        row = bytearray([0])
        for x in range(W):
            row.extend(pixel(x, y))
        rows.append(bytes(row))
    raw = b"".join(rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("cover.png")
    out.write_bytes(png)


if __name__ == "__main__":
    main()
