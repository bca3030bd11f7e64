#!/usr/bin/env python3
"""Writes program/BITMAP/132-pattern.bmp: a 2 x 2, 32-bit BMP whose alpha
channel matters (top row red then green, bottom row blue then white, alphas
255, 128, 64, 0), to check that a bitmap resource decodes without its file
header and keeps its alpha."""
import os
import struct

# Bottom row first, B, G, R, A per pixel.
rows = [bytes([255, 0, 0, 64, 255, 255, 255, 0]), bytes([0, 0, 255, 255, 0, 255, 0, 128])]
pixels = b"".join(rows)
dib = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
header = b"BM" + struct.pack("<IHHI", 14 + len(dib) + len(pixels), 0, 0, 14 + len(dib))
out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "program", "BITMAP", "132-pattern.bmp")
with open(out, "wb") as f:
    f.write(header + dib + pixels)
