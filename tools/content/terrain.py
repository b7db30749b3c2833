"""The demo valley: one height function shared by the ground mesh, the ground picture and the
placement of everything that stands on the ground (a river, three hills, a rim of hills)."""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from common import fbm2, smoothstep  # noqa: E402

EXTENT = 140.0       # the ground covers x and z in [-EXTENT, EXTENT]
WATER_HALF = 4.5     # half width of the river's water
BED = -1.6           # height of the river bed (the painted water)

HOUSE = (-14.0, -28.0)
MILL = (-50.0, -8.0)
RUINS = (55.0, -50.0)
BRIDGE_Z = 5.0

# (x, z, radius of the flat pad, blend width): level ground under the buildings.
PADS = [(HOUSE[0], HOUSE[1], 9.0, 8.0), (MILL[0], MILL[1], 5.0, 6.0), (RUINS[0], RUINS[1], 8.0, 6.0)]
HILLS = [(MILL[0], MILL[1], 7.0, 17.0), (RUINS[0], RUINS[1], 4.5, 15.0), (-75.0, -70.0, 6.0, 20.0)]


def water_half(z):
    """Half width of the water at z: the river rises from a spring in the northern hills."""
    return WATER_HALF * smoothstep(-122.0, -92.0, z)


def river_x(z):
    """x of the river's centre line at z (it flows along z through the whole valley)."""
    return 20.0 + 9.0 * math.sin(z / 38.0 + 0.5)


def _natural(x, z):
    h = (fbm2(x / 45.0 + 3.1, z / 45.0 - 1.7, 4, 21) - 0.5) * 5.0
    for hx, hz, top, spread in HILLS:
        h += top * math.exp(-((x - hx) ** 2 + (z - hz) ** 2) / (2.0 * spread * spread))
    r = math.hypot(x, z * 1.1)
    h += 18.0 * smoothstep(92.0, 150.0, r) + 4.0 * smoothstep(120.0, 200.0, r)
    return h


def height(x, z):
    """Ground height at (x, z)."""
    h = _natural(x, z)
    for px, pz, radius, blend in PADS:
        d = math.hypot(x - px, z - pz)
        if d < radius + blend:
            level = _natural(px, pz)
            h = level + (h - level) * smoothstep(radius, radius + blend, d)
    d = abs(x - river_x(z))
    half = water_half(z)
    carve = (1.0 - smoothstep(half - 0.5, half + 5.5, d)) * smoothstep(-128.0, -100.0, z)
    return h + (BED - h) * carve if h > BED else h


def normal(x, z, e=0.5):
    """Unit normal of the ground at (x, z)."""
    hx = (height(x + e, z) - height(x - e, z)) / (2 * e)
    hz = (height(x, z + e) - height(x, z - e)) / (2 * e)
    n = math.sqrt(hx * hx + 1.0 + hz * hz)
    return (-hx / n, 1.0 / n, -hz / n)
