#!/usr/bin/env python3
"""Writes test_skin.bmp: a 54 x 18 skin in the caption-bar layout where every
piece has its own flat colour, so a test can tell from one pixel which piece
of the skin the frame copied there. Run it from this folder."""
import struct

W, H = 54, 18
px = [[(0, 0, 0)] * W for _ in range(H)]


def fill(x0, y0, w, h, rgb):
    for y in range(y0, y0 + h):
        for x in range(x0, x0 + w):
            px[y][x] = rgb


fill(0, 0, 16, 16, (200, 0, 0))        # close button, normal
fill(16, 0, 16, 16, (0, 200, 0))       # mouse over
fill(32, 0, 16, 16, (0, 0, 200))       # pressed
fill(0, 16, 48, 2, (26, 8, 51))        # key colour
fill(48, 0, 4, 4, (250, 250, 0))       # top-left corner...
fill(52, 0, 1, 4, (0, 250, 250))       # ...whose last column is the top edge
fill(48, 4, 4, 1, (250, 0, 250))       # left edge
fill(48, 5, 5, 4, (100, 100, 0))       # bottom-left corner
fill(48, 9, 5, 4, (0, 100, 100))       # top-right corner
fill(49, 13, 4, 1, (100, 0, 100))      # right edge
fill(48, 14, 1, 4, (60, 60, 60))       # bottom edge = first column of...
fill(49, 14, 4, 4, (0, 0, 100))        # ...the bottom-right corner
fill(53, 0, 1, 18, (139, 159, 223))    # caption background

stride = (W * 3 + 3) & ~3
rows = b"".join(bytes(c for rgb in px[y] for c in reversed(rgb)).ljust(stride, b"\0")
                for y in reversed(range(H)))
header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
with open("test_skin.bmp", "wb") as f:
    f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(rows), 0, 0, 54) + header + rows)
