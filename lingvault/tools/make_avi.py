#!/usr/bin/env python3
"""Draws the progress animation, a page flying from a stack of documents into an archive box, as
a looping AVI clip that the Windows animation control can play: one video stream, no sound,
8-bit palette frames compressed with RLE8, every frame a key frame. Standard library only.

Usage: make_avi.py OUTPUT.avi
"""

import math
import struct
import sys

WIDTH = 80
HEIGHT = 40
FRAMES = 10
MICROSECONDS_PER_FRAME = 100000  # ten frames a second: one loop a second

PALETTE = [
    (240, 240, 240),  # 0 background; the control makes it transparent (ACS_TRANSPARENT)
    (255, 255, 255),  # 1 paper
    (120, 120, 120),  # 2 paper edge
    (176, 176, 176),  # 3 lines of text
    (214, 164, 92),  # 4 box front
    (104, 64, 24),  # 5 box edge
    (128, 84, 36),  # 6 inside of the box
    (236, 196, 128),  # 7 box flaps
]
BACKGROUND, PAPER, PAPER_EDGE, TEXT, BOX, BOX_EDGE, BOX_INSIDE, FLAP = range(8)

BI_RLE8 = 1
AVIF_HASINDEX = 0x10
AVIIF_KEYFRAME = 0x10


class Canvas:
    def __init__(self):
        self.pixels = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]

    def fill_rect(self, x1, y1, x2, y2, colour):
        """Fills the pixels x1 <= x < x2, y1 <= y < y2 (clipped to the frame)."""
        for y in range(max(0, round(y1)), min(HEIGHT, round(y2))):
            for x in range(max(0, round(x1)), min(WIDTH, round(x2))):
                self.pixels[y][x] = colour

    def framed_rect(self, x1, y1, x2, y2, fill, edge):
        self.fill_rect(x1, y1, x2, y2, edge)
        self.fill_rect(x1 + 1, y1 + 1, x2 - 1, y2 - 1, fill)

    def polygon(self, points, colour):
        """Fills the pixels whose centres lie inside the polygon."""
        for y in range(HEIGHT):
            cy = y + 0.5
            for x in range(WIDTH):
                cx = x + 0.5
                inside = False
                for i in range(len(points)):
                    x1, y1 = points[i]
                    x2, y2 = points[(i + 1) % len(points)]
                    if (y1 > cy) != (y2 > cy) and cx < x1 + (cy - y1) * (x2 - x1) / (y2 - y1):
                        inside = not inside
                if inside:
                    self.pixels[y][x] = colour


def page(canvas, x, y, width, height):
    """A sheet of paper with a few lines of text; narrow sheets look turned on their side."""
    canvas.framed_rect(x, y, x + width, y + height, PAPER, PAPER_EDGE)
    if width >= 6:
        for line in range(3, height - 2, 2):
            canvas.fill_rect(x + 2, y + line, x + width - 2, y + line + 1, TEXT)


BOX_LEFT, BOX_RIGHT, BOX_TOP, BOX_BOTTOM = 47, 71, 22, 38


def box_back(canvas):
    """The open top of the box: its dark inside and the two flaps folded outwards."""
    canvas.polygon([(BOX_LEFT + 1, BOX_TOP), (BOX_LEFT - 7, BOX_TOP - 7),
                    (BOX_LEFT - 2, BOX_TOP - 9), (BOX_LEFT + 5, BOX_TOP)], BOX_EDGE)
    canvas.polygon([(BOX_LEFT + 2, BOX_TOP - 1), (BOX_LEFT - 5, BOX_TOP - 7),
                    (BOX_LEFT - 2, BOX_TOP - 8), (BOX_LEFT + 4, BOX_TOP - 1)], FLAP)
    canvas.polygon([(BOX_RIGHT - 1, BOX_TOP), (BOX_RIGHT + 7, BOX_TOP - 7),
                    (BOX_RIGHT + 2, BOX_TOP - 9), (BOX_RIGHT - 5, BOX_TOP)], BOX_EDGE)
    canvas.polygon([(BOX_RIGHT - 2, BOX_TOP - 1), (BOX_RIGHT + 5, BOX_TOP - 7),
                    (BOX_RIGHT + 2, BOX_TOP - 8), (BOX_RIGHT - 4, BOX_TOP - 1)], FLAP)
    canvas.framed_rect(BOX_LEFT + 1, BOX_TOP - 3, BOX_RIGHT - 1, BOX_TOP + 1, BOX_INSIDE, BOX_EDGE)


def box_front(canvas):
    canvas.framed_rect(BOX_LEFT, BOX_TOP, BOX_RIGHT, BOX_BOTTOM, BOX, BOX_EDGE)
    canvas.framed_rect(BOX_LEFT + 8, BOX_TOP + 5, BOX_RIGHT - 8, BOX_TOP + 9, PAPER, BOX_EDGE)


def frame(index):
    canvas = Canvas()
    # The stack the pages come from.
    for offset in (4, 2, 0):
        page(canvas, 6 + offset, 14 - offset, 14, 22)
    box_back(canvas)
    # The flying page lifts off the stack, follows an arc and sinks into the box, where the
    # front hides it in the last frame, so the loop starts again without a jump.
    t = index / (FRAMES - 1)
    x = 13 + (BOX_LEFT + 7 - 13) * t
    y = 12 + (BOX_TOP + 2 - 12) * t - 11 * math.sin(math.pi * t)
    width = max(3, round(10 * abs(math.cos(math.pi * t))))
    page(canvas, round(x + (10 - width) / 2), round(y), width, 13)
    box_front(canvas)
    return canvas.pixels


def rle8(pixels):
    """RLE8 key frame: encoded runs per row, bottom row first, end-of-line after every row but
    the last, which ends the bitmap instead."""
    out = bytearray()
    rows = list(reversed(pixels))
    for number, row in enumerate(rows):
        x = 0
        while x < WIDTH:
            run = 1
            while x + run < WIDTH and run < 255 and row[x + run] == row[x]:
                run += 1
            out += bytes((run, row[x]))
            x += run
        out += b"\x00\x01" if number == len(rows) - 1 else b"\x00\x00"
    return bytes(out)


def chunk(fourcc, data):
    padded = data + (b"\x00" if len(data) % 2 else b"")
    return fourcc + struct.pack("<I", len(data)) + padded


def riff_list(kind, fourcc, body):
    return kind + struct.pack("<I", len(body) + 4) + fourcc + body


def avi(frames):
    largest = max(len(f) for f in frames)
    main_header = struct.pack("<14I", MICROSECONDS_PER_FRAME, largest * 10, 0, AVIF_HASINDEX,
                              len(frames), 0, 1, largest, WIDTH, HEIGHT, 0, 0, 0, 0)
    stream_header = (b"vids" + b"mrle" +
                     struct.pack("<IHHIIIIIIiI", 0, 0, 0, 0, 1, 1000000 // MICROSECONDS_PER_FRAME,
                                 0, len(frames), largest, -1, 0) +
                     struct.pack("<4h", 0, 0, WIDTH, HEIGHT))
    image_size = WIDTH * HEIGHT
    bitmap_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, BI_RLE8, image_size, 0,
                                0, len(PALETTE), len(PALETTE))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    stream_list = riff_list(b"LIST", b"strl", chunk(b"strh", stream_header) +
                            chunk(b"strf", bitmap_header + palette))
    header_list = riff_list(b"LIST", b"hdrl", chunk(b"avih", main_header) + stream_list)

    movie = bytearray()
    index = bytearray()
    for data in frames:
        # Index offsets count from the "movi" type code of the movie list.
        index += b"00dc" + struct.pack("<III", AVIIF_KEYFRAME, 4 + len(movie), len(data))
        movie += chunk(b"00dc", data)
    movie_list = riff_list(b"LIST", b"movi", bytes(movie))
    return riff_list(b"RIFF", b"AVI ", header_list + movie_list + chunk(b"idx1", bytes(index)))


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_avi.py OUTPUT.avi\n")
        return 2
    frames = [rle8(frame(i)) for i in range(FRAMES)]
    with open(sys.argv[1], "wb") as f:
        f.write(avi(frames))
    return 0


if __name__ == "__main__":
    sys.exit(main())
