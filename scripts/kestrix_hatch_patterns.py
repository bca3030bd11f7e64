#!/usr/bin/env python3
"""Writes the two hatch pattern bitmaps of the Cross-Hatch effect.

Each is a 256 x 256 32-bit BMP holding four hatch layers, one per channel,
0 where a stroke is and 255 elsewhere: red the layer that appears first as a
pixel darkens from white, then green, blue, and alpha for the darkest band.
Run from the repository root.
"""
import math
import struct

SIZE = 256


def crosshatch(x, y):
    return ((x + y) % 8 == 0, (x - y) % 8 == 0, y % 4 == 0, x % 4 == 2)


def halftone(x, y):
    dx, dy = x % 8 - 3.5, y % 8 - 3.5
    d = math.hypot(dx, dy)
    ex, ey = (x + 4) % 8 - 3.5, (y + 4) % 8 - 3.5
    return (d < 1.6, d < 2.6, d < 3.4, math.hypot(ex, ey) < 2.0)


def write(path, layers):
    rows = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up
        for x in range(SIZE):
            r, g, b, a = (0 if s else 255 for s in layers(x, y))
            rows += bytes((b, g, r, a))
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 32, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(rows), 0, 0, 14 + len(header)))
        f.write(header)
        f.write(rows)


write('kestrix/resources/BITMAP/132-crosshatch.bmp', crosshatch)
write('kestrix/resources/BITMAP/133-halftone.bmp', halftone)
