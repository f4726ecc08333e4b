"""Writes 24-bit bottom-up BMP files and holds the few shape helpers the picture scripts share."""
import math
import struct


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b) floats for the pixel centre (x + 0.5, y + 0.5); y grows downwards."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x + 0.5, y + 0.5)
            row += bytes((channel(b), channel(g), channel(r)))
        rows.append(bytes(row) + b"\0" * (stride - len(row)))
    image = b"".join(rows)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(file_header + info_header + image)


def channel(value):
    return max(0, min(255, int(round(value))))


def mix(a, b, t):
    """Colour a blended towards colour b by t (0..1)."""
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def coverage(distance):
    """The share of a pixel inside a shape whose edge lies `distance` pixels away (negative: inside)."""
    return max(0.0, min(1.0, 0.5 - distance))


def smoothstep(e0, e1, v):
    t = max(0.0, min(1.0, (v - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


def rounded_box(x, y, left, top, right, bottom, radius):
    """Signed distance to a rectangle with rounded corners."""
    hw, hh = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    qx, qy = abs(x - (left + right) / 2) - hw, abs(y - (top + bottom) / 2) - hh
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius


def circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def write_bmp8(path, width, height, pixel):
    """Like write_bmp, but 8 bpp with a palette of the picture's own colours.

    A picture with more than 256 colours has its channels rounded to ever coarser steps until it fits;
    black, white and the pure primaries and their mixes (such as a magenta key colour) survive every step.
    """
    pixels = [[tuple(channel(c) for c in pixel(x + 0.5, y + 0.5)) for x in range(width)] for y in range(height)]
    step = 1
    while True:
        quantised = [[tuple(min(255, round(c / step) * step) for c in colour) for colour in row] for row in pixels]
        palette = sorted({colour for row in quantised for colour in row})
        if len(palette) <= 256:
            break
        step += 1
    index = {colour: i for i, colour in enumerate(palette)}
    stride = (width + 3) & ~3
    image = b"".join(bytes(index[colour] for colour in row) + b"\0" * (stride - width) for row in reversed(quantised))
    colour_table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(colour_table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(image), 2835, 2835, len(palette), 0)
    with open(path, "wb") as out:
        out.write(file_header + info_header + colour_table + image)


def segment(x, y, ax, ay, bx, by):
    """Distance to the line segment from a to b; subtract half a stroke width to get a rounded bar."""
    px, py, ex, ey = x - ax, y - ay, bx - ax, by - ay
    t = max(0.0, min(1.0, (px * ex + py * ey) / (ex * ex + ey * ey)))
    return math.hypot(px - ex * t, py - ey * t)


def polygon(x, y, points):
    """Signed distance to a simple polygon, convex or not, in either winding."""
    edges = list(zip(points, points[1:] + points[:1]))
    d = min(segment(x, y, x0, y0, x1, y1) for (x0, y0), (x1, y1) in edges)
    inside = False
    for (x0, y0), (x1, y1) in edges:
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            inside = not inside
    return -d if inside else d


def arc(x, y, cx, cy, radius, start, end):
    """Distance to an arc running clockwise on screen from start to end degrees."""
    angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
    if (angle - start) % 360 <= (end - start) % 360:
        return abs(math.hypot(x - cx, y - cy) - radius)
    ends = [(cx + radius * math.cos(math.radians(a)), cy + radius * math.sin(math.radians(a))) for a in (start, end)]
    return min(math.hypot(x - ex, y - ey) for ex, ey in ends)


def arc_arrow(x, y, cx, cy, radius, start, end, width):
    """Signed distance to a clockwise arc of the given stroke width that ends in an arrowhead."""
    a = math.radians(end)
    ux, uy = math.cos(a), math.sin(a)  # outwards from the centre
    tx, ty = -uy, ux  # clockwise tangent
    ex, ey = cx + radius * ux, cy + radius * uy
    half = width * 1.2
    head = [(ex + half * ux, ey + half * uy), (ex + width * 1.5 * tx, ey + width * 1.5 * ty),
            (ex - half * ux, ey - half * uy)]
    return min(arc(x, y, cx, cy, radius, start, end) - width / 2, polygon(x, y, head))
