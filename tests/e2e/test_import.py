"""skarn-import on real models of other tools (Debian's assimp-testmodels, read where they are
installed) and on scenes written here: each map passes the checker and plays; an animated node
is where its keys put it at two show times; bad input writes nothing; nothing is overwritten."""

import json
import math
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import gltf_maker
import harness as h

IMPORT = os.environ.get("SKARN_IMPORT_BIN", os.path.join(h.ROOT, "build", "skarn-import"))
CHECK = os.environ.get("SKARN_CHECK_BIN", os.path.join(h.ROOT, "build", "skarn-check"))
MODELS = "/usr/share/assimp/models"
BLENDER = os.path.join(h.ROOT, "tests", "data", "blender")  # made by tools/blender-scenes.py
REAL = [("boxglb", "glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", True, []),
        ("duck", "Collada/duck.dae", True, []),
        ("lights", "Collada/lights.dae", True, []),
        ("objbox", "OBJ/box.obj", True, []),
        ("fbxcube", "FBX/phong_cube.fbx", True, ["--scale", "100"]),  # a 1 cm cube
        ("blend", "BLEND/BlenderDefault_276.blend", True, []),  # z-up: its camera above the ground
        ("cameras", "glTF2/cameras/Cameras.gltf", False, []),
        ("fullturns", "Collada/anims_with_full_rotations_between_keys.DAE", False, [])]
RED = (200, 30, 30)


def run_import(workdir, *args):
    return subprocess.run([IMPORT] + list(args), cwd=workdir, capture_output=True)


def read_text(path):
    with open(path) as f:
        return f.read()


def check(workdir, name):
    return subprocess.run([CHECK, name], cwd=workdir, capture_output=True)


def moving_box_scene(folder, more=lambda g: None):
    """A red box keyed to stay at x = -6 until 2 s, cross to 6 by 3 s and stay there until 5 s;
    a camera at z = 20 looking at it; and what `more` adds."""
    h.write_solid_jpg(os.path.join(folder, "red.jpg"), RED)
    g = gltf_maker.Gltf()
    box = g.node("mover", g.mesh(g.material("red.jpg"), 1.5), (-6, 0, 0))
    g.keys(box, [0, 2, 3, 5], "translation", [(-6, 0, 0), (-6, 0, 0), (6, 0, 0), (6, 0, 0)])
    g.node("view", translation=(0, 0, 20), camera=True)
    more(g)
    h.write_file(os.path.join(folder, "moving.gltf"), g.text())
    return os.path.join(folder, "moving.gltf")


def red_columns(shot):
    """Mean x of the clearly red pixels of the view, or None."""
    xs = [x for y in range(100, 380, 4) for x in range(0, 640, 2) if h.close_to(shot.pixel(x, y), RED, 40)]
    return sum(xs) / len(xs) if len(xs) > 20 else None


class RealModels(h.PlayerTest):
    def test_real_models_import_check_and_play(self):
        h.make_show_pictures(self.workdir)
        for name, model, framed, options in REAL:
            with self.subTest(model=model):
                result = run_import(self.workdir, os.path.join(MODELS, model), name, *options)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                self.assertTrue(result.stdout.endswith(b"next step: skarn " + name.encode() + b"\n"))
                checked = check(self.workdir, name)
                self.assertEqual(checked.returncode, 0, checked.stdout)
                self.assertNotIn(b": error:", checked.stdout)
                eye = read_text(os.path.join(self.workdir, "map", name, name + ".mde")).splitlines()[1].split()
                self.assertTrue(name != "blend" or float(eye[3]) > 1, eye)  # Blender's camera above
                player = self.start([name])
                self.assertTrue(player.wait_for_output(h.LOADED), player.stdout())
                shot = self.shot_at(player, 30)
                self.assertTrue(h.black_bands(shot))
                # The scene phase, not the logo: the player shows it only for maps with an object
                # or a tree, so the importer sees to one.
                self.assertTrue(any(h.close_to(shot.mean(x, 60, x + 20, 80), sky, 12)
                                    for x in range(0, 620, 20) for sky in h.SKY_COLORS), "no sky in view")
                if framed:
                    # The model fills the middle of the view, in front of the sky.
                    middle = shot.mean(300, 220, 340, 260)
                    self.assertFalse(any(h.close_to(middle, sky, 12) for sky in h.SKY_COLORS), middle)
                player.key("Escape")
                self.assertEqual(player.wait_exit(), 0)

    def test_an_animated_node_moves_through_its_keys_and_pictures_stay_upright(self):
        h.make_show_pictures(self.workdir)
        subprocess.run(["convert", "-size", "32x16", "xc:rgb(30,200,30)", "-size", "32x16", "xc:rgb(30,30,200)",
                        "-append", os.path.join(self.workdir, "updown.png")], check=True)
        panel = lambda g: g.node("panel", g.mesh(g.material("updown.png"), 2, gltf_maker.PANEL), (0, 6, 0))
        result = run_import(self.workdir, moving_box_scene(self.workdir, panel), "moving")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn(b"mover.dpl: a path of 5 s against the 97 s scene", result.stdout)
        self.assertEqual(check(self.workdir, "moving").returncode, 0)
        player = self.start(["moving"])
        self.assertTrue(player.wait_for_output(h.LOADED))
        # The scene starts at 25 s: the box holds its first key until 27 s, crosses the middle at
        # 27.5 s and holds its last key from 28 s. The clock runs on 1.5 s before the shot.
        shots = {}
        for s in (25.5, 27.5, 29.5, 40.5):
            player.set_clock(s - 1.5)
            time.sleep(1.5)
            shots[s] = player.screenshot()
        at = {s: red_columns(shot) for s, shot in shots.items()}
        self.assertNotIn(None, at.values(), at)
        self.assertLess(at[25.5], 260, at)
        self.assertAlmostEqual(at[25.5] + at[29.5], 640, delta=8)
        self.assertAlmostEqual(at[40.5], at[29.5], delta=3)
        self.assertTrue(at[25.5] + 10 < at[27.5] < at[29.5] - 10, at)  # on its way
        # The picture's top (green) above its bottom (blue), as the 3D tool showed it.
        for y, colour in ((7, (30, 200, 30)), (5, (30, 30, 200))):
            px, py = map(int, project((0, 0, 20), (0, 0, 10), (0, y, 0)))
            self.assertTrue(h.close_to(shots[40.5].mean(px - 15, py - 8, px + 15, py + 8), colour, 40), (y, px, py))


def y_up(p):
    """Blender's z-up frame turned as the importer turns it."""
    return (p[0], p[2], -p[1])


def numbers(path):
    """The number triples of a map file: a mesh's vertices, or a path's points."""
    lines = read_text(path).splitlines()
    count = int(lines[0].split("(")[1].split(")")[0]) if path.endswith(".msh") else len(lines)
    rows = lines[1:1 + count] if path.endswith(".msh") else lines[6:]
    return [tuple(map(float, line.split())) for line in rows if line.strip()]


def near(a, b, tolerance=0.02):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def box(points):
    """Centre and size of the points' box."""
    low, high = [min(p[k] for p in points) for k in range(3)], [max(p[k] for p in points) for k in range(3)]
    return [(l + u) / 2 for l, u in zip(low, high)], [u - l for l, u in zip(low, high)]


def project(eye, target, p):
    """Pixel of p through the player's view: gluLookAt, 60 degrees, aspect 1, 640 x 380 viewport
    between the 50-row bands."""
    dot = lambda a, b: sum(x * y for x, y in zip(a, b))
    unit = lambda a: [x / math.sqrt(dot(a, a)) for x in a]
    f = unit([t - e for t, e in zip(target, eye)])
    s = unit([-f[2], 0, f[0]])  # f x up
    u = [s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]]
    d = [x - e for x, e in zip(p, eye)]
    scale = 1 / math.tan(math.radians(30)) / dot(d, f)
    return 320 + 320 * scale * dot(d, s), 240 - 190 * scale * dot(d, u)


class BlenderScenes(h.PlayerTest):
    """Scenes built and exported by Blender 3.4 come in where Blender has them: the camera, every
    object at the recorded seconds (the earliest key plays at show second 25), sizes in metres."""

    def check_numbers(self, folder, made, animated):
        mde = read_text(os.path.join(folder, os.path.basename(folder) + ".mde")).splitlines()
        eye, target = [tuple(map(float, mde[k].split(":")[1].split())) for k in (1, 2)]
        first = made["moments"]["0"]
        if animated:
            self.assertTrue(near(eye, y_up(first["view"]["position"])), eye)
            self.assertTrue(near([(t - e) / 10 for t, e in zip(target, eye)], y_up(first["view"]["look"]), 1e-3))
            lamp = mde[mde.index("lampes (1) :") + 1].split(":")[1].split()
            self.assertTrue(near(map(float, lamp), y_up(first["lamp"]["position"])), lamp)
        for thing in first:
            path = os.path.join(folder, ("camera" if thing == "view" else thing) + ".dpl")
            if animated and os.path.exists(path):
                points = numbers(path)[2::2]  # positions from the scene's start, once a second
                for s, at in made["moments"].items():
                    self.assertTrue(near(points[int(s)], y_up(at[thing]["position"])), (thing, s, points[int(s)]))
            elif thing == "post":  # still: where it stands, 2 m a side
                centre, size = box(numbers(os.path.join(folder, "post.msh")))
                self.assertTrue(near(centre, y_up(first["post"]["position"])) and near(size, (2, 2, 2)), size)
        if animated and "bar" in first:
            # A spin about the vertical: no tumble. The moving bar has its still twin's shape.
            self.assertTrue(all(near(a, (0, 0, 0), 1e-3) for a in numbers(os.path.join(folder, "spinner.dpl"))[1::2]))
            c, s = math.cos(math.radians(30)), math.sin(math.radians(30))
            bar = sorted((round(c * x - s * z, 2), round(y, 2), round(s * x + c * z, 2))
                         for x, y, z in numbers(os.path.join(folder, "bar.msh")))
            twin = numbers(os.path.join(folder, "twin.msh"))
            self.assertEqual(bar, sorted(tuple(round(v - m, 2) for v, m in zip(p, box(twin)[0])) for p in twin))
        return eye, target

    def test_exports_land_where_blender_puts_them(self):
        h.make_show_pictures(self.workdir)
        views = {}
        for scene in ("walk.glb", "walk.fbx", "walk-all.fbx", "walk.dae", "walk.obj",
                      "rig.glb", "rig.fbx", "rig.dae", "rig.obj"):
            with self.subTest(scene=scene):
                name = scene.replace(".", "_").replace("-", "_")
                result = run_import(self.workdir, os.path.join(BLENDER, scene), name)
                self.assertEqual(result.returncode, 0, result.stdout)
                self.assertEqual(check(self.workdir, name).returncode, 0)
                with open(os.path.join(BLENDER, scene.split(".")[0].split("-")[0] + ".json")) as f:
                    views[name] = self.check_numbers(os.path.join(self.workdir, "map", name), json.load(f),
                                                     not scene.endswith(".obj"))
        # On frames: the still red post and the textured crate, on its last key from show second
        # 35, where the player's projection of Blender's numbers puts them; the crate's blue and
        # magenta are not tinted by the red drawn before it.
        cube = lambda x, z: [(x + dx, 1 + dy, z + dz) for dx in (-1, 1) for dy in (-1, 1) for dz in (-1, 1)]
        red = lambda p: p[0] > 90 and p[0] > 2.5 * max(p[1], p[2])
        crate = lambda p: p[2] > 60 and p[2] > 2 * p[1]
        def boxes(shot, eye, target):
            """Per cube: the box its projected corners span, and the box of its colour nearby."""
            out = []
            for corners, colour in ((cube(-3, -3), red), (cube(4, -4), crate)):
                xs, ys = zip(*(project(eye, target, c) for c in corners))
                found = [(x, y) for y in range(int(min(ys)) - 30, int(max(ys)) + 30)
                         for x in range(int(min(xs)) - 30, int(max(xs)) + 30) if colour(shot.pixel(x, y))]
                fx, fy = zip(*found) if len(found) > 50 else ((0,), (0,))
                out.append(((min(xs), min(ys), max(xs), max(ys)), (min(fx), min(fy), max(fx), max(fy))))
            return out
        for name in ("walk_glb", "walk_fbx"):
            player = self.start([name])
            self.assertTrue(player.wait_for_output(h.LOADED))
            for second in (37, 40, 43):  # a loaded machine may show an older frame: look again
                found = boxes(self.shot_at(player, second), *views[name])
                if all(near(wanted, got, 4) for wanted, got in found):
                    break
            self.assertTrue(all(near(wanted, got, 4) for wanted, got in found), (name, found))
            player.key("Escape")
            self.assertEqual(player.wait_exit(), 0)


class Console(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir()
        self.addCleanup(h.cleanup, self.workdir)

    def test_bad_input_writes_nothing(self):
        h.write_file(os.path.join(self.workdir, "notes.xyz"), "not a scene at all\n")
        h.write_file(os.path.join(self.workdir, "empty.gltf"),
                     '{"asset": {"version": "2.0"}, "scenes": [{"nodes": [0]}], "nodes": [{"name": "n"}]}')
        for scene, reason in (("missing.obj", b"no such file"), ("notes.xyz", b""),
                              ("empty.gltf", b"")):
            with self.subTest(scene=scene):
                result = run_import(self.workdir, scene, "m")
                self.assertEqual(result.returncode, 1)
                self.assertRegex(result.stdout, rb"\A" + scene.encode() + rb": [^\n]*" + reason + rb"[^\n]*\n\Z")
                self.assertFalse(os.path.exists(os.path.join(self.workdir, "map")))
                self.assertFalse(os.path.exists(os.path.join(self.workdir, "textures")))
        for args in ([], ["a"], ["--scale", "0", "a", "b"], ["--bogus", "a", "b"]):
            self.assertEqual(run_import(self.workdir, *args).returncode, 1)

    def test_existing_maps_pictures_trees_and_emitters(self):
        # textures/ on another file system: the pictures still land there with their map.
        w = self.workdir
        elsewhere = tempfile.mkdtemp(dir="/dev/shm")
        self.addCleanup(shutil.rmtree, elsewhere)
        os.symlink(elsewhere, os.path.join(w, "textures"))
        scene = moving_box_scene(w)
        self.assertIn(b"wrote textures/red.jpg", run_import(w, scene, "m").stdout)
        self.assertEqual(os.listdir(elsewhere), ["red.jpg"])
        self.assertIn("texture : red.jpg", read_text(os.path.join(w, "map/m/mover.msh")))
        mde = os.path.join(w, "map/m/m.mde")
        h.write_file(mde, "mine\n")
        again = run_import(w, scene, "m")
        self.assertEqual((again.returncode, again.stdout), (1, b"map/m: the map exists already (--force replaces it)\n"))
        self.assertEqual(read_text(mde), "mine\n")
        # Same picture, same bytes: reused; another picture of that name: a new name.
        forced = run_import(w, scene, "m", "--force")
        self.assertEqual(forced.returncode, 0)
        self.assertIn(b"uses textures/red.jpg (already there)", forced.stdout)
        self.assertNotEqual(read_text(mde), "mine\n")
        # A tree of a half see-through picture and an emitter turning about the vertical, doubled.
        h.write_solid_jpg(os.path.join(w, "red.jpg"), (30, 200, 30))
        subprocess.run(["convert", "-size", "16x16", "xc:rgba(20,140,20,0.5)", os.path.join(w, "leaf.png")], check=True)
        g = gltf_maker.Gltf()
        red, leaf = g.material("red.jpg"), g.material("leaf.png", blend=True)
        g.node("tree", g.mesh(leaf, 2, gltf_maker.PANEL), (4, 0, 0))
        plane = g.node("plane_particles", g.mesh(red), (0, 5, 0))
        half = math.sqrt(0.5)
        g.keys(plane, [0, 1], "rotation", [(0, 0, 0, 1), (0, half, 0, half)])  # 90 degrees of yaw
        h.write_file(os.path.join(w, "s.gltf"), g.text())
        other = run_import(w, "s.gltf", "n", "--scale", "2")
        self.assertEqual(other.returncode, 0, other.stdout)
        self.assertIn(b"wrote textures/red_2.jpg", other.stdout)
        self.assertIn(b"node plane_particles turns up to 90 degrees about the vertical axis", other.stdout)
        self.assertIn("objets (1) :\nplane_particles\narbres (1) :\ntree\n", read_text(os.path.join(w, "map/n/n.mde")))
        plane_msh = read_text(os.path.join(w, "map/n/plane_particles.msh"))
        self.assertIn("option : 80\n", plane_msh)
        self.assertIn("texture : red_2.jpg\n", plane_msh)
        tree_msh = read_text(os.path.join(w, "map/n/tree.msh"))
        self.assertIn("texture : leaf.tga\n", tree_msh)
        self.assertIn("\n12 -4 0\n", tree_msh)  # corner (2, -2, 0) of a node at x = 4, doubled
        self.assertEqual(check(w, "n").returncode, 0)
        self.assertEqual([n for n in os.listdir(os.path.join(w, "map")) if n.startswith(".")], [])
        for name in ("m", "n"):  # the map's own files only
            files = os.listdir(os.path.join(w, "map", name))
            self.assertEqual([f for f in files if os.path.splitext(f)[1] not in (".mde", ".msh", ".dpl")], [])


if __name__ == "__main__":
    unittest.main()
