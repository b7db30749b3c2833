"""skarn-check: maps broken in each way an author can break them, each problem reported at its file
and line; the exit statuses; the demo map checking clean; no crash on garbage."""

import os
import random
import shutil
import subprocess
import unittest

import harness as h

CHECK = os.environ.get("SKARN_CHECK_BIN", os.path.join(h.ROOT, "build", "skarn-check"))

# A valid open camera flight that lasts the whole scene: 100 points are 97 one-second segments.
CAMERA = h.trajectory([(i, 5, 30, 0, 0, 0) for i in range(100)], curves=2)
BIRD_PATH = h.trajectory([(i, 3, 0, 10 * i, 0, 0) for i in range(6)], curves=2)


def run_check(workdir, *args):
    proc = subprocess.run([CHECK] + list(args), cwd=workdir, capture_output=True, timeout=60)
    return proc.returncode, proc.stdout.decode("latin-1").splitlines(), proc.stderr.decode("latin-1")


def line_of(text, needle, occurrence=1):
    """1-based line of the occurrence-th line of text that contains needle."""
    seen = 0
    for number, line in enumerate(text.splitlines(), 1):
        if needle in line:
            seen += 1
            if seen == occurrence:
                return number
    raise AssertionError("%r not in text" % needle)


def line_is(text, exact):
    """1-based line of the first line of text equal to exact."""
    return text.splitlines().index(exact) + 1


def drop_line_before(text, needle):
    """text without the line just before the first line that contains needle."""
    lines = text.splitlines(True)
    del lines[line_of(text, needle) - 2]
    return "".join(lines)


class CheckCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Show pictures and music are made once; every test writes a map of its own beside them.
        cls.workdir = h.new_workdir("skarn-check-")
        h.make_show_pictures(cls.workdir)
        h.write_music(cls.workdir, seconds=1)
        h.write_solid_jpg(os.path.join(cls.workdir, "textures/herbe.jpg"), (30, 160, 30))
        h.write_tga(os.path.join(cls.workdir, "textures/feuilles.tga"), 8, 8,
                    lambda x, y: (20, 120, 20, 200))

    @classmethod
    def tearDownClass(cls):
        h.cleanup(cls.workdir)

    def write_map(self, name, files):
        """Writes map/<name>/ from {file name: text}; returns the map directory's player path."""
        for file_name, text in files.items():
            h.write_file(os.path.join(self.workdir, "map", name, file_name), text)
        return "map/%s/" % name

    def valid_files(self, name):
        return {
            name + ".mde": h.map_file(lamps=[((10, 20, 10), (1, 1, 1), 1)], world=["sol", "rocher"],
                                      objects=["oiseau"], trees=["sapin"]),
            "sol.msh": h.box_mesh(20, (0.3, 0.6, 0.3), texture="herbe.jpg"),
            "rocher.msh": h.box_mesh(2, (0.5, 0.5, 0.5)),
            "oiseau.msh": h.box_mesh(1, (0.9, 0.1, 0.1), option=64),
            "oiseau.dpl": BIRD_PATH,
            "sapin.msh": h.box_mesh(3, (1, 1, 1), texture="feuilles.tga"),
            "camera.dpl": CAMERA,
        }

    def check(self, name, expect_status):
        status, out, err = run_check(self.workdir, name)
        self.assertEqual(status, expect_status, "\n".join(out) + err)
        self.assertTrue(out, "no summary line")
        return out

    def assertFinding(self, out, place, kind, *words):
        """One output line starts with "place: kind:" and holds every word."""
        prefix = "%s: %s: " % (place, kind)
        hits = [l for l in out if l.startswith(prefix) and all(w in l for w in words)]
        self.assertTrue(hits, "no %r line with %r in:\n%s" % (prefix, words, "\n".join(out)))

    def assertSummary(self, out, errors, warnings):
        self.assertEqual(out[-1], "%d errors, %d warnings" % (errors, warnings), "\n".join(out))


class CleanAndUsage(CheckCase):
    def test_valid_map_checks_clean(self):
        self.write_map("propre", self.valid_files("propre"))
        out = self.check("propre", 0)
        self.assertEqual(out, ["0 errors, 0 warnings"])

    def test_usage_errors(self):
        for args in ([], ["a", "b"]):
            status, out, err = run_check(self.workdir, *args)
            self.assertEqual(status, 2)
            self.assertEqual(out, [])
            self.assertIn("usage", err)

    def test_missing_map_file(self):
        out = self.check("absente", 1)
        self.assertFinding(out, "map/absente/absente.mde", "error", "cannot open")
        self.assertSummary(out, 1, 0)

    def test_demo_map_checks_clean(self):
        if not os.path.isdir(os.path.join(h.ROOT, "map", "demo")):
            self.skipTest("map/demo is not there")
        status, out, err = run_check(h.ROOT, "demo")
        self.assertEqual(status, 0, "\n".join(out) + err)
        self.assertEqual(out, ["0 errors, 0 warnings"])


class MeshFaults(CheckCase):
    def test_each_broken_mesh_reported_and_the_check_goes_on(self):
        files = self.valid_files("maillage")
        good = h.box_mesh(2, (0.5, 0.5, 0.5))
        bad = {
            # A misspelt section word breaks the grammar.
            "faute.msh": good.replace("normales", "normals"),
            "negatif.msh": good.replace("faces (12)", "faces (-12)"),
            # Two corners past the eight vertices: both are reported.
            "indice.msh": good.replace("0 1 5\n", "0 8 5\n").replace("0 5 4\n", "0 5 9\n"),
            "normales.msh": drop_line_before(good.replace("normales (8)", "normales (7)"),
                                             "couleur"),
            "uv.msh": h.box_mesh(2, (1, 1, 1), texture="herbe.jpg").replace(
                "uv mapping (12) :\n0,0 1,0 1,1\n", "uv mapping (11) :\n"),
            # One vertex line short: the count no longer matches what follows.
            "court.msh": good.replace("vertices (8)", "vertices (9)"),
            # One uv line more than announced.
            "long.msh": h.box_mesh(2, (1, 1, 1), texture="herbe.jpg") + "0,0 1,0 1,1\n",
        }
        names = sorted(n[:-4] for n in bad)
        files["maillage.mde"] = h.map_file(world=["sol"] + names, objects=["oiseau"], trees=["sapin"])
        files.update(bad)
        d = self.write_map("maillage", files)
        out = self.check("maillage", 1)
        self.assertFinding(out, d + "faute.msh:%d" % line_of(bad["faute.msh"], "normals"), "error",
                           "normales")
        self.assertFinding(out, d + "negatif.msh:%d" % line_of(bad["negatif.msh"], "faces"), "error",
                           "negative")
        self.assertFinding(out, d + "indice.msh:%d" % line_of(bad["indice.msh"], "0 8 5"), "error", "8")
        self.assertFinding(out, d + "indice.msh:%d" % line_of(bad["indice.msh"], "0 5 9"), "error", "9")
        self.assertFinding(out, d + "normales.msh:%d" % line_of(bad["normales.msh"], "normales"),
                           "error", "7 normals", "8 vertices")
        self.assertFinding(out, d + "uv.msh:%d" % line_of(bad["uv.msh"], "uv mapping"), "error",
                           "11 uv", "12 faces")
        self.assertFinding(out, d + "court.msh:%d" % line_of(bad["court.msh"], "faces ("), "error")
        self.assertFinding(out, d + "long.msh:%d" % (len(bad["long.msh"].splitlines())), "error",
                           "uv mapping (12)")
        # One error per broken file and two for the two indices; nothing else.
        self.assertSummary(out, 8, 0)

    def test_missing_files_are_errors(self):
        files = self.valid_files("trous")
        for gone in ("rocher.msh", "oiseau.dpl", "camera.dpl"):
            del files[gone]
        d = self.write_map("trous", files)
        out = self.check("trous", 1)
        self.assertFinding(out, d + "rocher.msh", "error", "mesh", "trous.mde:")
        self.assertFinding(out, d + "oiseau.dpl", "error", "trajectory")
        self.assertFinding(out, d + "camera.dpl", "error", "camera")
        self.assertSummary(out, 3, 0)

    def test_map_file_grammar_break_keeps_the_lists_read_before_it(self):
        files = self.valid_files("casse")
        text = files["casse.mde"].replace("objets (1)", "objet (1)").replace("rocher", "caillou")
        files["casse.mde"] = text
        d = self.write_map("casse", files)
        out = self.check("casse", 1)
        self.assertFinding(out, d + "casse.mde:%d" % line_of(text, "objet ("), "error", "objets")
        # The world list came before the break: its missing mesh is still found.
        self.assertFinding(out, d + "caillou.msh", "error", "cannot open")
        self.assertSummary(out, 2, 0)

    def test_fewer_names_than_the_count(self):
        files = self.valid_files("court")
        text = files["court.mde"].replace("monde (2)", "monde (3)")
        files["court.mde"] = text
        d = self.write_map("court", files)
        out = self.check("court", 1)
        # The list reads on into the next section word; that word is not taken for a mesh.
        self.assertFinding(out, d + "court.mde:%d" % line_of(text, "objets ("), "error", "objets",
                           "more names")
        self.assertSummary(out, 1, 0)

    def test_more_names_than_the_count_and_the_lamp_limit(self):
        files = self.valid_files("compte")
        lamps = [((i, 10, 0), (1, 1, 1), 1) for i in range(8)]
        text = h.map_file(lamps=lamps, world=["sol"], objects=["oiseau"], trees=["sapin"]) + "rocher\n"
        files["compte.mde"] = text
        d = self.write_map("compte", files)
        out = self.check("compte", 1)
        self.assertFinding(out, d + "compte.mde:%d" % line_of(text, "lampes ("), "error", "8 lamps")
        self.assertFinding(out, d + "compte.mde:%d" % len(text.splitlines()), "error", "arbres (1)")
        self.assertSummary(out, 2, 0)


class Suspicious(CheckCase):
    def test_values_and_textures_that_load_but_look_wrong(self):
        files = self.valid_files("louche")
        text = h.map_file(lamps=[((0, 9, 0), (1.5, 1, 1), 1), ((0, 9, 0), (1, 1, 1), -0.25)],
                          world=["sol", "rouge", "png", "abime"], objects=["oiseau"],
                          trees=["sapin", "nu"])
        files["louche.mde"] = text
        files["rouge.msh"] = h.box_mesh(2, (2, 0, 0))
        files["png.msh"] = h.box_mesh(2, (1, 1, 1), texture="mur.png")
        files["abime.msh"] = h.box_mesh(2, (1, 1, 1), texture="abime.JPG")
        files["sol.msh"] = h.box_mesh(2, (1, 1, 1), texture="absente.jpg")
        files["nu.msh"] = h.box_mesh(3, (1, 1, 1))
        h.write_file(os.path.join(self.workdir, "textures/mur.png"), b"\x89PNG not really")
        h.write_file(os.path.join(self.workdir, "textures/abime.JPG"), b"\xff\xd8\xff garbage")
        d = self.write_map("louche", files)
        out = self.check("louche", 0)
        mde = d + "louche.mde:"
        self.assertFinding(out, mde + str(line_of(text, "couleur : 1.5")), "warning", "lamp 0", "1.5")
        self.assertFinding(out, mde + str(line_of(text, "intensite : -0.25")), "warning", "lamp 1",
                           "-0.25")
        self.assertFinding(out, mde + str(line_is(text, "nu")), "warning", "tree", "texture")
        self.assertFinding(out, d + "rouge.msh:%d" % line_of(files["rouge.msh"], "couleur"),
                           "warning", "red 2")
        self.assertFinding(out, d + "png.msh:%d" % line_of(files["png.msh"], "texture :"), "warning",
                           "mur.png", "JPEG")
        self.assertFinding(out, "textures/mur.png", "warning", "can't read", "png.msh:")
        # Upper-case .JPG is a JPEG name; the picture itself is damaged.
        self.assertFinding(out, "textures/abime.JPG", "warning", "can't read")
        self.assertFinding(out, "textures/absente.jpg", "warning", "missing", "sol.msh:")
        self.assertSummary(out, 0, 8)

    def test_paths_that_play_wrongly(self):
        files = self.valid_files("chemins")
        files["chemins.mde"] = h.map_file(world=["sol"], objects=["oiseau", "pie", "fixe", "ronde"],
                                          trees=["sapin"])
        for name in ("pie", "fixe", "ronde"):
            files[name + ".msh"] = h.box_mesh(1, (1, 1, 1))
        files["pie.dpl"] = h.trajectory([(i, 0, 0, 0, 0, 0) for i in range(3)], curves=2)
        files["fixe.dpl"] = h.trajectory([(i, 0, 0) for i in range(8)], curves=1)
        # A ring of 3 points plays well: no warning.
        files["ronde.dpl"] = h.trajectory([(i, 0, 0, 0, 0, 0) for i in range(3)], curves=2, loop=1)
        files["camera.dpl"] = h.trajectory([(i, 5, 30, 0, 0, 0) for i in range(60)], curves=2)
        d = self.write_map("chemins", files)
        out = self.check("chemins", 0)
        self.assertFinding(out, d + "pie.dpl:%d" % line_of(files["pie.dpl"], "POSITIONS"), "warning",
                           "3 points")
        self.assertFinding(out, d + "fixe.dpl:%d" % line_of(files["fixe.dpl"], "CURVES"), "warning",
                           "never turns")
        self.assertFinding(out, d + "camera.dpl:%d" % line_of(files["camera.dpl"], "POSITIONS"),
                           "warning", "57 s", "97 s")
        self.assertSummary(out, 0, 3)

    def test_a_looping_camera_never_ends(self):
        files = self.valid_files("boucle")
        files["camera.dpl"] = h.trajectory([(i, 5, 30, 0, 0, 0) for i in range(10)], curves=2, loop=1)
        self.write_map("boucle", files)
        self.assertEqual(self.check("boucle", 0), ["0 errors, 0 warnings"])

    def test_point_counts_that_do_not_match(self):
        files = self.valid_files("points")
        files["points.mde"] = h.map_file(world=["sol"], objects=["oiseau", "pie"], trees=["sapin"])
        files["pie.msh"] = h.box_mesh(1, (1, 1, 1))
        # Long numbers, so that ten points could still fit in the bytes of six.
        six = h.trajectory([(100.5 + i, 3.25, 0.125, 10.5, 0.25, 0.75) for i in range(6)], curves=2)
        # Six points written, ten announced.
        files["oiseau.dpl"] = six.replace("POSITIONS 6", "POSITIONS 10")
        # Six points written, four announced.
        files["pie.dpl"] = six.replace("POSITIONS 6", "POSITIONS 4")
        d = self.write_map("points", files)
        out = self.check("points", 1)
        self.assertFinding(out, d + "oiseau.dpl:%d" % line_of(files["oiseau.dpl"], "POSITIONS"),
                           "error", "POSITIONS 10", "6 whole points")
        self.assertFinding(out, d + "pie.dpl:%d" % line_of(files["pie.dpl"], "104.5"), "error",
                           "POSITIONS 4")
        self.assertSummary(out, 2, 0)


class ShowFiles(unittest.TestCase):
    def test_missing_show_pictures_and_music_are_named(self):
        workdir = h.new_workdir("skarn-check-show-")
        try:
            h.make_show_pictures(workdir, skip=("fin.jpg", "Font.tga"))
            h.write_file(os.path.join(workdir, "textures/top.jpg"), b"not a picture")
            h.write_file(os.path.join(workdir, "map/vide/vide.mde"), h.map_file(anime=0))
            status, out, err = run_check(workdir, "vide")
            self.assertEqual(status, 0, "\n".join(out) + err)
            text = "\n".join(out)
            for name in ("textures/fin.jpg: warning: missing", "textures/Font.tga: warning: missing",
                         "textures/top.jpg: warning:", "media/musique.mp3: warning: missing"):
                self.assertIn(name, text)
            self.assertEqual(out[-1], "0 errors, 4 warnings")
        finally:
            h.cleanup(workdir)


class Garbage(CheckCase):
    def test_never_crashes_on_damaged_files(self):
        files = self.valid_files("chaos")
        rng = random.Random(1234)
        targets = ["chaos.mde", "sol.msh", "oiseau.dpl", "camera.dpl", "sapin.msh"]
        statuses = set()
        for round_number in range(150):
            damaged = dict(files)
            name = rng.choice(targets)
            data = bytearray(files[name].encode())
            how = round_number % 5
            if how == 0:
                data = data[:rng.randrange(len(data))]
            elif how == 1:
                for _ in range(rng.randint(1, 8)):
                    data[rng.randrange(len(data))] = rng.randrange(256)
            elif how == 2:
                at = rng.randrange(len(data))
                data[at:at] = rng.choice([b"-", b"99999999999", b"(", b"\n", b"\0", b"1e39", b"nan"])
            elif how == 3:
                at = rng.randrange(len(data))
                del data[at:at + rng.randint(1, 40)]
            else:
                data = bytearray(rng.randrange(256) for _ in range(rng.randint(0, 400)))
            damaged[name] = bytes(data)
            shutil.rmtree(os.path.join(self.workdir, "map", "chaos"), ignore_errors=True)
            self.write_map("chaos", damaged)
            status, out, err = run_check(self.workdir, "chaos")
            self.assertIn(status, (0, 1), "round %d (%s): status %d\n%s" % (round_number, name, status,
                                                                           err))
            self.assertRegex(out[-1], r"^\d+ errors, \d+ warnings$")
            statuses.add(status)
        # The damage must actually have been noticed.
        self.assertIn(1, statuses)

    def test_never_crashes_on_the_fuzz_corpus(self):
        corpus = os.path.join(h.ROOT, "fuzz", "corpus")
        if not os.path.isdir(corpus):
            self.skipTest("fuzz/corpus is not there")
        # Each corpus file stands in for the file of its kind in an otherwise valid map.
        roles = {"fuzz_map": ["corpus.mde"], "fuzz_mesh": ["sol.msh", "sapin.msh"],
                 "fuzz_trajectory": ["oiseau.dpl", "camera.dpl"], "fuzz_picture": []}
        runs = 0
        for kind, targets in roles.items():
            folder = os.path.join(corpus, kind)
            if not os.path.isdir(folder):
                continue
            for entry in sorted(os.listdir(folder)):
                with open(os.path.join(folder, entry), "rb") as f:
                    data = f.read()
                files = self.valid_files("corpus")
                for target in targets:
                    files[target] = data
                if kind == "fuzz_picture":
                    # A picture of its own, named by the mesh in place of herbe.jpg.
                    h.write_file(os.path.join(self.workdir, "textures/corpus-" + entry), data)
                    files["sol.msh"] = h.box_mesh(20, (0.3, 0.6, 0.3), texture="corpus-" + entry)
                shutil.rmtree(os.path.join(self.workdir, "map", "corpus"), ignore_errors=True)
                self.write_map("corpus", files)
                status, out, err = run_check(self.workdir, "corpus")
                self.assertIn(status, (0, 1), "%s/%s: status %d\n%s" % (kind, entry, status, err))
                runs += 1
        self.assertGreater(runs, 0)


if __name__ == "__main__":
    unittest.main()
