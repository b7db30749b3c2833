"""Shared helpers of the content generators: picture writers (Targa, JPEG through ImageMagick),
deterministic value noise, small vector maths and the repository paths.
Everything here is deterministic: same inputs, same bytes."""

import math
import os
import struct
import subprocess
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
TEXTURES = os.path.join(ROOT, "textures")
MAP_DIR = os.path.join(ROOT, "map", "demo")
MEDIA = os.path.join(ROOT, "media")
FONTS = "/usr/share/fonts/truetype/dejavu"

# Light of the scene: shading baked into the pictures and the sun painted in the sky agree.
SUN = (0.52, 0.62, 0.59)
_n = math.sqrt(sum(c * c for c in SUN))
SUN = tuple(c / _n for c in SUN)


# ---------------------------------------------------------------------------------------------
# Vectors
# ---------------------------------------------------------------------------------------------

def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def scale(a, s):
    return (a[0] * s, a[1] * s, a[2] * s)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def norm(a):
    n = math.sqrt(dot(a, a))
    return (a[0] / n, a[1] / n, a[2] / n) if n > 0 else (0.0, 1.0, 0.0)


def lerp(a, b, t):
    return a + (b - a) * t


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def mix3(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


# ---------------------------------------------------------------------------------------------
# Value noise (integer hash lattice, smooth interpolation)
# ---------------------------------------------------------------------------------------------

def _hash(ix, iy, iz, seed):
    h = (ix * 374761393 + iy * 668265263 + iz * 2147483647 + seed * 144665) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0


def noise2(x, y, seed=0):
    """Smooth value noise in [0, 1]."""
    ix, iy = math.floor(x), math.floor(y)
    fx, fy = x - ix, y - iy
    ux, uy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a = _hash(ix, iy, 0, seed)
    b = _hash(ix + 1, iy, 0, seed)
    c = _hash(ix, iy + 1, 0, seed)
    d = _hash(ix + 1, iy + 1, 0, seed)
    return a + (b - a) * ux + (c - a) * uy + (a - b - c + d) * ux * uy


def fbm2(x, y, octaves=4, seed=0):
    """Fractal sum of noise2, normalised to [0, 1]."""
    total, amp, norm_ = 0.0, 1.0, 0.0
    for o in range(octaves):
        total += noise2(x, y, seed + o * 17) * amp
        norm_ += amp
        x, y, amp = x * 2.03, y * 2.03, amp * 0.5
    return total / norm_


def tiled_noise2(x, y, period, seed=0):
    """Value noise that repeats every `period` lattice cells in x and y (for tiling pictures)."""
    ix, iy = math.floor(x), math.floor(y)
    fx, fy = x - ix, y - iy
    ux, uy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    x0, x1, y0, y1 = ix % period, (ix + 1) % period, iy % period, (iy + 1) % period
    a = _hash(x0, y0, 0, seed)
    b = _hash(x1, y0, 0, seed)
    c = _hash(x0, y1, 0, seed)
    d = _hash(x1, y1, 0, seed)
    return a + (b - a) * ux + (c - a) * uy + (a - b - c + d) * ux * uy


def tiled_fbm2(u, v, period, octaves=4, seed=0):
    """Fractal noise over the unit square (u, v in [0, 1)) that tiles seamlessly."""
    total, amp, norm_, p = 0.0, 1.0, 0.0, period
    for o in range(octaves):
        total += tiled_noise2(u * p, v * p, p, seed + o * 17) * amp
        norm_ += amp
        p, amp = p * 2, amp * 0.5
    return total / norm_


# ---------------------------------------------------------------------------------------------
# Picture writers
# ---------------------------------------------------------------------------------------------

def _rle_row(row, out):
    """Targa run-length packets for one row of 4-byte pixels."""
    n = len(row) // 4
    i = 0
    while i < n:
        j = i + 1
        px = row[4 * i:4 * i + 4]
        while j < n and j - i < 128 and row[4 * j:4 * j + 4] == px:
            j += 1
        if j - i > 1:
            out.append(0x80 | (j - i - 1))
            out += px
            i = j
            continue
        j = i + 1
        while j < n and j - i < 128 and (j + 1 >= n or row[4 * j:4 * j + 4] != row[4 * j + 4:4 * j + 8]):
            j += 1
        out.append(j - i - 1)
        out += row[4 * i:4 * j]
        i = j


def write_tga(path, width, height, rgba):
    """Writes a 32-bit run-length Targa. rgba: bytes, 4 per pixel (r, g, b, a), top row first.
    The file says its origin is the top left, so every reader shows it upright."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 10, 0, 0, 0, 0, 0, width, height, 32, 0x28)
    out = bytearray(header)
    stride = width * 4
    for y in range(height):
        src = rgba[y * stride:(y + 1) * stride]
        bgra = bytearray(stride)
        bgra[0::4], bgra[1::4], bgra[2::4], bgra[3::4] = src[2::4], src[1::4], src[0::4], src[3::4]
        _rle_row(bytes(bgra), out)
    out += b"\0" * 8 + b"TRUEVISION-XFILE.\0"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(out)


def write_ppm(path, width, height, rgb):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(rgb)


def write_jpg(path, width, height, rgb, quality=85, extra=()):
    """Writes rgb (bytes, 3 per pixel, top row first) as a baseline JPEG through ImageMagick."""
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "p.ppm")
        write_ppm(ppm, width, height, rgb)
        run(["convert", ppm, *extra, "-strip", "-sampling-factor", "2x2", "-quality", str(quality), path])


def to_byte(v):
    v = int(v * 255.0 + 0.5)
    return 0 if v < 0 else 255 if v > 255 else v


def run(cmd, **kw):
    """Runs a tool, failing loudly with its command line."""
    result = subprocess.run(cmd, capture_output=True, **kw)
    if result.returncode != 0:
        raise SystemExit("make-content: %s failed:\n%s" % (" ".join(cmd), result.stderr.decode(errors="replace")))
    return result


def read_rgba(path, width, height):
    """Reads any picture through ImageMagick as raw RGBA bytes at the given size."""
    out = run(["convert", path, "-resize", "%dx%d!" % (width, height), "-depth", "8", "rgba:-"]).stdout
    assert len(out) == width * height * 4, path
    return out
