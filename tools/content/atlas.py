"""Shaded material atlases: the scene is shown unlit, so each mesh picture holds its materials at a
few brightness levels, one horizontal strip per (material, level); a triangle takes the strip of
its material at the brightness the sun gives its facing. Shared by the mesh and picture generators."""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from common import SUN, clamp, dot  # noqa: E402

SIZE = 512          # every atlas is SIZE pixels wide; tall atlases hold more materials
LEVELS = 4          # brightness levels per material
DARKEST, BRIGHTEST = 0.52, 1.0

STRIP_UNITS = 4.0   # world units of height a strip holds

# Atlas picture -> materials, top strip group first.
ATLASES = {
    "rocher.jpg": ["rock"],
    "maison.jpg": ["stone", "roof", "wood", "dark"],
    "moulin.jpg": ["plaster", "roof", "wood", "dark"],
    "pont.jpg": ["wood", "stone"],
    "ruines.jpg": ["stone", "moss"],
    "avion.jpg": ["red", "white", "dark"],
    "ballon.jpg": ["red", "yellow", "wicker"],
    "ailes.jpg": ["canvas", "wood"],
}


def atlas_height(atlas):
    return SIZE if len(ATLASES[atlas]) <= 2 else 2 * SIZE


def strip_height(atlas):
    return atlas_height(atlas) // (len(ATLASES[atlas]) * LEVELS)


def level_brightness(level):
    return DARKEST + (BRIGHTEST - DARKEST) * level / (LEVELS - 1)


def level_of(normal):
    """Brightness level of a face with this unit normal: ambient plus the sun's lambert term."""
    lam = clamp(dot(normal, SUN))
    sky = 0.5 + 0.5 * normal[1]
    b = clamp(0.35 + 0.55 * lam + 0.15 * sky)
    return int(round(clamp((b - 0.35) / 0.7) * (LEVELS - 1)))


def density(atlas):
    """Pixels per world unit of an atlas."""
    return strip_height(atlas) / STRIP_UNITS


def strip_rect(atlas, material, level):
    """Texture rectangle (s0, t0, s1, t1) of a strip, kept 2 pixels inside its edges so that
    linear filtering never reads the neighbouring strip. Row 0 of the picture is t = 1."""
    h, height = strip_height(atlas), atlas_height(atlas)
    index = ATLASES[atlas].index(material) * LEVELS + level
    top, bottom = index * h + 2, (index + 1) * h - 2
    return 2.0 / SIZE, 1.0 - bottom / height, 1.0 - 2.0 / SIZE, 1.0 - top / height


def face_uvs(atlas, material, level, coords):
    """Texture coordinates of a face (or quad) given its corners' planar coordinates in world
    units: placed from the strip's corner at the atlas density, shrunk only if it would not fit."""
    s0, t0, s1, t1 = strip_rect(atlas, material, level)
    d = density(atlas)
    umin = min(c[0] for c in coords)
    vmin = min(c[1] for c in coords)
    du = max(c[0] for c in coords) - umin
    dv = max(c[1] for c in coords) - vmin
    ks, kt = d / SIZE, d / atlas_height(atlas)
    fit = min(1.0, (s1 - s0) / max(du * ks, 1e-9), (t1 - t0) / max(dv * kt, 1e-9))
    return [(s0 + (c[0] - umin) * ks * fit, t0 + (c[1] - vmin) * kt * fit) for c in coords]


def planar(normal, points):
    """Planar coordinates (world units) of points on a face with the given normal: walls use the
    horizontal direction along the face and the height; near-horizontal faces use x and z."""
    if abs(normal[1]) > 0.75:
        return [(p[0], p[2]) for p in points]
    tx, tz = -normal[2], normal[0]
    n = math.hypot(tx, tz) or 1.0
    tx, tz = tx / n, tz / n
    return [(p[0] * tx + p[2] * tz, p[1]) for p in points]
