#!/usr/bin/env python3
"""Draws the window skin (196 x 196, 24 bpp): a calm blue-grey marble that tiles without seams.

Every ingredient repeats every 196 pixels in both axes: the noise lattices wrap around, the vein
waves use whole numbers of periods, and the fine grain is per pixel of the tile itself.
Usage: make_skin.py [OUTPUT]   (default: resources/Skin.bmp)
"""
import math
import os
import random
import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches
from bmp import mix, write_bmp

SIZE = 196
rng = random.Random(1196)


class PeriodicNoise:
    """Value noise on a cells x cells lattice stretched over the tile, wrapping at its edges."""

    def __init__(self, cells):
        self.cells = cells
        self.values = [[rng.random() for _ in range(cells)] for _ in range(cells)]

    def __call__(self, x, y):
        u, v = x * self.cells / SIZE, y * self.cells / SIZE
        i, j = math.floor(u), math.floor(v)
        fu, fv = fade(u - i), fade(v - j)
        at = lambda di, dj: self.values[(j + dj) % self.cells][(i + di) % self.cells]
        top = at(0, 0) + (at(1, 0) - at(0, 0)) * fu
        bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * fu
        return top + (bottom - top) * fv


def fade(t):
    return t * t * t * (t * (t * 6 - 15) + 10)


OCTAVES = [(PeriodicNoise(cells), weight) for cells, weight in ((4, 1.0), (7, 0.5), (14, 0.25), (28, 0.13), (49, 0.07))]
TOTAL = sum(weight for _, weight in OCTAVES)
GRAIN = [[rng.gauss(0, 1) for _ in range(SIZE)] for _ in range(SIZE)]

BASE = (222, 228, 237)
CLOUD = (206, 214, 227)
VEIN = (178, 190, 208)


def turbulence(x, y):
    return sum(noise(x, y) * weight for noise, weight in OCTAVES) / TOTAL


def pixel(x, y):
    t = turbulence(x, y)
    # Diagonal veins: two and one whole periods across the tile, bent by the turbulence.
    wave = math.sin(2 * math.pi * (2 * x + y) / SIZE + 7.0 * t)
    vein = (1 - abs(wave)) ** 6
    colour = mix(BASE, CLOUD, max(0.0, min(1.0, 1.6 * (t - 0.3))))
    colour = mix(colour, VEIN, 0.65 * vein)
    grain = 2.2 * GRAIN[int(y)][int(x)]
    return tuple(c + grain for c in colour)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "Skin.bmp")
    write_bmp(out, SIZE, SIZE, pixel)
