#!/usr/bin/env python3
"""Writes a few sample wallpapers (320 x 240, 24-bit BMP) into a folder, for demonstration runs.

The names mix their case and their scripts on purpose: the program lists pictures sorted without regard
to case, and takes names in any script.
Usage: make_samples.py DIR
"""
import math
import os
import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches
from bmp import coverage, mix, smoothstep, write_bmp

WIDTH, HEIGHT = 320, 240


def sky(y, top, horizon, horizon_y):
    return mix(top, horizon, smoothstep(0, horizon_y, y))


def hills(x, base, amplitude, phase):
    return base + amplitude * (math.sin(x / 37.0 + phase) + 0.5 * math.sin(x / 13.0 + 2 * phase))


def star(x, y):
    cell = (int(x) * 7919 + int(y) * 104729) % 997
    return 1.0 if cell < 3 else 0.0


def aurora(x, y):
    colour = sky(y, (6, 10, 34), (20, 44, 80), HEIGHT)
    colour = mix(colour, (230, 236, 255), star(x, y) * 0.8)
    for shift, tint in ((0.0, (60, 240, 150)), (2.1, (90, 200, 230))):
        centre = 70 + 28 * math.sin(x / 45.0 + shift) + 10 * math.sin(x / 17.0 + 3 * shift)
        # Curtains: a sharp lower hem that fades slowly upwards, streaked along their length.
        spread = 38.0 if y < centre else 6.0
        band = math.exp(-((y - centre) / spread) ** 2) * (0.6 + 0.4 * math.sin(x / 2.5 + 5 * shift) ** 2)
        colour = mix(colour, tint, 0.75 * band)
    return mix(colour, (8, 14, 22), coverage(hills(x, 200, 8, 0.7) - y))


def beach(x, y):
    colour = sky(y, (70, 140, 220), (200, 230, 250), 120)
    colour = mix(colour, (255, 250, 220), coverage(math.hypot(x - 240, y - 60) - 18))
    sea = mix((30, 120, 170), (90, 190, 200), smoothstep(120, 175, y))
    sea = mix(sea, (235, 250, 255), 0.35 * smoothstep(0.92, 1.0, math.sin(x / 5.0 + y * 0.9)))
    colour = mix(colour, sea, coverage(120 - y))
    shore = 170 + 6 * math.sin(x / 29.0)
    sand = mix((240, 220, 170), (214, 184, 130), smoothstep(shore, HEIGHT, y))
    colour = mix(colour, (250, 252, 250), coverage(shore - 2 - y))
    return mix(colour, sand, coverage(shore - y))


def canyon(x, y):
    colour = sky(y, (110, 160, 220), (250, 210, 160), 90)
    gorge = max(0.0, 1 - abs(x - 160) / 90)
    rim = 60 + 120 * gorge ** 1.5 + 4 * math.sin(x / 7.0)
    far_wall = mix((196, 150, 150), (150, 96, 96), smoothstep(80, 200, y))
    colour = mix(colour, far_wall, coverage(110 + 10 * math.sin(x / 19.0) - y))
    strata = 0.5 + 0.5 * math.sin(y / 6.0 + 1.5 * math.sin(x / 50.0))
    rock = mix((176, 78, 40), (222, 140, 84), strata)
    rock = mix(rock, (120, 50, 30), smoothstep(60, 240, y) * 0.6)
    return mix(colour, rock, coverage(rim - y))


def dunes(x, y):
    colour = sky(y, (150, 190, 230), (252, 232, 200), 110)
    for base, phase, light, dark in ((110, 0.3, (236, 170, 100), (190, 110, 60)),
                                     (150, 2.0, (244, 184, 112), (200, 120, 66)),
                                     (195, 4.1, (250, 200, 128), (214, 136, 76))):
        crest = hills(x, base, 14, phase)
        slope = 14 / 37.0 * math.cos(x / 37.0 + phase)
        colour = mix(colour, mix(light, dark, smoothstep(-0.2, 0.3, slope)), coverage(crest - y))
    return colour


def glacier(x, y):
    colour = sky(y, (40, 80, 150), (190, 215, 240), 140)
    peak = min(185 - 125 * max(0.0, 1 - abs(x - 130) / 120), 185 - 95 * max(0.0, 1 - abs(x - 255) / 80))
    snow = mix((250, 252, 255), (150, 175, 205), smoothstep(peak, peak + 70, y))
    colour = mix(colour, snow, coverage(peak - y))
    ice = mix((120, 200, 230), (30, 90, 140), smoothstep(170, HEIGHT, y))
    return mix(colour, ice, coverage(hills(x, 175, 3, 1.3) - y))


SAMPLES = {"Aurora.bmp": aurora, "Παραλία.bmp": beach, "Canyon.bmp": canyon, "砂丘.bmp": dunes,
           "Ледник.bmp": glacier}

if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_samples.py DIR")
    os.makedirs(sys.argv[1], exist_ok=True)
    for name, draw in SAMPLES.items():
        write_bmp(os.path.join(sys.argv[1], name), WIDTH, HEIGHT, draw)
