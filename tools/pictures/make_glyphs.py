#!/usr/bin/env python3
"""Draws the button glyphs (24 x 24) and the browse button's glyph (16 x 16), 8 bpp with a palette.

A glyph's bottom-left pixel is its transparent colour, so every background pixel is exactly KEY and
no edge is blended into it: edges fade towards the skin's mean tone, and a pixel that is mostly
background becomes background. Outlines are pure black because a disabled button engraves exactly
the black pixels of its glyph; everything else is lit from the top left, like the logo.
Usage: make_glyphs.py [DIR]   (default: resources/glyphs)
"""
import os
import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches
from bmp import arc, arc_arrow, circle, coverage, mix, polygon, rounded_box, segment, write_bmp8

KEY = (255, 0, 255)  # never a colour of any drawing
SKIN = (214, 222, 232)  # the skin's mean tone
INK = (0, 0, 0)
OUTLINE = 1.3  # wide enough that straight edges keep a solid line of pure black pixels
OPAQUE = 0.3  # less covered than this, a pixel is background
INK_SHARE = 0.55  # a pixel that is mostly outline is all outline, so the engraving has no gaps

GREEN = ((168, 228, 120), (36, 138, 52))
RED = ((255, 146, 120), (196, 28, 28))
BLUE = ((142, 190, 246), (30, 78, 172))
ORANGE = ((255, 200, 100), (226, 94, 18))
YELLOW = ((255, 232, 140), (232, 168, 40))
WOOD = ((222, 160, 96), (134, 78, 36))
SLATE = ((112, 138, 190), (36, 52, 102))
METAL = ((236, 240, 244), (150, 160, 172))
PAPER = ((255, 255, 255), (218, 224, 232))
WHITE = (255, 255, 255)


class Pen:
    """The colour of one pixel, built up from back to front."""

    def __init__(self, x, y, size):
        self.x, self.y, self.size = x, y, size
        self.colour, self.alpha, self.ink = SKIN, 0.0, 0.0

    def paint(self, d, colour, outline=OUTLINE):
        """A shape at signed distance d inside a black outline; colour is a (light, dark) pair or one colour."""
        if len(colour) == 2:
            light, dark = colour
            colour = mix(light, dark, max(0.0, min(1.0, (self.x + self.y) / (2 * self.size))))
        fill = coverage(d + outline) if outline else 1.0
        cover = coverage(d)
        self.colour = mix(self.colour, mix(INK, colour, fill), cover)
        self.alpha += (1 - self.alpha) * cover
        self.ink += (1 - fill - self.ink) * cover

    def result(self):
        if self.alpha < OPAQUE:
            return KEY
        return INK if self.ink >= INK_SHARE else self.colour


def bar(x, y, ax, ay, bx, by, width):
    return segment(x, y, ax, ay, bx, by) - width / 2


UP_ARROW = [(12, 2), (22, 12), (16, 12), (16, 21), (8, 21), (8, 12), (2, 12)]


def plus(pen, x, y):
    pen.paint(min(rounded_box(x, y, 9, 3, 15, 21, 1), rounded_box(x, y, 3, 9, 21, 15, 1)), GREEN)


def minus(pen, x, y):
    pen.paint(rounded_box(x, y, 3, 9, 21, 15, 1), RED)


def up_arrow(pen, x, y):
    pen.paint(polygon(x, y, UP_ARROW) - 0.5, BLUE)


def down_arrow(pen, x, y):
    pen.paint(polygon(x, y, [(px, 24 - py) for px, py in UP_ARROW]) - 0.5, BLUE)


def circular_arrows(pen, x, y):
    pen.paint(min(arc_arrow(x, y, 12, 12, 6.8, 205, 315, 4.4), arc_arrow(x, y, 12, 12, 6.8, 25, 135, 4.4)), ORANGE)


def floppy(pen, x, y):
    body = max(rounded_box(x, y, 3, 3, 21, 21, 1.5), polygon(x, y, [(0, 0), (18, 0), (24, 6), (24, 24), (0, 24)]))
    pen.paint(body, SLATE)
    pen.paint(rounded_box(x, y, 7, 3, 16, 10, 0.5), METAL)
    pen.paint(rounded_box(x, y, 12, 4.5, 14, 8.5, 0.3), SLATE[1], outline=0)
    pen.paint(rounded_box(x, y, 6, 13, 18, 21, 0.5), PAPER)
    for line in (16, 18.5):
        pen.paint(bar(x, y, 8.5, line, 15.5, line, 1), (150, 170, 200), outline=0)


def door(pen, x, y):
    pen.paint(rounded_box(x, y, 4, 2, 20, 22, 0.5), METAL)
    pen.paint(rounded_box(x, y, 7, 5, 17, 22, 0), (52, 58, 72), outline=0)
    pen.paint(polygon(x, y, [(7, 5), (14, 7.5), (14, 23.5), (7, 22)]), WOOD)
    pen.paint(circle(x, y, 12.2, 14.5, 0.9), YELLOW[1], outline=0)


def lettered_disc(pen, x, y, letter):
    pen.paint(circle(x, y, 12, 12, 10.5), BLUE)
    pen.paint(letter, WHITE, outline=0)


def info(pen, x, y):
    lettered_disc(pen, x, y, min(circle(x, y, 12, 6.8, 1.8), rounded_box(x, y, 10.5, 10, 13.5, 18, 0.8)))


def question(pen, x, y):
    hook = arc(x, y, 12, 9, 3.6, 180, 90) - 1.4
    stem = bar(x, y, 12, 12.6, 12, 14, 2.8)
    lettered_disc(pen, x, y, min(hook, stem, circle(x, y, 12, 17.8, 1.7)))


def check(pen, x, y):
    pen.paint(min(bar(x, y, 4.5, 12.5, 9.5, 17.5, 5.2), bar(x, y, 9.5, 17.5, 19.5, 5.5, 5.2)), GREEN)


def cross(pen, x, y):
    pen.paint(min(bar(x, y, 6, 6, 18, 18, 5.2), bar(x, y, 18, 6, 6, 18, 5.2)), RED)


def folder(pen, x, y):
    back = polygon(x, y, [(1, 2), (6, 2), (7.5, 4), (15, 4), (15, 14), (1, 14)])
    pen.paint(back, YELLOW[1])
    pen.paint(polygon(x, y, [(3.5, 7), (15, 7), (13, 14), (1, 14)]), YELLOW)


# The about box's "Ok" has a file of its own; its name differs from "OK" by more than case, since
# Windows finds file names without regard to case.
GLYPHS = {"Add": (24, plus), "Remove": (24, minus), "MoveUp": (24, up_arrow), "MoveDown": (24, down_arrow),
          "Refresh": (24, circular_arrows), "Save": (24, floppy), "Close": (24, door), "About": (24, info),
          "Help": (24, question), "OK": (24, check), "Cancel": (24, cross), "AboutOk": (24, check),
          "Browse": (16, folder)}


def glyph_pixel(size, draw):
    def pixel(x, y):
        pen = Pen(x, y, size)
        draw(pen, x, y)
        return pen.result()

    return pixel


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "glyphs")
    os.makedirs(out_dir, exist_ok=True)
    for name, (size, draw) in GLYPHS.items():
        pixel = glyph_pixel(size, draw)
        if pixel(0.5, size - 0.5) != KEY:
            sys.exit(name + ": the bottom-left pixel must stay background")
        write_bmp8(os.path.join(out_dir, name + ".bmp"), size, size, pixel)
