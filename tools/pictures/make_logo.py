#!/usr/bin/env python3
"""Draws the program logo (104 x 76, 24 bpp): a framed landscape with a round swap badge.

Every edge is anti-aliased from its signed distance, so the shapes stay crisp at this small size.
Usage: make_logo.py [OUTPUT]   (default: resources/Logo.bmp)
"""
import math
import os
import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches
from bmp import circle, coverage, mix, rounded_box, smoothstep, write_bmp

WIDTH, HEIGHT = 104, 76
BACKGROUND = (214, 222, 232)  # the skin's mean tone, so the corners blend into the splash
FRAME = (3, 3, 89, 66)
PICTURE = (10, 10, 82, 59)
BADGE = (83, 55, 18.5)


def ridge(x, points):
    """Height of a polyline ridge at x, and its slope."""
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        if x0 <= x <= x1:
            slope = (y1 - y0) / (x1 - x0)
            return y0 + slope * (x - x0), slope
    return points[-1][1], 0.0


def below(x, y, height, slope):
    """Signed distance to the area under a ridge line."""
    return (height - y) / math.sqrt(1 + slope * slope)


def convex(x, y, points):
    """Signed distance to a convex polygon given clockwise on screen."""
    d = -1e9
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        ex, ey = x1 - x0, y1 - y0
        length = math.hypot(ex, ey)
        d = max(d, ((x - x0) * ey - (y - y0) * ex) / length)
    return d


def arrow(x, y, cx, cy, radius, start, end, width):
    """Signed distance to a clockwise arc from start to end degrees that ends in an arrowhead."""
    angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
    if (angle - start) % 360 <= (end - start) % 360:
        arc = abs(math.hypot(x - cx, y - cy) - radius) - width / 2
    else:
        arc = min(math.hypot(x - cx - radius * math.cos(math.radians(a)), y - cy - radius * math.sin(math.radians(a)))
                  for a in (start, end)) - width / 2
    a = math.radians(end)
    ux, uy = math.cos(a), math.sin(a)  # outwards from the centre
    tx, ty = -uy, ux  # clockwise tangent on screen
    half = width * 1.35
    head = [(cx + (radius + half) * ux, cy + (radius + half) * uy),
            (cx + radius * ux + width * 1.5 * tx, cy + radius * uy + width * 1.5 * ty),
            (cx + (radius - half) * ux, cy + (radius - half) * uy)]
    return min(arc, convex(x, y, head))


def landscape(x, y):
    left, top, right, bottom = PICTURE
    t = (y - top) / (bottom - top)
    colour = mix((38, 86, 168), (250, 196, 128), smoothstep(0.0, 0.75, t))
    glow = max(0.0, 1 - math.hypot(x - 60, y - 31) / 26)
    colour = mix(colour, (255, 236, 190), glow * glow * 0.8)
    colour = mix(colour, (255, 248, 220), coverage(circle(x, y, 60, 31, 6.5)))
    far, slope = ridge(x, [(0, 44), (22, 27), (34, 36), (48, 24), (70, 40), (104, 34)])
    shade = smoothstep(far, far + 20, y)
    colour = mix(colour, mix((120, 112, 170), (84, 80, 134), shade), coverage(below(x, y, far, slope)))
    near = 47 + 4 * math.sin(x / 9.0) + 2 * math.sin(x / 4.3 + 1.0)
    near_slope = 4 / 9.0 * math.cos(x / 9.0) + 2 / 4.3 * math.cos(x / 4.3 + 1.0)
    green = mix((92, 168, 84), (40, 104, 60), smoothstep(near, bottom, y))
    return mix(colour, green, coverage(below(x, y, near, near_slope)))


def pixel(x, y):
    colour = BACKGROUND
    left, top, right, bottom = FRAME
    shadow = rounded_box(x, y, left + 2, top + 3, right + 2, bottom + 3, 7)
    colour = mix(colour, (120, 130, 150), 0.55 * (1 - smoothstep(-1.5, 3.0, shadow)))

    # A lacquered frame lit from the top left, a thin light mat, then the picture.
    frame = rounded_box(x, y, *FRAME, 6)
    light = smoothstep(-0.9, 0.9, ((x - left) / (right - left) + (y - top) / (bottom - top)) - 1)
    body = mix((98, 146, 212), (32, 62, 122), light)
    rim = coverage(-frame - 1.2)
    colour = mix(colour, mix((22, 40, 84), body, rim), coverage(frame))
    colour = mix(colour, (236, 240, 246), coverage(rounded_box(x, y, *PICTURE, 3) - 1.4))
    colour = mix(colour, landscape(x, y), coverage(rounded_box(x, y, *PICTURE, 2.5)))

    # The swap badge: an orange disc with a white rim and two chasing arrows.
    cx, cy, r = BADGE
    disc = circle(x, y, cx, cy, r)
    colour = mix(colour, (110, 120, 140), 0.45 * (1 - smoothstep(-1.0, 2.5, circle(x, y, cx + 1.2, cy + 1.8, r))))
    colour = mix(colour, (255, 255, 255), coverage(disc))
    highlight = max(0.0, 1 - math.hypot(x - cx + 6, y - cy + 7) / (r * 1.7))
    orange = mix((226, 94, 18), (255, 178, 64), highlight)
    colour = mix(colour, orange, coverage(disc + 2.2))
    arrows = min(arrow(x, y, cx, cy, 10.0, 200, 322, 3.4), arrow(x, y, cx, cy, 10.0, 20, 142, 3.4))
    colour = mix(colour, (255, 255, 255), coverage(arrows))
    return colour


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "Logo.bmp")
    write_bmp(out, WIDTH, HEIGHT, pixel)
