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
