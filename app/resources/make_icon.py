#!/usr/bin/env python3
"""Draws the program icon: a rounded blue square with a white downward arrow over
a bar ("fetch the modules"), in every size Windows asks for at the common DPIs
(16, 20, 24, 32, 48 and 256 pixels), written as a .ico file: 32-bit images, the
256-pixel one as PNG, as Windows keeps its large icons. Usage: make_icon.py <out.ico>"""
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 48, 256)


def pixel(size, x, y):
    """BGRA of one pixel, sampled 4x4 for smooth edges."""
    samples = []
    for sy in range(4):
        for sx in range(4):
            u = (x + (sx + 0.5) / 4) / size
            v = (y + (sy + 0.5) / 4) / size
            samples.append(shade(u, v))
    b = sum(s[0] * s[3] for s in samples) / 16
    g = sum(s[1] * s[3] for s in samples) / 16
    r = sum(s[2] * s[3] for s in samples) / 16
    a = sum(s[3] for s in samples) / 16
    if a > 0:
        b, g, r = b / a, g / a, r / a
    return bytes((int(b), int(g), int(r), int(a * 255)))


def inside_rounded(u, v, margin=0.04, radius=0.2):
    lo, hi = margin, 1 - margin
    if not (lo <= u <= hi and lo <= v <= hi):
        return False
    cx = min(max(u, lo + radius), hi - radius)
    cy = min(max(v, lo + radius), hi - radius)
    return (u - cx) ** 2 + (v - cy) ** 2 <= radius ** 2


def shade(u, v):
    """(b, g, r, alpha 0..1) at the point (u, v) of the unit square."""
    if not inside_rounded(u, v):
        return (0, 0, 0, 0.0)
    white = (255, 255, 255, 1.0)
    shaft = 0.42 <= u <= 0.58 and 0.18 <= v <= 0.55
    head = v >= 0.5 and v <= 0.72 and abs(u - 0.5) <= (0.72 - v) * 1.2
    bar = 0.22 <= u <= 0.78 and 0.77 <= v <= 0.84
    if shaft or head or bar:
        return white
    # Blue, a little lighter towards the top.
    return (int(200 + 40 * (1 - v)), int(110 + 40 * (1 - v)), 30, 1.0)


def bgra_rows(size):
    return [b"".join(pixel(size, x, y) for x in range(size)) for y in range(size)]


def png(size):
    """The image as a PNG file: RGBA, top-down, no filter."""
    raw = b"".join(b"\0" + bytes(v for i in range(0, len(row), 4) for v in (row[i + 2], row[i + 1], row[i], row[i + 3]))
                   for row in bgra_rows(size))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def image(size):
    if size >= 256:
        return png(size)
    xor = b"".join(reversed(bgra_rows(size)))  # bottom-up
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main():
    images = [image(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(SIZES, images):
        # A width or height of 256 is written as 0.
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
