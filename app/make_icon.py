#!/usr/bin/env python3
"""Draws the program's icon, a page with a folded corner and three lines of
text, and writes it as tessary.ico (16, 24, 32, 48 and 256 pixels, 32-bit with
alpha). Run it again after changing the drawing; the .ico is kept in the tree
so the build needs no Python."""
import math
import os
import struct

OUTLINE = (70, 80, 96)
PAGE = (255, 255, 255)
FOLD = (214, 222, 232)
TEXT = (46, 118, 214)
CARET = (24, 32, 44)

LEFT, TOP, RIGHT, BOTTOM = 0.17, 0.05, 0.83, 0.95
RADIUS = 0.07
FOLD_SIZE = 0.24


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_page(x, y, box, inset):
    left, top, right, bottom, fold = box
    if not in_rounded_rect(x, y, left + inset, top + inset, right - inset, bottom - inset,
                           max(RADIUS - inset, 0.0)):
        return False
    # Cut off by the fold's diagonal, moved inward by the inset.
    return (x - (right - fold)) - (y - top) <= -inset * math.sqrt(2) + 1e-9


def in_fold(x, y, box, inset):
    left, top, right, bottom, fold = box
    fx = right - fold
    return (x >= fx + inset and y <= top + fold - inset and
            (x - fx) - (y - top) <= -inset * math.sqrt(2))


def shapes(size):
    stroke = max(1.0, size / 32.0) / size
    # The page's edges sit on whole pixels so that small sizes stay sharp.
    snap = lambda v: round(v * size) / size
    box = (snap(LEFT), snap(TOP), snap(RIGHT), snap(BOTTOM), snap(FOLD_SIZE))
    bar = max(1.0, round(size * 0.07)) / size
    lines = [(0.31, 0.40, 0.69), (0.31, 0.56, 0.69), (0.31, 0.72, 0.55)]
    result = [
        (OUTLINE, lambda x, y: in_page(x, y, box, 0.0)),
        (PAGE, lambda x, y: in_page(x, y, box, stroke)),
        (OUTLINE, lambda x, y: in_fold(x, y, box, 0.0)),
        (FOLD, lambda x, y: in_fold(x, y, box, stroke)),
    ]
    for left, top, right in lines:
        result.append((TEXT, lambda x, y, l=snap(left), t=snap(top), r=snap(right):
                       l <= x <= r and t <= y <= t + bar))
    if size >= 32:
        caret_x = snap(0.59)
        result.append((CARET, lambda x, y: caret_x <= x <= caret_x + bar * 0.6 and
                       snap(0.68) <= y <= snap(0.72) + bar + 0.04))
    return result


def render(size, samples=6):
    drawing = shapes(size)
    pixels = []
    for row in range(size):
        for column in range(size):
            r = g = b = a = 0.0
            for sy in range(samples):
                for sx in range(samples):
                    x = (column + (sx + 0.5) / samples) / size
                    y = (row + (sy + 0.5) / samples) / size
                    color = None
                    for fill, inside in drawing:
                        if inside(x, y):
                            color = fill
                    if color:
                        r += color[0]
                        g += color[1]
                        b += color[2]
                        a += 1
            n = samples * samples
            if a:
                pixels.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                pixels.append((0, 0, 0, 0))
    return pixels


def bitmap(size, pixels):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for row in reversed(range(size)):  # bottom-up
        for column in range(size):
            r, g, b, a = pixels[row * size + column]
            rows.append(struct.pack('<BBBB', b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    return header + b''.join(rows) + bytes(mask_row * size)


def main():
    sizes = [16, 24, 32, 48, 256]
    images = [bitmap(s, render(s, 6 if s <= 48 else 2)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tessary.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
