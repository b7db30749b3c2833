"""Sky box pictures: one continuous function of the view direction (gradient sky, sun, soft
clouds, two ranges of far mountains, hazy land below the horizon) sampled on each side of the box
through the side's own texture-coordinate layout, so neighbouring sides meet without a seam."""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from common import (SUN, TEXTURES, clamp, fbm2, mix3, noise2, smoothstep, to_byte,  # noqa: E402
                    write_jpg)

SIZE = 512

# For each picture: the point of the unit box (X, Y, Z in [0, 1], the box's low corner at 0) that
# texture coordinate (s, t) of its side shows, following the strips the player draws.
SIDES = {
    "back": lambda s, t: (s, t, 0.0),            # plane z = z0
    "front": lambda s, t: (1.0 - s, t, 1.0),     # plane z = z1
    "bottom": lambda s, t: (1.0 - s, 0.0, t),    # plane y = y0
    "top": lambda s, t: (1.0 - s, 1.0, 1.0 - t),  # plane y = y1
    "right": lambda s, t: (0.0, t, 1.0 - s),     # plane x = x0 (the "right" picture sits at low x)
    "left": lambda s, t: (1.0, t, s),            # plane x = x1
}

ZENITH = (0.16, 0.36, 0.72)
HORIZON = (0.70, 0.80, 0.90)
HAZE = (0.62, 0.70, 0.76)
FAR_RANGE = (0.44, 0.52, 0.64)
NEAR_RANGE = (0.30, 0.40, 0.36)
LAND = (0.30, 0.40, 0.26)


RIDGE_STEPS = 4096


def _ridge_table(seed, base, amp, k0, k1):
    """Heights (as the tangent of the elevation) of a mountain range over the azimuth, sampled
    RIDGE_STEPS times around the circle; a sum of whole-period sines, so it closes on itself."""
    terms = []
    for k in range(k0, k1):
        phase = noise2(k * 1.7, seed, seed) * 6.2831853
        weight = (noise2(k * 0.9, seed + 5, seed) + 0.4) / (k ** 0.9)
        terms.append((k, phase, weight))
    table = []
    for i in range(RIDGE_STEPS + 1):
        az = -math.pi + 2.0 * math.pi * i / RIDGE_STEPS
        h = sum(w * math.sin(k * az + ph) for k, ph, w in terms)
        # Sharpen the crests a little: mountains are peaked, valleys are broad.
        table.append(base + amp * (h + 0.25 * h * abs(h)))
    return table


FAR_TABLE = _ridge_table(3, 0.13, 0.07, 3, 48)
NEAR_TABLE = _ridge_table(8, 0.05, 0.03, 2, 30)


def _ridge(table, az):
    f = (az + math.pi) / (2.0 * math.pi) * RIDGE_STEPS
    i = min(int(f), RIDGE_STEPS - 1)
    return table[i] + (table[i + 1] - table[i]) * (f - i)


def _cloud(dx, dy, dz):
    """Cloud cover and shade of the direction (dy > 0): a cloud layer seen in perspective."""
    if dy <= 0.015:
        return 0.0, 0.0
    px, pz = dx / (dy + 0.12) * 2.2, dz / (dy + 0.12) * 2.2
    warp = fbm2(px * 0.7 + 11.0, pz * 0.7 - 3.0, 2, 41)
    n = fbm2(px + warp * 1.6, pz - warp * 1.2, 4, 7)
    cover = smoothstep(0.50, 0.72, n) * smoothstep(0.015, 0.16, dy)
    shade = smoothstep(0.5, 0.85, n)  # thick cores are greyer underneath
    return cover, shade


def sky(dx, dy, dz):
    """Colour (r, g, b) in [0, 1] of the sky in the unit direction (dx, dy, dz)."""
    horiz = math.sqrt(dx * dx + dz * dz)
    tan_e = dy / max(horiz, 1e-6)
    az = math.atan2(dz, dx)
    if dy >= 0.0:
        col = mix3(HORIZON, ZENITH, clamp(dy) ** 0.6)
    else:
        col = mix3(HAZE, LAND, smoothstep(0.0, 0.25, -tan_e))
        col = mix3(col, (0.22, 0.30, 0.20), smoothstep(0.3, 1.0, -dy))
    # Sun glow and disc.
    sd = dx * SUN[0] + dy * SUN[1] + dz * SUN[2]
    if sd > 0.0:
        glow = sd ** 12 * 0.28 + sd ** 300 * 0.6
        col = mix3(col, (1.0, 0.95, 0.80), clamp(glow))
        if sd > 0.9993:
            col = mix3(col, (1.0, 1.0, 0.94), smoothstep(0.9993, 0.99965, sd))
    # Clouds, lit on the sun's side.
    cover, shade = _cloud(dx, dy, dz)
    if cover > 0.0:
        lit = 0.5 + 0.5 * clamp(sd)
        cloud = mix3((0.95, 0.96, 0.98), (0.72, 0.75, 0.82), shade * (1.0 - 0.6 * lit))
        col = mix3(col, cloud, cover * 0.92)
    # Far range: bluish, with snow on the highest crests.
    far = _ridge(FAR_TABLE, az)
    aa = 0.0035
    cover = smoothstep(far + aa, far - aa, tan_e)
    if cover > 0.0:
        snow = smoothstep(0.19, 0.22, tan_e) * smoothstep(far - 0.05, far - 0.004, tan_e)
        face = 0.5 + 0.5 * math.sin(az * 9.0 + noise2(az * 3.0, 2.0, 9) * 4.0)
        rock = mix3(FAR_RANGE, (0.52, 0.58, 0.68), face * 0.6)
        rock = mix3(rock, (0.90, 0.92, 0.96), snow * 0.8)
        rock = mix3(rock, HAZE, smoothstep(0.12, 0.0, tan_e) * 0.6)
        col = mix3(col, rock, cover)
    # Near range: darker wooded hills.
    near = _ridge(NEAR_TABLE, az)
    cover = smoothstep(near + aa, near - aa, tan_e)
    if cover > 0.0:
        tex = noise2(az * 40.0, tan_e * 300.0, 4)
        hill = mix3(NEAR_RANGE, (0.24, 0.33, 0.27), tex * 0.5)
        hill = mix3(hill, HAZE, smoothstep(0.04, -0.03, tan_e) * 0.35)
        col = mix3(col, hill, cover)
    return col


def render_side(name, size=SIZE):
    """Pixels of one side, top row first (texture coordinate t = 1 is the top row)."""
    to_point = SIDES[name]
    rgb = bytearray(size * size * 3)
    k = 0
    for j in range(size):
        t = 1.0 - (j + 0.5) / size
        for i in range(size):
            s = (i + 0.5) / size
            x, y, z = to_point(s, t)
            dx, dy, dz = x - 0.5, y - 0.5, z - 0.5
            n = math.sqrt(dx * dx + dy * dy + dz * dz)
            r, g, b = sky(dx / n, dy / n, dz / n)
            rgb[k], rgb[k + 1], rgb[k + 2] = to_byte(r), to_byte(g), to_byte(b)
            k += 3
    return bytes(rgb)


def main(names=None):
    for name in names or SIDES:
        write_jpg(os.path.join(TEXTURES, name + ".jpg"), SIZE, SIZE, render_side(name), quality=88)
        print("make-content: textures/%s.jpg" % name)


if __name__ == "__main__":
    main(sys.argv[1:])
