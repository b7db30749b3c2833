"""Mesh building blocks: a triangle list with per-vertex normals and per-corner texture
coordinates, writers for the mesh (.msh) and trajectory (.dpl) text files, and convex primitives
whose faces wind counter-clockwise seen from outside."""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import atlas  # noqa: E402
from common import add, cross, dot, norm, scale, sub  # noqa: E402


class MeshData:
    """Vertices, normals, triangles and uvs of one mesh file, shaded through an atlas."""

    def __init__(self, texture, atlas_name=None):
        self.texture = texture
        self.atlas = atlas_name
        self.vertices, self.normals, self.faces, self.uvs = [], [], [], []

    def vertex(self, p, n):
        self.vertices.append(p)
        self.normals.append(n)
        return len(self.vertices) - 1

    def polygon(self, points, material, level=None, smooth=None):
        """Adds a flat convex polygon (3 or 4 corners, counter-clockwise seen from its front) in one
        atlas strip; `smooth` optionally gives per-corner normals for lighting."""
        n = norm(cross(sub(points[1], points[0]), sub(points[2], points[0])))
        if level is None:
            level = atlas.level_of(n)
        coords = atlas.planar(n, points)
        uvs = atlas.face_uvs(self.atlas, material, level, coords)
        idx = [self.vertex(p, smooth[i] if smooth else n) for i, p in enumerate(points)]
        for a, b, c in ((0, 1, 2), (0, 2, 3))[:len(points) - 2]:
            self.faces.append((idx[a], idx[b], idx[c]))
            self.uvs.append((uvs[a], uvs[b], uvs[c]))

    def polygon_out(self, points, centre, material, level=None):
        """As polygon, wound so that its front faces away from `centre`."""
        n = cross(sub(points[1], points[0]), sub(points[2], points[0]))
        if dot(n, sub(points[0], centre)) < 0:
            points = points[::-1]
        self.polygon(points, material, level)

    def transformed(self, fn):
        """Applies fn (a rotation, possibly with a move) to every vertex; normals turn with it."""
        origin = fn((0.0, 0.0, 0.0))
        self.vertices = [fn(p) for p in self.vertices]
        self.normals = [norm(sub(fn(n), origin)) for n in self.normals]


def _num(v, places):
    """Shortest decimal text of v at the given number of places ("1.5", "-0.125", "2")."""
    text = ("%." + str(places) + "f") % v
    text = text.rstrip("0").rstrip(".") if "." in text else text
    return "0" if text in ("-0", "") else text


def write_mesh(path, mesh, option=0, places=3):
    """Writes a mesh file: vertices, faces, normals, colour, option and the textured section;
    coordinates and normals with `places` decimals."""
    fmt = lambda v: " ".join(_num(c, places) for c in v)  # noqa: E731
    lines = ["vertices (%d) :" % len(mesh.vertices)]
    lines += [fmt(v) for v in mesh.vertices]
    lines.append("faces (%d) :" % len(mesh.faces))
    lines += ["%d %d %d" % f for f in mesh.faces]
    lines.append("normales (%d) :" % len(mesh.normals))
    lines += [fmt(n) for n in mesh.normals]
    lines.append("couleur : 1 1 1")
    lines.append("option : %d" % (option | 16))
    lines.append("texture : %s" % mesh.texture)
    lines.append("uv mapping (%d) :" % len(mesh.uvs))
    lines += [" ".join("%s,%s" % (_num(uv[0], 4), _num(uv[1], 4)) for uv in face) for face in mesh.uvs]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def write_trajectory(path, title, points, loop=False):
    """Writes a two-track trajectory file: each point is (position, target)."""
    lines = [title, "POSITIONS %d" % len(points), "CURVES 2", "LOOP %d" % (1 if loop else 0),
             "SPEED 1.0", "START 0.0"]
    for pos, target in points:
        lines += ["", "%.3f %.3f %.3f" % tuple(pos), "%.3f %.3f %.3f" % tuple(target)]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


# ---------------------------------------------------------------------------------------------
# Convex primitives
# ---------------------------------------------------------------------------------------------

def rot_y(p, deg):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    return (p[0] * c + p[2] * s, p[1], -p[0] * s + p[2] * c)


def box(mesh, centre, size, material, turn=0.0, skip=()):
    """An axis-aligned box (turned `turn` degrees about its vertical axis); `skip` names faces
    to leave out ("bottom", "top")."""
    hx, hy, hz = size[0] / 2, size[1] / 2, size[2] / 2
    corners = [(x, y, z) for x in (-hx, hx) for y in (-hy, hy) for z in (-hz, hz)]
    corners = [add(rot_y(c, turn), centre) for c in corners]
    quads = {"left": (0, 1, 3, 2), "right": (4, 6, 7, 5), "bottom": (0, 4, 5, 1),
             "top": (2, 3, 7, 6), "back": (0, 2, 6, 4), "front": (1, 5, 7, 3)}
    for name, q in quads.items():
        if name not in skip:
            mesh.polygon_out([corners[i] for i in q], centre, material)


def frustum(mesh, base, r0, r1, height, sides, material, caps=True, turn=0.0):
    """A vertical prism or truncated cone standing on `base`."""
    centre = add(base, (0, height / 2, 0))
    ring = lambda r, y: [add(base, rot_y((r, y, 0.0), turn + 360.0 * i / sides)) for i in range(sides)]  # noqa
    low, high = ring(r0, 0.0), ring(r1, height)
    for i in range(sides):
        j = (i + 1) % sides
        mesh.polygon_out([low[i], low[j], high[j], high[i]], centre, material)
    if caps:
        for ring_pts in (low, high):
            mid = scale(tuple(map(sum, zip(*ring_pts))), 1.0 / sides)
            for i in range(sides):
                mesh.polygon_out([mid, ring_pts[i], ring_pts[(i + 1) % sides]], centre, material)


def double_sided(mesh, points, material, level=None):
    """A thin flat panel seen from both sides (objects are drawn with back faces culled)."""
    mesh.polygon(points, material, level)
    mesh.polygon(points[::-1], material, level)
