#!/usr/bin/env python3
"""Draws the program icon: a 32 x 32 and a 16 x 16 image of 16 colours (4 bpp with an AND mask).

Like the logo, a framed landscape with an orange swap badge, drawn again for each size so that the
small one keeps only what still reads at 16 pixels. Sixteen colours cannot hold blended edges, so a
shape takes the whole pixels whose centres it covers, each in one colour of a palette made for this
picture; pixels that no shape covers are transparent.
Usage: make_icon.py [OUTPUT]   (default: resources/Tamberlyn.ico)
"""
import math
import os
import struct
import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches
from bmp import arc_arrow, circle, rounded_box

BLACK = (0, 0, 0)  # only behind the mask: a transparent pixel's colour bits must be black
RIM, FRAME_DARK, FRAME_LIGHT, MAT = (22, 40, 84), (32, 62, 122), (98, 146, 212), (236, 240, 246)
SKY, SKY_LOW, GLOW, SUN = (38, 86, 168), (124, 162, 222), (250, 196, 128), (255, 246, 214)
RIDGE, HILL, HILL_DARK = (120, 112, 170), (92, 168, 84), (40, 104, 60)
BADGE_RIM, BADGE, BADGE_LIGHT, WHITE = (140, 52, 8), (226, 94, 18), (255, 178, 64), (255, 255, 255)
PALETTE = [BLACK, RIM, FRAME_DARK, FRAME_LIGHT, MAT, SKY, SKY_LOW, GLOW, SUN, RIDGE, HILL, HILL_DARK, BADGE_RIM,
           BADGE, BADGE_LIGHT, WHITE]


class Pixel:
    """One pixel's colour, painted back to front; a shape takes the pixel when it covers its centre."""

    def __init__(self, x, y):
        self.x, self.y, self.colour = x, y, None

    def paint(self, d, colour):
        if d < 0:
            self.colour = colour


def landscape(p, top, bottom, sun, ridge, hill):
    """Sky, sun, a far ridge and a near hill between the rows top and bottom; sun is (x, y, radius)."""
    x, y, h = p.x, p.y, bottom - top
    p.colour = SKY if y < top + 0.4 * h else SKY_LOW if y < top + 0.7 * h else GLOW
    p.paint(circle(x, y, *sun), SUN)
    p.paint(ridge + 0.08 * h * math.sin(x * 5 / h) - y, RIDGE)
    crest = hill + 0.6 * math.sin(x * 5 / h)
    p.paint(crest - y, HILL)
    p.paint(crest + 0.2 * h - y, HILL_DARK)


def framed_picture(p, frame, border, radius, sun, ridge, hill):
    """A frame lit from the top left around a thin mat and the landscape."""
    left, top, right, bottom = frame
    outer = rounded_box(p.x, p.y, *frame, radius)
    p.paint(outer, RIM)
    lit = min(p.x - left, p.y - top) < min(right - p.x, bottom - p.y)
    p.paint(outer + 1, FRAME_LIGHT if lit else FRAME_DARK)
    inner = (left + border, top + border, right - border, bottom - border)
    p.paint(rounded_box(p.x, p.y, *inner, 1), MAT)
    picture = (inner[0] + 1, inner[1] + 1, inner[2] - 1, inner[3] - 1)
    if rounded_box(p.x, p.y, *picture, 0.5) < 0:
        landscape(p, picture[1], picture[3], sun, ridge, hill)


def badge(p, cx, cy, r):
    """An orange disc with a dark rim and a light crescent at its top left."""
    p.paint(circle(p.x, p.y, cx, cy, r), BADGE_RIM)
    p.paint(circle(p.x, p.y, cx, cy, r - 1), BADGE)
    p.paint(max(circle(p.x, p.y, cx, cy, r - 1.6), -circle(p.x, p.y, cx + 1.1, cy + 1.1, r - 1.6)), BADGE_LIGHT)


def large(p):
    framed_picture(p, (1, 2, 28, 24), 3, 3, (17.5, 9.5, 2.5), 12, 16)
    badge(p, 22.5, 22.5, 9)
    p.paint(min(arc_arrow(p.x, p.y, 22.5, 22.5, 4.8, 220, 320, 2), arc_arrow(p.x, p.y, 22.5, 22.5, 4.8, 40, 140, 2)),
            WHITE)


def small(p):
    framed_picture(p, (0, 1, 15, 13), 2, 1.5, (9, 5, 1), 7, 9)
    badge(p, 11, 11, 5)
    p.paint(arc_arrow(p.x, p.y, 11, 11, 2.5, 200, 90, 1.4), WHITE)


def icon_image(size, draw):
    """One image of the icon file: its header, palette, colour bits and mask, all rows bottom-up."""
    rows, mask_rows = [], []
    for y in reversed(range(size)):
        indexes, mask = [], 0
        for x in range(size):
            p = Pixel(x + 0.5, y + 0.5)
            draw(p)
            indexes.append(PALETTE.index(p.colour or BLACK))
            mask = mask << 1 | (0 if p.colour else 1)
        row = bytes(hi << 4 | lo for hi, lo in zip(indexes[0::2], indexes[1::2]))
        rows.append(row + b"\0" * (-len(row) % 4))
        mask_row = mask.to_bytes(size // 8, "big")
        mask_rows.append(mask_row + b"\0" * (-len(mask_row) % 4))
    bits = b"".join(rows) + b"".join(mask_rows)
    # An icon's header gives twice the height: the colour image and the mask, one above the other.
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(bits), 0, 0, 0, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    return header + palette + bits


def write_icon(path, images):
    """images: (size, data) pairs; the file is a directory of entries followed by the images."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset + len(blobs))
        blobs += data
    with open(path, "wb") as out:
        out.write(directory + entries + blobs)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "Tamberlyn.ico")
    write_icon(out, [(32, icon_image(32, large)), (16, icon_image(16, small))])
