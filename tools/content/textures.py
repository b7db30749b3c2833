"""Mesh pictures of the demo: the ground (the valley's painting, lit by the sun), the shaded
material atlases of the buildings and objects, the two trees (Targa with alpha) and the soft
particle sprite. Pure Python pixels, written as JPEG (through ImageMagick) or Targa."""

import math
import os
import sys
from multiprocessing import Pool

sys.path.insert(0, os.path.dirname(__file__))
import atlas as A  # noqa: E402
import terrain as T  # noqa: E402
from common import (SUN, TEXTURES, clamp, fbm2, mix3, noise2, smoothstep, to_byte, write_jpg,  # noqa: E402
                    write_tga)

# ---------------------------------------------------------------------------------------------
# Ground
# ---------------------------------------------------------------------------------------------

GROUND_SIZE = 1024
GRID = 256  # heights are sampled on a GRID x GRID lattice and interpolated per pixel


def _segment_distance(px, pz, a, b):
    ax, az = a
    bx, bz = b
    dx, dz = bx - ax, bz - az
    t = clamp(((px - ax) * dx + (pz - az) * dz) / (dx * dx + dz * dz))
    return math.hypot(px - ax - t * dx, pz - az - t * dz)


def _paths():
    """Footpaths as polylines: cottage - bridge - ruins, and a branch up to the windmill."""
    xc = T.river_x(T.BRIDGE_Z)
    west, east = (xc - 11.5, T.BRIDGE_Z), (xc + 11.5, T.BRIDGE_Z)
    hx, hz = T.HOUSE
    mx, mz = T.MILL
    rx, rz = T.RUINS
    fork = (-8.0, -6.0)
    return [[west, (4.0, 0.0), fork, (hx + 0.5, hz + 5.5)],
            [fork, (-28.0, -2.0), (mx + 0.5, mz + 5.0)],
            [east, (40.0, -8.0), (50.0, -26.0), (rx - 2.0, rz + 7.0)],
            [west, (8.0, 30.0), (0.0, 70.0), (-6.0, 140.0)]]


def _ground_rows(rows):
    e, n = T.EXTENT, GROUND_SIZE
    step = 2 * e / GRID
    heights = [[T.height(-e + i * step, -e + j * step) for i in range(GRID + 1)] for j in range(GRID + 1)]
    paths = _paths()
    out = bytearray()
    # Tree shadows fall away from the sun, on the ground.
    from scene import TREES
    shadows = [(x - SUN[0] / SUN[1] * h * 0.45, z - SUN[2] / SUN[1] * h * 0.45, h * 0.32) for _, x, z, h in TREES]
    hx, hz = T.HOUSE
    shadows.append((hx - 3.0, hz - 3.0, 7.5))
    for j in rows:
        z = -e + (j + 0.5) / n * 2 * e
        gj = min((z + e) / step, GRID - 1e-6)
        j0 = int(gj)
        fj = gj - j0
        rx = T.river_x(z)
        half = T.water_half(z)
        for i in range(n):
            x = -e + (i + 0.5) / n * 2 * e
            gi = min((x + e) / step, GRID - 1e-6)
            i0 = int(gi)
            fi = gi - i0
            h00, h10 = heights[j0][i0], heights[j0][i0 + 1]
            h01, h11 = heights[j0 + 1][i0], heights[j0 + 1][i0 + 1]
            h = (h00 * (1 - fi) + h10 * fi) * (1 - fj) + (h01 * (1 - fi) + h11 * fi) * fj
            dhx = ((h10 - h00) * (1 - fj) + (h11 - h01) * fj) / step
            dhz = ((h01 - h00) * (1 - fi) + (h11 - h10) * fi) / step
            nl = math.sqrt(dhx * dhx + 1 + dhz * dhz)
            lam = (-dhx * SUN[0] + SUN[1] - dhz * SUN[2]) / nl
            slope = 1.0 - 1.0 / nl
            # Base colour: meadow, with patches and fine grass grain.
            big = fbm2(x / 30.0, z / 30.0, 3, 5)
            fine = noise2(x * 2.1, z * 2.1, 6) * 0.6 + noise2(x * 5.3, z * 5.3, 8) * 0.4
            col = mix3((0.30, 0.46, 0.16), (0.50, 0.56, 0.22), smoothstep(0.35, 0.75, big))
            col = mix3(col, (0.24, 0.38, 0.14), smoothstep(0.55, 0.2, fine) * 0.5)
            # Rock on steep slopes and the high rim.
            rock = smoothstep(0.24, 0.42, slope + 0.1 * fine) + smoothstep(20.0, 28.0, h + 4 * big)
            col = mix3(col, mix3((0.46, 0.44, 0.40), (0.58, 0.56, 0.50), fine), clamp(rock))
            # Footpaths.
            d = min(_segment_distance(x, z, p[k], p[k + 1]) for p in paths for k in range(len(p) - 1))
            col = mix3(col, mix3((0.55, 0.45, 0.32), (0.62, 0.54, 0.40), fine),
                       smoothstep(1.9, 1.1, d + 0.6 * fine))
            # Bare ground around the buildings.
            for px, pz, radius, _ in T.PADS:
                pd = math.hypot(x - px, z - pz)
                col = mix3(col, (0.52, 0.46, 0.34), smoothstep(radius + 1.0, radius - 2.0, pd + 2 * fine) * 0.7)
            # River: banks of sand and mud, then water that darkens with depth, with ripples.
            dr = abs(x - rx)
            col = mix3(col, mix3((0.56, 0.50, 0.36), (0.44, 0.38, 0.28), fine),
                       smoothstep(half + 2.2, half + 0.8, dr + 0.8 * fine) * smoothstep(-126.0, -104.0, z))
            shade = 0.45 + 0.62 * clamp(lam)
            w = smoothstep(half + 0.3, half - 0.3, dr) if half > 0.3 else 0.0
            if w > 0.0:
                ripple = 0.5 + 0.5 * math.sin(z * 1.3 + 2.5 * noise2(x * 0.8, z * 0.3, 12) * 3.0)
                water = mix3((0.20, 0.36, 0.46), (0.10, 0.22, 0.34), smoothstep(half, 0.0, dr))
                water = mix3(water, (0.55, 0.70, 0.80), ripple ** 6 * 0.5)
                col = mix3(col, water, w)
                shade = shade * (1 - w) + 1.0 * w
            for sx, sz, sr in shadows:
                sd = math.hypot(x - sx, z - sz)
                if sd < sr:
                    shade *= 1.0 - 0.35 * smoothstep(sr, sr * 0.4, sd)
            out += bytes((to_byte(col[0] * shade), to_byte(col[1] * shade), to_byte(col[2] * shade)))
    return bytes(out)


# ---------------------------------------------------------------------------------------------
# Materials, as functions of world units (u along the face, v up) -> colour
# ---------------------------------------------------------------------------------------------

def _blocks(u, v, bw, bh, seed):
    row = math.floor(v / bh)
    uu = u + (row % 2) * bw * 0.5
    col = math.floor(uu / bw)
    fu, fv = uu / bw - col, v / bh - row
    edge = min(fu * bw, (1 - fu) * bw, fv * bh, (1 - fv) * bh)
    return col, row, edge


def material(name, u, v):
    n = noise2(u * 3.0, v * 3.0, 31)
    f = noise2(u * 11.0, v * 11.0, 32)
    if name == "rock":
        g = fbm2(u * 1.3, v * 1.3, 3, 33)
        col = mix3((0.42, 0.40, 0.38), (0.66, 0.64, 0.60), g)
        col = mix3(col, (0.58, 0.60, 0.36), smoothstep(0.68, 0.8, noise2(u * 2.2, v * 2.2, 34)) * 0.7)
        return mix3(col, (0.30, 0.29, 0.28), smoothstep(0.25, 0.1, f) * 0.5)
    if name == "stone":
        c, r, edge = _blocks(u, v, 1.1, 0.5, 35)
        tone = noise2(c * 7.1, r * 3.3, 36)
        col = mix3((0.58, 0.54, 0.46), (0.74, 0.70, 0.62), tone)
        col = mix3(col, (0.50, 0.47, 0.42), f * 0.4)
        return mix3((0.42, 0.40, 0.36), col, smoothstep(0.02, 0.07, edge))
    if name == "roof":
        c, r, edge = _blocks(u, v, 0.45, 0.32, 37)
        tone = noise2(c * 5.1, r * 2.3, 38)
        col = mix3((0.55, 0.22, 0.14), (0.72, 0.34, 0.20), tone)
        col = mix3(col, (0.40, 0.16, 0.10), smoothstep(0.7, 1.0, (v / 0.32) % 1.0) * 0.6)
        return mix3((0.25, 0.10, 0.07), col, smoothstep(0.01, 0.04, edge))
    if name == "wood":
        plank = math.floor(v / 0.38)
        grain = 0.5 + 0.5 * math.sin(u * 9.0 + noise2(u * 0.8, plank * 5.0, 39) * 6.0)
        col = mix3((0.40, 0.27, 0.15), (0.56, 0.40, 0.24), grain * 0.6 + noise2(plank * 3.3, 1.0, 40) * 0.4)
        seam = min((v / 0.38) % 1.0, 1 - (v / 0.38) % 1.0) * 0.38
        return mix3((0.22, 0.14, 0.08), col, smoothstep(0.01, 0.04, seam))
    if name == "dark":
        return mix3((0.10, 0.13, 0.18), (0.22, 0.28, 0.36), clamp(v * 0.6 + 0.3 * n))
    if name == "plaster":
        return mix3((0.80, 0.78, 0.72), (0.92, 0.90, 0.85), n * 0.6 + f * 0.4)
    if name == "moss":
        return mix3((0.24, 0.36, 0.14), (0.42, 0.52, 0.22), n * 0.5 + f * 0.5)
    if name == "red":
        return mix3((0.70, 0.10, 0.08), (0.82, 0.16, 0.12), f * 0.3 + n * 0.2)
    if name == "white":
        stripe = smoothstep(0.02, 0.0, abs((u / 0.9) % 1.0 - 0.5) - 0.46)
        return mix3((0.92, 0.92, 0.90), (0.55, 0.55, 0.58), stripe * 0.5)
    if name == "yellow":
        return mix3((0.90, 0.70, 0.12), (0.98, 0.80, 0.22), f * 0.3 + n * 0.3)
    if name == "wicker":
        weave = 0.5 + 0.25 * math.sin(u * 30.0) * math.sin(v * 30.0)
        return mix3((0.40, 0.28, 0.14), (0.66, 0.50, 0.28), weave)
    if name == "canvas":
        lattice = min(abs((u / 0.9) % 1.0 - 0.5), abs((v / 0.55) % 1.0 - 0.5))
        col = mix3((0.86, 0.82, 0.72), (0.94, 0.92, 0.84), n)
        return mix3((0.36, 0.26, 0.16), col, smoothstep(0.44, 0.40, 0.5 - lattice))
    raise ValueError(name)


def _atlas_pixels(name):
    height = A.atlas_height(name)
    h = A.strip_height(name)
    d = A.density(name)
    out = bytearray()
    for r in range(height):
        index = min(r // h, len(A.ATLASES[name]) * A.LEVELS - 1)
        mat = A.ATLASES[name][index // A.LEVELS]
        bright = A.level_brightness(index % A.LEVELS)
        v = ((index + 1) * h - 2 - r - 0.5) / d
        for c in range(A.SIZE):
            col = material(mat, (c + 0.5 - 2) / d, v)
            out += bytes((to_byte(col[0] * bright), to_byte(col[1] * bright), to_byte(col[2] * bright)))
    return bytes(out)


# ---------------------------------------------------------------------------------------------
# Trees and sprite (Targa with alpha)
# ---------------------------------------------------------------------------------------------

def _tree_pixels(kind, w=256, h=512):
    """A tree seen from the side, lit from the upper right; leaf colour under transparent pixels
    so that filtering never darkens the edges."""
    out = bytearray()
    blobs = []
    if kind == "feuillu":
        import random
        rnd = random.Random(7)
        for _ in range(46):
            a = rnd.random() * 2 * math.pi
            r = math.sqrt(rnd.random())
            blobs.append((0.5 + 0.33 * r * math.cos(a), 0.60 + 0.30 * r * math.sin(a), 0.07 + 0.06 * rnd.random()))
    for j in range(h):
        y = 1.0 - (j + 0.5) / h   # 0 at the foot, 1 at the top
        for i in range(w):
            x = (i + 0.5) / w
            a, col = 0.0, (0.16, 0.26, 0.10)
            trunk_w = 0.035 if kind == "sapin" else 0.05
            if abs(x - 0.5) < trunk_w * (1.2 - y) and y < 0.55:
                a = 1.0
                col = mix3((0.22, 0.15, 0.09), (0.38, 0.27, 0.16), smoothstep(0.49, 0.53, x))
            if kind == "sapin":
                # Tiers of drooping branches, narrowing to the top.
                tier = (y - 0.12) * 6.0
                k = tier - math.floor(tier)
                width = (1.0 - (y - 0.12) / 0.86) * 0.46 * (0.62 + 0.38 * k)
                jag = (noise2(x * 40.0, y * 40.0, 50) - 0.5) * 0.06
                if 0.12 < y < 0.98 and abs(x - 0.5) < width + jag:
                    a = 1.0
                    lit = clamp(0.5 + (x - 0.5) * 1.2 + (k - 0.5) * 0.5)
                    needles = noise2(x * 60.0, y * 90.0, 51)
                    col = mix3((0.08, 0.20, 0.10), (0.22, 0.42, 0.20), lit * 0.7 + needles * 0.3)
            else:
                best = None
                for bx, by, br in blobs:
                    dx, dy = (x - bx) / br, (y - by) / br
                    dd = dx * dx + dy * dy
                    wob = (noise2(x * 50.0, y * 50.0, 52) - 0.5) * 0.5
                    if dd < 1.0 + wob and (best is None or by < best[1]):
                        best = (dx, dy, dd, by)
                if best is not None:
                    dx, dy, dd, by = best
                    a = 1.0
                    nz = math.sqrt(max(0.0, 1.0 - min(dd, 1.0)))
                    lit = clamp(0.35 + 0.45 * (dx * 0.55 + dy * 0.6 + nz * 0.55) + (by - 0.5) * 0.5)
                    leaves = noise2(x * 70.0, y * 70.0, 53)
                    col = mix3((0.12, 0.26, 0.08), (0.45, 0.62, 0.22), lit * 0.75 + leaves * 0.25)
            out += bytes((to_byte(col[0]), to_byte(col[1]), to_byte(col[2]), to_byte(a)))
    return bytes(out)


def _sprite_pixels(size=64):
    out = bytearray()
    for j in range(size):
        for i in range(size):
            r = math.hypot((i + 0.5) / size - 0.5, (j + 0.5) / size - 0.5) * 2.0
            a = clamp(1.0 - r) ** 1.6
            out += bytes((255, 255, 255, to_byte(a)))
    return bytes(out)


# ---------------------------------------------------------------------------------------------

def _job(job):
    kind, name = job
    if kind == "ground":
        parts = 8
        step = GROUND_SIZE // parts
        return _ground_rows(range(name * step, (name + 1) * step))
    if kind == "atlas":
        return _atlas_pixels(name)
    if kind == "tree":
        return _tree_pixels(name)
    return _sprite_pixels()


def main():
    jobs = [("ground", k) for k in range(8)] + [("atlas", a) for a in A.ATLASES] + \
           [("tree", "sapin"), ("tree", "feuillu"), ("sprite", "particule")]
    with Pool(2) as pool:
        results = dict(zip(jobs, pool.map(_job, jobs)))
    ground = b"".join(results["ground", k] for k in range(8))
    write_jpg(os.path.join(TEXTURES, "sol.jpg"), GROUND_SIZE, GROUND_SIZE, ground, quality=80)
    for a in A.ATLASES:
        write_jpg(os.path.join(TEXTURES, a), A.SIZE, A.atlas_height(a), results["atlas", a], quality=85)
    for kind in ("sapin", "feuillu"):
        write_tga(os.path.join(TEXTURES, kind + ".tga"), 256, 512, results["tree", kind])
    write_tga(os.path.join(TEXTURES, "particule.tga"), 64, 64, results["sprite", "particule"])
    print("make-content: textures/sol.jpg, %d atlases, sapin.tga, feuillu.tga, particule.tga" % len(A.ATLASES))


if __name__ == "__main__":
    main()
