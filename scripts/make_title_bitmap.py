#!/usr/bin/env python3
"""Writes the title picture (bitmap 113): a 320 x 240 height map of the
product's name in raised letters over a gentle ripple, with a palette that
turns light levels 0..255 into a warm brightness ramp.

Usage: make_title_bitmap.py <output.bmp>
"""
import math
import struct
import sys

WIDTH, HEIGHT = 320, 240

# 5 x 7 letters, one string per row, '#' raised.
GLYPHS = {
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
}


def stamp(mask, text, cell, top):
    advance = 6 * cell
    left = (WIDTH - (len(text) * advance - cell)) // 2
    for n, letter in enumerate(text):
        for row, bits in enumerate(GLYPHS[letter]):
            for col, bit in enumerate(bits):
                if bit != "#":
                    continue
                for y in range(top + row * cell, top + (row + 1) * cell):
                    for x in range(left + n * advance + col * cell, left + n * advance + (col + 1) * cell):
                        mask[y][x] = 1.0


def blur(field, radius):
    """Box blur, horizontal then vertical: soft bevels on the letters' edges."""
    def one_way(rows):
        out = []
        for row in rows:
            line = []
            for x in range(len(row)):
                lo, hi = max(0, x - radius), min(len(row), x + radius + 1)
                line.append(sum(row[lo:hi]) / (hi - lo))
            out.append(line)
        return out
    horizontal = one_way(field)
    columns = one_way([list(c) for c in zip(*horizontal)])
    return [list(r) for r in zip(*columns)]


def main():
    mask = [[0.0] * WIDTH for _ in range(HEIGHT)]
    stamp(mask, "LORVANE", 7, 50)
    stamp(mask, "GPU", 6, 140)
    letters = blur(mask, 4)
    heights = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            ripple = 24 + 18 * math.sin(x / 11.0) * math.sin(y / 13.0)
            row.append(max(0, min(255, int(ripple + 150 * letters[y][x]))))
        heights.append(row)

    palette = b"".join(bytes((int(i * 0.55), int(i * 0.85), i, 0)) for i in range(256))  # B, G, R, 0
    pixels = b"".join(bytes(heights[y]) for y in reversed(range(HEIGHT)))  # bottom row first
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(sys.argv[1], "wb") as f:
        f.write(header + info + palette + pixels)


if __name__ == "__main__":
    main()
