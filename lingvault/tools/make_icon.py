#!/usr/bin/env python3
"""Draws the tool's icon, an archive box with a green arrow going into it, as a Windows .ico
file with a 16x16 and a 32x32 image (32-bit colour with alpha, plus the 1-bit mask that older
systems use). Standard library only.

Usage: make_icon.py OUTPUT.ico
"""

import struct
import sys

SUPERSAMPLE = 6  # samples per pixel along each axis, for smooth edges


def point_in_polygon(x, y, poly):
    inside = False
    count = len(poly)
    for i in range(count):
        x1, y1 = poly[i]
        x2, y2 = poly[(i + 1) % count]
        if (y1 > y) != (y2 > y):
            cross = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if x < cross:
                inside = not inside
    return inside


def distance_to_edges(x, y, poly):
    best = float("inf")
    count = len(poly)
    for i in range(count):
        x1, y1 = poly[i]
        x2, y2 = poly[(i + 1) % count]
        dx, dy = x2 - x1, y2 - y1
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length2))
        px, py = x1 + t * dx - x, y1 + t * dy - y
        best = min(best, (px * px + py * py) ** 0.5)
    return best


def mix(c1, c2, t):
    return tuple(round(a + (b - a) * t) for a, b in zip(c1, c2))


def rect(x1, y1, x2, y2):
    return [(x1, y1), (x2, y1), (x2, y2), (x1, y2)]


# Shapes in pixels of each image size, painted in order: polygon, top colour, bottom colour,
# outline colour. Colours run from top to bottom of the shape as a gentle gradient. The small
# image has its own drawing, aligned to whole pixels so that it stays crisp.
OUTLINE_BOX = (104, 64, 24)
OUTLINE_ARROW = (20, 92, 36)
BODY = ((222, 172, 98), (176, 120, 52), OUTLINE_BOX)
LID = ((240, 200, 130), (214, 160, 84), OUTLINE_BOX)
LABEL = ((252, 244, 226), (236, 222, 196), OUTLINE_BOX)
ARROW = ((92, 200, 96), (36, 150, 56), OUTLINE_ARROW)
SHAPES = {
    32: [
        (rect(4, 14, 28, 30),) + BODY,
        (rect(2.5, 10, 29.5, 16),) + LID,
        (rect(11, 19, 21, 24),) + LABEL,
        ([(12.5, 0.5), (19.5, 0.5), (19.5, 7.5), (25, 7.5), (16, 16.5), (7, 7.5), (12.5, 7.5)],)
        + ARROW,
    ],
    16: [
        (rect(2, 7, 14, 15),) + BODY,
        (rect(1, 5, 15, 8),) + LID,
        (rect(5, 10, 11, 13),) + LABEL,
        ([(6, 0), (10, 0), (10, 4), (13, 4), (8, 9), (3, 4), (6, 4)],) + ARROW,
    ],
}


def render(size):
    """Returns rows (top first) of (r, g, b, a) pixels."""
    shapes = SHAPES[size]
    outline = 1.0  # outline width in pixels
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = px + (sx + 0.5) / SUPERSAMPLE
                    y = py + (sy + 0.5) / SUPERSAMPLE
                    colour = None
                    for poly, top, bottom, edge in shapes:
                        if not point_in_polygon(x, y, poly):
                            continue
                        if distance_to_edges(x, y, poly) < outline:
                            colour = edge
                        else:
                            ys = [p[1] for p in poly]
                            t = (y - min(ys)) / max(1e-6, max(ys) - min(ys))
                            colour = mix(top, bottom, t)
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                alpha = round(255 * covered / (SUPERSAMPLE * SUPERSAMPLE))
                row.append(tuple(round(c / covered) for c in acc) + (alpha,))
        pixels.append(row)
    return pixels


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, 32-bit colour rows, 1-bit AND mask rows (bottom up)."""
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:  # transparent where the colour image is mostly transparent
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def icon_file(sizes):
    images = [icon_image(s) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_icon.py OUTPUT.ico\n")
        return 2
    with open(sys.argv[1], "wb") as f:
        f.write(icon_file([32, 16]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
