"""The demo map: ground, rocks, a cottage, a windmill, a bridge and ruins (world meshes), an
aerobatic plane trailing smoke, a hot-air balloon on a looping path and the windmill's sails
(animated objects), trees as crossed alpha quads, three lamps, and the camera flight.
Writes map/demo/*.msh, *.dpl and demo.mde; checks that the flight clears the ground, the
buildings and the moving objects, and keeps something to look at in view."""

import math
import os
import random
import sys

sys.path.insert(0, os.path.dirname(__file__))
import terrain as T  # noqa: E402
from common import MAP_DIR, add, clamp, dot, norm, smoothstep, sub  # noqa: E402
from meshes import MeshData, box, double_sided, frustum, rot_y, write_mesh, write_trajectory  # noqa: E402

SCENE_SECONDS = 97      # length of the scene phase of the show
MODEL_TURN = 30.0       # the player turns every object by -30 degrees about y first: undo it here


# ---------------------------------------------------------------------------------------------
# World meshes
# ---------------------------------------------------------------------------------------------

def ground():
    """The valley as a height grid, one picture stretched over it (shading baked in)."""
    cells, e = 56, T.EXTENT
    step = 2 * e / cells
    m = MeshData("sol.jpg")
    idx = {}
    for j in range(cells + 1):
        for i in range(cells + 1):
            x, z = -e + i * step, -e + j * step
            idx[i, j] = m.vertex((x, T.height(x, z), z), T.normal(x, z))
    uv = lambda k: ((m.vertices[k][0] + e) / (2 * e), 1.0 - (m.vertices[k][2] + e) / (2 * e))  # noqa
    for j in range(cells):
        for i in range(cells):
            a, b, c, d = idx[i, j], idx[i + 1, j], idx[i + 1, j + 1], idx[i, j + 1]
            # Counter-clockwise seen from above (y up, z towards the viewer).
            for tri in ((a, d, c), (a, c, b)) if (i + j) % 2 == 0 else ((a, d, b), (b, d, c)):
                m.faces.append(tri)
                m.uvs.append(tuple(uv(k) for k in tri))
    return m


def rock_shape(m, centre, radius, seed, squash=0.7):
    """A faceted boulder: a jittered icosahedron split once, sunk a little into the ground."""
    rnd = random.Random(seed)
    t = (1 + 5 ** 0.5) / 2
    verts = [norm(v) for v in [(-1, t, 0), (1, t, 0), (-1, -t, 0), (1, -t, 0), (0, -1, t), (0, 1, t),
                                (0, -1, -t), (0, 1, -t), (t, 0, -1), (t, 0, 1), (-t, 0, -1), (-t, 0, 1)]]
    tris = [(0, 11, 5), (0, 5, 1), (0, 1, 7), (0, 7, 10), (0, 10, 11), (1, 5, 9), (5, 11, 4),
            (11, 10, 2), (10, 7, 6), (7, 1, 8), (3, 9, 4), (3, 4, 2), (3, 2, 6), (3, 6, 8), (3, 8, 9),
            (4, 9, 5), (2, 4, 11), (6, 2, 10), (8, 6, 7), (9, 8, 1)]
    mids = {}

    def mid(a, b):
        key = (min(a, b), max(a, b))
        if key not in mids:
            verts.append(norm(tuple((verts[a][k] + verts[b][k]) / 2 for k in range(3))))
            mids[key] = len(verts) - 1
        return mids[key]

    split = []
    for a, b, c in tris:
        ab, bc, ca = mid(a, b), mid(b, c), mid(c, a)
        split += [(a, ab, ca), (b, bc, ab), (c, ca, bc), (ab, bc, ca)]
    jitter = [0.78 + 0.4 * rnd.random() for _ in verts]
    turn = rnd.random() * 360
    pts = [add(centre, rot_y((v[0] * radius * jitter[i] * 1.2, (v[1] * squash + 0.25) * radius * jitter[i],
                              v[2] * radius * jitter[i]), turn)) for i, v in enumerate(verts)]
    for a, b, c in split:
        m.polygon_out([pts[a], pts[b], pts[c]], add(centre, (0, 0.25 * radius, 0)), "rock")


ROCKS = [(8, 32, 2.2), (38, 42, 3.0), (-32, 18, 2.6), (62, -22, 3.4), (46, -40, 2.0), (-64, -42, 3.2),
         (30, -78, 4.0), (-22, 58, 2.4), (12, -8, 1.6), (-4, 78, 3.6), (70, 30, 4.2), (-80, 20, 3.8)]


def rocks():
    m = MeshData("rocher.jpg", "rocher.jpg")
    for k, (x, z, r) in enumerate(ROCKS):
        rock_shape(m, (x, T.height(x, z) - 0.35 * r, z), r, 100 + k)
    return m


def house():
    """A stone cottage with a door and windows on its south (+z) side and a chimney."""
    m = MeshData("maison.jpg", "maison.jpg")
    hx, hz = T.HOUSE
    y0 = T.height(hx, hz)
    turn = 12.0
    P = lambda x, y, z: add((hx, y0, hz), rot_y((x, y, z), turn))  # noqa: E731
    box(m, P(0, 1.5, 0), (11, 4.5, 7), "stone", turn, skip=("bottom",))
    roof_base = P(0, 3.75, 0)
    w, d, rise, over = 11.0, 7.0, 3.2, 0.6
    Q = lambda x, y, z: add(roof_base, rot_y((x, y, z), turn))  # noqa: E731
    ww, dd = w / 2 + over, d / 2 + over
    centre = add(roof_base, (0, -1, 0))
    for s in (1, -1):
        m.polygon_out([Q(-ww, 0, s * dd), Q(ww, 0, s * dd), Q(ww, rise, 0), Q(-ww, rise, 0)], centre, "roof")
        m.polygon_out([Q(-ww, -0.08, s * dd), Q(ww, -0.08, s * dd), Q(ww, rise - 0.08, 0), Q(-ww, rise - 0.08, 0)],
                      add(roof_base, (0, 6, 0)), "wood", 0)
    for s in (1, -1):
        x = s * w / 2
        m.polygon_out([Q(x, 0, -d / 2), Q(x, 0, d / 2), Q(x, rise * (1 - over / dd) - 0.1, 0)], roof_base, "stone")
    box(m, P(3.2, 6.2, -1.2), (1.1, 3.2, 1.1), "stone", turn, skip=("bottom",))
    front = 3.52
    # Door and windows: thin panels just in front of the walls.
    m.polygon([P(-0.8, -0.7, front), P(0.8, -0.7, front), P(0.8, 1.9, front), P(-0.8, 1.9, front)], "wood")
    for wx in (-3.6, 3.2):
        m.polygon([P(wx - 0.7, 0.6, front), P(wx + 0.7, 0.6, front), P(wx + 0.7, 1.8, front),
                   P(wx - 0.7, 1.8, front)], "dark")
    for wz in (-1.5, 1.5):
        m.polygon([P(5.52, 0.6, wz + 0.7), P(5.52, 0.6, wz - 0.7), P(5.52, 1.8, wz - 0.7),
                   P(5.52, 1.8, wz + 0.7)], "dark")
    m.polygon([P(-1.5, 0.6, -front), P(-2.9, 0.6, -front), P(-2.9, 1.8, -front), P(-1.5, 1.8, -front)], "dark")
    return m


MILL_TOP = 11.0


def mill():
    """A round whitewashed tower with a conical cap and a door, facing south (+z)."""
    m = MeshData("moulin.jpg", "moulin.jpg")
    mx, mz = T.MILL
    y0 = T.height(mx, mz) - 0.5
    frustum(m, (mx, y0, mz), 3.6, 2.7, MILL_TOP + 0.5, 12, "plaster", caps=False)
    top = (mx, y0 + MILL_TOP + 0.5, mz)
    ring = [add(top, rot_y((3.1, 0, 0), 30.0 * i)) for i in range(12)]
    apex = add(top, (0, 3.4, 0))
    for i in range(12):
        m.polygon_out([ring[i], ring[(i + 1) % 12], apex], add(top, (0, 1.0, 0)), "roof")
        m.polygon_out([ring[(i + 1) % 12], ring[i], top], add(top, (0, 2.0, 0)), "wood", 0)
    # Axle housing pointing south towards the sails.
    box(m, add(top, (0, 0.6, 3.0)), (0.9, 0.9, 1.6), "wood")
    fz = mz + 3.45
    m.polygon([(mx - 0.8, y0 + 0.4, fz), (mx + 0.8, y0 + 0.4, fz), (mx + 0.8, y0 + 3.0, fz - 0.12),
               (mx - 0.8, y0 + 3.0, fz - 0.12)], "wood")
    for wy in (5.0, 8.2):
        z = mz + 3.6 - (wy / (MILL_TOP + 0.5)) * 0.9 + 0.08
        m.polygon([(mx - 0.5, y0 + wy, z), (mx + 0.5, y0 + wy, z), (mx + 0.5, y0 + wy + 1.0, z - 0.08),
                   (mx - 0.5, y0 + wy + 1.0, z - 0.08)], "dark")
    return m


def mill_hub():
    mx, mz = T.MILL
    return (mx, T.height(mx, mz) - 0.5 + MILL_TOP + 1.1, mz + 4.1)


def bridge():
    """A wooden footbridge with a gentle arch across the river, on stone abutments."""
    m = MeshData("pont.jpg", "pont.jpg")
    z0 = T.BRIDGE_Z
    xc = T.river_x(z0)
    half, width = 11.0, 3.2
    n = 10
    bank = max(T.height(xc - half, z0), T.height(xc + half, z0))
    deck = lambda s: bank + 0.3 + 1.6 * math.sin(math.pi * s)  # noqa: E731
    for i in range(n):
        s0, s1 = i / n, (i + 1) / n
        xa, xb = xc - half + 2 * half * s0, xc - half + 2 * half * s1
        ya, yb = deck(s0), deck(s1)
        m.polygon([(xa, ya, z0 + width / 2), (xb, yb, z0 + width / 2), (xb, yb, z0 - width / 2),
                   (xa, ya, z0 - width / 2)], "wood")
        m.polygon([(xa, ya - 0.35, z0 - width / 2), (xb, yb - 0.35, z0 - width / 2), (xb, yb - 0.35, z0 + width / 2),
                   (xa, ya - 0.35, z0 + width / 2)], "wood", 0)
        for side in (-1, 1):
            z = z0 + side * width / 2
            m.polygon_out([(xa, ya - 0.35, z), (xb, yb - 0.35, z), (xb, yb, z), (xa, ya, z)], (xc, ya, z0), "wood")
            # Hand rail, posts.
            m.polygon_out([(xa, ya + 1.0, z), (xb, yb + 1.0, z), (xb, yb + 1.2, z), (xa, ya + 1.2, z)],
                          (xc, ya, z0), "wood")
            m.polygon_out([(xa, ya + 1.0, z - side * 0.15), (xb, yb + 1.0, z - side * 0.15),
                           (xb, yb + 1.2, z - side * 0.15), (xa, ya + 1.2, z - side * 0.15)], (xc, ya, z + side),
                          "wood")
            if i % 2 == 0:
                box(m, (xa, ya + 0.55, z), (0.25, 1.3, 0.25), "wood", skip=("bottom",))
    box(m, (xc + half, z0, z0), (0.25, 1.3, 0.25), "wood", skip=("bottom",))
    for sx in (-1, 1):
        x = xc + sx * (half - 1.0)
        y = T.height(x, z0)
        box(m, (x, y + 0.2, z0), (2.2, 1.6 + max(0.0, deck(0.1) - y), width + 0.8), "stone")
    return m


def ruins():
    """Broken walls and a stump of a tower on the far bank."""
    m = MeshData("ruines.jpg", "ruines.jpg")
    rx, rz = T.RUINS
    y0 = T.height(rx, rz) - 0.3
    P = lambda x, y, z: (rx + x, y0 + y, rz + z)  # noqa: E731
    frustum(m, P(-4, 0, -4), 3.0, 2.8, 7.5, 10, "stone", caps=True)
    frustum(m, P(-4, 7.5, -4), 2.8, 2.2, 0.6, 10, "moss", caps=True, turn=18)
    walls = [((-1.0, 0, -4.0), (8.0, 3.8, 1.0)), ((7.0, 0, -4.0), (4.0, 2.2, 1.0)),
             ((4.0, 0, 3.5), (1.0, 4.6, 7.0)), ((-4.0, 0, 3.0), (1.0, 1.6, 4.0))]
    for (x, y, z), (sx, sy, sz) in walls:
        box(m, P(x, sy / 2, z), (sx, sy, sz), "stone", skip=("bottom",))
        box(m, P(x, sy + 0.12, z), (sx + 0.1, 0.25, sz + 0.1), "moss", skip=("bottom",))
    for i, (x, z) in enumerate([(1.0, 0.0), (2.6, 5.5), (-2.0, 7.0), (6.0, 2.0)]):
        box(m, P(x, 0.3, z), (0.9 + 0.2 * i, 0.6, 0.8), "stone", turn=25.0 * i, skip=("bottom",))
    return m


# ---------------------------------------------------------------------------------------------
# Trees
# ---------------------------------------------------------------------------------------------

TREES = [("sapin", -62, -60, 13.0), ("sapin", -52, -70, 15.0), ("sapin", -70, -48, 11.0),
         ("sapin", -40, -62, 12.0), ("feuillu", -30, -38, 9.0), ("feuillu", 2, -42, 10.0),
         ("feuillu", 8, 44, 9.0), ("feuillu", 37, -18, 9.5), ("sapin", 40, 22, 12.0),
         ("feuillu", -38, 36, 10.0), ("sapin", 66, -62, 13.0), ("feuillu", -18, 14, 8.5)]


def tree(kind, x, z, h):
    """Three vertical panels crossing at the trunk, each a full picture of the tree."""
    m = MeshData(kind + ".tga")
    y = T.height(x, z) - 0.3
    w = h * (0.36 if kind == "sapin" else 0.42)
    for k in range(3):
        a = math.radians(60.0 * k + 17.0 * (x + z))
        dx, dz = math.cos(a) * w, math.sin(a) * w
        n = norm((-dz, 0, dx))
        quad = [(x - dx, y, z - dz), (x + dx, y, z + dz), (x + dx, y + h, z + dz), (x - dx, y + h, z - dz)]
        idx = [m.vertex(p, n) for p in quad]
        m.faces += [(idx[0], idx[1], idx[2]), (idx[0], idx[2], idx[3])]
        m.uvs += [((0, 0), (1, 0), (1, 1)), ((0, 0), (1, 1), (0, 1))]
    return m


# ---------------------------------------------------------------------------------------------
# Animated objects
# ---------------------------------------------------------------------------------------------

def as_object(m):
    """Turns a model built nose along -z into the frame the player expects before its own turn."""
    m.transformed(lambda p: rot_y(p, MODEL_TURN))
    return m


def plane_model():
    """A small aerobatic monoplane, nose along -z, wings along x, about 8 units long."""
    m = MeshData("avion.jpg", "avion.jpg")
    c = (0.0, 0.0, 0.0)
    # Fuselage: tapered octagon from nose (z=-4) to tail (z=4).
    sections = [(-4.2, 0.35), (-3.6, 0.75), (-1.5, 0.85), (1.5, 0.6), (4.0, 0.22)]
    rings = []
    for z, r in sections:
        rings.append([(r * math.cos(math.radians(45 * i + 22.5)), r * math.sin(math.radians(45 * i + 22.5)) * 1.1, z)
                      for i in range(8)])
    for s in range(len(rings) - 1):
        for i in range(8):
            j = (i + 1) % 8
            mid_z = (sections[s][0] + sections[s + 1][0]) / 2
            mat = "red" if s != 0 else "dark"
            m.polygon_out([rings[s][i], rings[s][j], rings[s + 1][j], rings[s + 1][i]], (0, 0, mid_z), mat)
    for ring, z, mat in ((rings[0], -4.4, "dark"), (rings[-1], 4.2, "red")):
        tip = (0, 0, z)
        for i in range(8):
            m.polygon_out([ring[i], ring[(i + 1) % 8], tip], (0, 0, 0), mat)
    # Canopy.
    box(m, (0, 0.85, -0.6), (0.9, 0.5, 1.8), "dark")
    # Wings, tailplane and fin as thin boxes.
    box(m, (0, -0.2, -1.2), (9.0, 0.22, 2.0), "white")
    box(m, (4.3, -0.2, -1.2), (0.4, 0.26, 2.02), "red")
    box(m, (-4.3, -0.2, -1.2), (0.4, 0.26, 2.02), "red")
    box(m, (0, 0.1, 3.6), (3.4, 0.15, 1.1), "white")
    box(m, (0, 0.9, 3.7), (0.15, 1.5, 1.0), "red")
    # Propeller disc hint and wheels.
    box(m, (0, 0, -4.5), (2.2, 0.2, 0.08), "dark")
    for sx in (-1, 1):
        box(m, (sx * 0.9, -1.1, -2.0), (0.2, 0.7, 0.7), "dark")
    del c
    m.transformed(lambda p: (p[0] * 1.3, p[1] * 1.3, p[2] * 1.3))
    return as_object(m)


def balloon_model():
    """A hot-air balloon: a striped envelope of 16 gores above a wicker basket; origin at the
    envelope's middle."""
    m = MeshData("ballon.jpg", "ballon.jpg")
    profile = [(0.0, -7.5), (1.2, -6.8), (2.6, -5.0), (4.0, -2.5), (4.9, 0.5), (5.0, 2.8),
               (4.6, 4.8), (3.6, 6.4), (2.0, 7.4), (0.0, 7.8)]
    gores = 16
    for g in range(gores):
        a0, a1 = 2 * math.pi * g / gores, 2 * math.pi * (g + 1) / gores
        mat = "red" if g % 2 == 0 else "yellow"
        for k in range(len(profile) - 1):
            (r0, y0), (r1, y1) = profile[k], profile[k + 1]
            pts = [(r0 * math.cos(a0), y0, r0 * math.sin(a0)), (r0 * math.cos(a1), y0, r0 * math.sin(a1)),
                   (r1 * math.cos(a1), y1, r1 * math.sin(a1)), (r1 * math.cos(a0), y1, r1 * math.sin(a0))]
            if r0 == 0.0:
                pts = [pts[0], pts[2], pts[3]]
            elif r1 == 0.0:
                pts = pts[:3]
            mid = (0.0, (y0 + y1) / 2, 0.0)
            m.polygon_out(pts, mid, mat)
    box(m, (0, -9.6, 0), (1.8, 1.3, 1.8), "wicker")
    for sx in (-1, 1):
        for sz in (-1, 1):
            box(m, (sx * 0.85, -8.3, sz * 0.85), (0.08, 1.6, 0.08), "wicker")
    return as_object(m)


def sails_model():
    """Four windmill sails in the x-y plane around the hub at the origin, facing +z."""
    m = MeshData("ailes.jpg", "ailes.jpg")
    for k in range(4):
        a = math.radians(90.0 * k + 12.0)
        d, p = (math.cos(a), math.sin(a)), (-math.sin(a), math.cos(a))
        P = lambda r, w, z=0.0: (d[0] * r + p[0] * w, d[1] * r + p[1] * w, z)  # noqa: E731
        # Canvas on one side of the stock, a lattice-like frame by the stock itself.
        double_sided(m, [P(1.4, 0.15, 0.05), P(8.6, 0.15, 0.05), P(8.6, 1.9, 0.05), P(1.4, 1.5, 0.05)], "canvas",
                     level=3)
        stock = [P(0.3, -0.15, 0.12), P(9.0, -0.15, 0.12), P(9.0, 0.15, 0.12), P(0.3, 0.15, 0.12)]
        double_sided(m, stock, "wood", level=1)
    box(m, (0, 0, 0.05), (0.8, 0.8, 0.5), "wood")
    return as_object(m)


# ---------------------------------------------------------------------------------------------
# Paths (one control point per second; point i is reached i - 1 seconds into the scene)
# ---------------------------------------------------------------------------------------------

PLANE_X = 4.0
PLANE_SPEED = 15.0


def plane_flight(seconds):
    """Positions and (pitch, roll) of the plane at 20 samples per second, from a list of
    manoeuvres flown at constant speed in the vertical plane x = PLANE_X."""
    radius = 12.0
    pitch_rate = math.degrees(PLANE_SPEED / radius)
    loop, half = 360.0 / pitch_rate, 180.0 / pitch_rate
    # (duration, pitch rate, roll rate) in degrees per second; the cycle repeats.
    cycle = [(3.0, 0, 0), (loop, pitch_rate, 0), (1.5, 0, 0), (2.0, 0, 180.0), (1.0, 0, 0),
             (half, pitch_rate, 0), (1.2, 0, 150.0),            # Immelmann: climb and turn back
             (2.0, 0, 0), (2.4, 0, 150.0), (2.0, 0, 0),           # a slow roll heading +z
             (1.2, 0, 150.0), (half, pitch_rate, 0), (1.3, 0, 0)]  # split-S: dive and turn back
    # Angles are exact piecewise-linear functions of time; the position is integrated finely.
    timeline, t, pitch, roll = [], -1.0, 0.0, 0.0
    for dur, pr, rr in cycle * 20:
        timeline.append((t, dur, pr, rr, pitch, roll))
        t, pitch, roll = t + dur, pitch + pr * dur, roll + rr * dur
        if t > seconds + 3:
            break

    def angles(at):
        for t0, dur, pr, rr, p0, r0 in timeline:
            if at <= t0 + dur:
                return p0 + pr * (at - t0), r0 + rr * (at - t0)
        return timeline[-1][4], timeline[-1][5]

    y, z, t, dt = 44.0, 50.0, -1.0, 0.01
    samples = []
    while t <= seconds + 2:
        pitch, roll = angles(t)
        if abs(t - round(t)) < dt / 2:
            samples.append((round(t), (PLANE_X, y, z), pitch, roll))
        a = math.radians(angles(t + dt / 2)[0])
        y += PLANE_SPEED * math.sin(a) * dt
        z -= PLANE_SPEED * math.cos(a) * dt
        t += dt
    return samples


def plane_points(seconds):
    flight = plane_flight(seconds)
    pts = []
    for i in range(seconds + 3):
        t, pos, pitch, roll = min(flight, key=lambda f: abs(f[0] - (i - 1)))
        pts.append((pos, (pitch, 0.0, roll)))
    return pts


BALLOON_CENTRE = (0.0, 25.0, -22.0)
BALLOON_POINTS = 40


def balloon_position(tau):
    a = 2 * math.pi * (tau + 1) / BALLOON_POINTS
    cx, cy, cz = BALLOON_CENTRE
    return (cx + 44 * math.cos(a), cy + 4.0 * math.sin(2 * a + 0.7), cz + 38 * math.sin(a))


def balloon_points():
    """A closed ring: one circuit of the valley in BALLOON_POINTS seconds, bobbing and swaying."""
    pts = []
    for i in range(BALLOON_POINTS):
        a = 2 * math.pi * i / BALLOON_POINTS
        pts.append((balloon_position(i - 1), (4.0 * math.sin(3 * a), 0.0, 3.0 * math.cos(2 * a + 1.0))))
    return pts


def sails_points(seconds):
    """Sails turning at a steady 20 degrees per second about the hub."""
    return [(mill_hub(), (0.0, 0.0, -20.0 * (i - 1))) for i in range(seconds + 3)]


# Camera: key views every 8 seconds (position, look-at), smoothed into one point per second.
CAMERA_KEYS = [
    ((6, 34, 118), (4, 8, -10)),
    ((8, 30, 104), (4, 8, -14)),      # the whole valley from the south, high
    ((20, 24, 84), (14, 6, -10)),
    ((34, 15, 58), (24, 3, 4)),       # down towards the river
    ((38, 8, 32), (24, 2, 4)),        # the bridge from the east bank
    ((24, 7, 20), (-6, 4, -22)),      # past the bridge, turning to the cottage
    ((4, 8, 8), (-14, 4, -28)),       # the cottage
    ((-16, 10, 6), (-36, 8, -26)),
    ((-30, 13, 22), (-50, 10, -8)),   # the windmill from the south-east
    ((-52, 15, 30), (-50, 11, -8)),   # the windmill face on
    ((-62, 18, 40), (-20, 24, -10)),  # turning east, the balloon and the plane above the valley
    ((-40, 24, 50), (0, 40, 0)),      # looking up at the aerobatics
    ((-28, 27, 58), (4, 46, -14)),
    ((-8, 30, 66), (4, 44, -20)),
    ((20, 32, 74), (20, 30, -30)),    # smoke trails over the valley and the ruins
    ((50, 36, 80), (38, 16, -40)),
    ((66, 40, 60), (40, 12, -44)),
    ((76, 44, 36), (30, 14, -30)),
]
KEY_SECONDS = 6.0


def _catmull(p0, p1, p2, p3, t):
    t2, t3 = t * t, t * t * t
    return tuple(0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 + (-a + 3 * b - 3 * c + d) * t3)
                 for a, b, c, d in zip(p0, p1, p2, p3))


def _keyed(keys, tau):
    """Smooth curve through key values spaced KEY_SECONDS apart, key 1 at tau = 0."""
    f = tau / KEY_SECONDS + 1.0
    i = int(clamp(math.floor(f), 1, len(keys) - 3))
    return _catmull(keys[i - 1], keys[i], keys[i + 1], keys[i + 2], f - i)


def camera_points(seconds, plane):
    """The flight: key views smoothed, and for the last third of the scene the look-at point
    drawn towards the plane, whose smoke trail starts then."""
    pos = [k[0] for k in CAMERA_KEYS]
    tgt = [k[1] for k in CAMERA_KEYS]
    points = []
    for i in range(seconds + 5):
        tau = i - 1
        target = _keyed(tgt, tau)
        follow = 0.6 * smoothstep(54.0, 62.0, tau) * (1.0 - smoothstep(84.0, 92.0, tau))
        aim = play(plane, tau)[0]
        target = tuple(t + (a - t) * follow for t, a in zip(target, aim))
        points.append((_keyed(pos, tau), target))
    return points


def play(points, tau, loop=False):
    """Where a trajectory of the given points is after tau seconds of scene (as the player
    plays it: Catmull-Rom, one segment a second, from point 1)."""
    n = len(points)
    seg = int(math.floor(tau))
    t = tau - seg
    if loop:
        quad = [points[(seg + k) % n] for k in range(4)]
    else:
        if tau < 0:
            seg, t = 0, 0.0
        seg = min(seg, n - 4)
        quad = points[seg:seg + 4]
    pos = _catmull(*[q[0] for q in quad], t)
    tgt = _catmull(*[q[1] for q in quad], t)
    return pos, tgt


# ---------------------------------------------------------------------------------------------
# Checks of the flight
# ---------------------------------------------------------------------------------------------

SOLIDS = [(T.HOUSE, 9.0, 12.0), (T.MILL, 5.0, 18.0), (T.RUINS, 9.0, 10.0)]


def in_view(eye, target, point):
    fwd = norm(sub(target, eye))
    v = sub(point, eye)
    dist = math.sqrt(dot(v, v))
    if dist < 1e-6:
        return False
    return dot(fwd, v) / dist > math.cos(math.radians(27.0))


def check_flight(cam, plane, balloon, trees):
    """Fails the build of the content when the camera goes through something; reports what
    it keeps in view."""
    problems = []
    seen_trees, seen_objects = [], []
    for k in range(SCENE_SECONDS * 4 + 1):
        tau = k / 4.0
        eye, target = play(cam, tau)
        ground = T.height(eye[0], eye[2])
        if eye[1] - ground < 4.0:
            problems.append("%.1fs: camera %.1f above the ground" % (tau, eye[1] - ground))
        for (sx, sz), r, h in SOLIDS:
            if math.hypot(eye[0] - sx, eye[2] - sz) < r + 3.0 and eye[1] < T.height(sx, sz) + h + 3.0:
                problems.append("%.1fs: camera inside a building at %s" % (tau, (sx, sz)))
        objs = [play(plane, tau)[0], play(balloon, tau, loop=True)[0], mill_hub()]
        for o in objs[:2]:
            if math.dist(eye, o) < 14.0:
                problems.append("%.1fs: camera %.1f from a flying object" % (tau, math.dist(eye, o)))
        seen_trees.append(sum(in_view(eye, target, (x, T.height(x, z) + h / 2, z)) for _, x, z, h in trees))
        seen_objects.append(sum(in_view(eye, target, o) for o in objs))
    if problems:
        raise SystemExit("make-content: the camera flight is not clear:\n  " + "\n  ".join(problems[:20]))
    blind = sum(1 for s in seen_objects if s == 0) / len(seen_objects)
    print("make-content: flight clear; trees in view min %d mean %.1f; no object in view %.0f%% of the time"
          % (min(seen_trees), sum(seen_trees) / len(seen_trees), 100 * blind))


# ---------------------------------------------------------------------------------------------
# Map file
# ---------------------------------------------------------------------------------------------

LAMPS = [((60, 80, 70), (1.0, 0.95, 0.85), 1.0),     # the sun's side
         ((-80, 40, -60), (0.45, 0.55, 0.75), 0.6),  # sky fill
         ((-14, 5, -20), (1.0, 0.7, 0.4), 0.8)]      # warm light by the cottage door


def main():
    os.makedirs(MAP_DIR, exist_ok=True)
    world = {"sol": ground(), "rochers": rocks(), "maison": house(), "moulin": mill(), "pont": bridge(),
             "ruines": ruins()}
    for name, mesh in world.items():
        write_mesh(os.path.join(MAP_DIR, name + ".msh"), mesh, places=2 if name == "sol" else 3)

    plane = plane_points(SCENE_SECONDS + 8)
    cam = camera_points(SCENE_SECONDS, plane)
    balloon = balloon_points()
    sails = sails_points(SCENE_SECONDS + 8)
    write_trajectory(os.path.join(MAP_DIR, "camera.dpl"), "demo: vol de la camera", cam)
    write_trajectory(os.path.join(MAP_DIR, "avion.dpl"), "demo: voltige (tangage, -, roulis)", plane)
    write_trajectory(os.path.join(MAP_DIR, "montgolfiere.dpl"), "demo: tour de la vallee", balloon, loop=True)
    write_trajectory(os.path.join(MAP_DIR, "ailes.dpl"), "demo: ailes du moulin", sails)
    write_mesh(os.path.join(MAP_DIR, "avion.msh"), plane_model(), option=64)
    write_mesh(os.path.join(MAP_DIR, "montgolfiere.msh"), balloon_model())
    write_mesh(os.path.join(MAP_DIR, "ailes.msh"), sails_model())

    # Trees are drawn without depth writes, in map order: list the ones the camera sees from
    # farthest away first, so nearer trees are blended over farther ones.
    def mean_distance(tr):
        _, x, z, h = tr
        return sum(math.dist(play(cam, k)[0], (x, T.height(x, z), z)) for k in range(SCENE_SECONDS)) / SCENE_SECONDS

    trees = sorted(TREES, key=mean_distance, reverse=True)
    tree_names = []
    for k, tr in enumerate(trees):
        name = "arbre%02d" % (k + 1)
        write_mesh(os.path.join(MAP_DIR, name + ".msh"), tree(*tr))
        tree_names.append(name)

    check_flight(cam, plane, balloon, trees)

    lines = ["Demo de Skarn : la vallee du moulin", "position : 0 12 60", "cible : 0 5 0", "anime : 1",
             "lampes (%d) :" % len(LAMPS)]
    for pos, col, intensity in LAMPS:
        lines += ["position : %g %g %g" % pos, "couleur : %g %g %g" % col, "intensite : %g" % intensity]
    lines.append("monde (%d) :" % len(world))
    lines += list(world)
    lines += ["objets (3) :", "avion", "montgolfiere", "ailes"]
    lines.append("arbres (%d) :" % len(tree_names))
    lines += tree_names
    with open(os.path.join(MAP_DIR, "demo.mde"), "w") as f:
        f.write("\n".join(lines) + "\n")
    print("make-content: map/demo (%d world meshes, 3 objects, %d trees)" % (len(world), len(tree_names)))


if __name__ == "__main__":
    main()
