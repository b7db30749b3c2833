"""skarn-check: each broken map reported at file and line, in line order, with its status; the
demo clean; no crash on the fuzz corpus."""

import os
import re
import subprocess
import unittest

import harness as h

VERSION = re.search(r"project\(skarn VERSION (\S+)", open(os.path.join(h.ROOT, "CMakeLists.txt")).read()).group(1)

CHECK = os.environ.get("SKARN_CHECK_BIN", os.path.join(h.ROOT, "build", "skarn-check"))
BOX = h.box_mesh(2, (0.5, 0.5, 0.5))
TEXTURED = h.box_mesh(2, (1, 1, 1), texture="herbe.jpg")
SIX = h.trajectory([(100.5 + i, 3.25, 0.125, 10.5, 0.25, 0.75) for i in range(6)], curves=2)
VALID = {
    "MAP": h.map_file(lamps=[((10, 20, 10), (1, 1, 1), 1)], world=["sol", "rocher"], objects=["oiseau"],
                      trees=["sapin"]),
    "sol.msh": h.box_mesh(20, (0.3, 0.6, 0.3), texture="herbe.jpg"),
    "rocher.msh": BOX,
    "oiseau.msh": h.box_mesh(1, (0.9, 0.1, 0.1), option=64),
    "oiseau.dpl": h.trajectory([(i, 3, 0, 10 * i, 0, 0) for i in range(6)], curves=2),
    "sapin.msh": h.box_mesh(3, (1, 1, 1), texture="feuilles.tga"),
    "camera.dpl": h.trajectory([(i, 5, 30, 0, 0, 0) for i in range(100)], curves=2),
}


def world(*names, objects=("oiseau",), trees=("sapin",), lamps=()):
    return h.map_file(world=names, objects=objects, trees=trees, lamps=lamps)


# Map: files differing from VALID (None: absent), every line expected as (file, where, kind, words):
# where is text on the line, "=x" the line equal to x, -1 the last, None no line.
MAPS = [
    ("propre", {}, []),
    ("boucle", {"camera.dpl": h.trajectory([(i, 5, 30, 0, 0, 0) for i in range(10)], curves=2, loop=1)}, []),
    ("absente", {"MAP": None}, [("MAP", None, "error", "cannot open")]),
    ("maillage", {
        "MAP": world("sol", "faute", "negatif", "indice", "normales", "uv", "court", "long"),
        "faute.msh": BOX.replace("normales", "normals"), "negatif.msh": BOX.replace("faces (12)", "faces (-12)"),
        "indice.msh": BOX.replace("0 1 5\n", "0 8 5\n").replace("0 5 4\n", "0 5 9\n"),
        "normales.msh": BOX.replace("normales (8)", "normales (7)").replace("-1 1 1\ncouleur", "couleur"),
        "uv.msh": TEXTURED.replace("uv mapping (12) :\n0,0 1,0 1,1\n", "uv mapping (11) :\n"),
        "court.msh": BOX.replace("vertices (8)", "vertices (9)"), "long.msh": TEXTURED + "0,0 1,0 1,1\n",
    }, [("faute.msh", "normals", "error", "normales"), ("negatif.msh", "faces", "error", "negative"),
        ("indice.msh", "0 8 5", "error", "8"), ("indice.msh", "0 5 9", "error", "9"),
        ("normales.msh", "normales", "error", "7 normals", "8 vertices"),
        ("uv.msh", "uv mapping", "error", "11 uv", "12 faces"), ("court.msh", "faces (", "error"),
        ("long.msh", -1, "error", "uv mapping (12)")]),
    ("trous", {"rocher.msh": None, "oiseau.dpl": None, "camera.dpl": None},
     [("rocher.msh", None, "error", "mesh", "trous.mde:"), ("oiseau.dpl", None, "error", "trajectory"),
      ("camera.dpl", None, "error", "camera")]),
    # Lists read before a grammar break are still checked.
    ("casse", {"MAP": VALID["MAP"].replace("objets (1)", "objet (1)").replace("rocher", "caillou")},
     [("MAP", "objet (", "error", "objets"), ("caillou.msh", None, "error", "cannot open")]),
    ("court", {"MAP": VALID["MAP"].replace("monde (2)", "monde (3)")},
     [("MAP", "objets (", "error", "objets", "more names")]),
    ("sans-lampes", {"MAP": world("sol").replace("lampes (0)", "lampes (-1)")},
     [("MAP", "lampes (", "warning", "negative lamp count (-1)")]),
    ("compte", {"MAP": world("sol", lamps=[((i, 9, 0), (1, 1, 1), 1) for i in range(8)]) + "x\n"},
     [("MAP", "lampes (", "error", "8 lamps"), ("MAP", -1, "error", "arbres (1)")]),
    ("points", {"MAP": world("sol", objects=["oiseau", "pie"]), "pie.msh": BOX,
                "oiseau.dpl": SIX.replace("POSITIONS 6", "POSITIONS 10"),
                "pie.dpl": SIX.replace("POSITIONS 6", "POSITIONS 4")},
     [("oiseau.dpl", "POSITIONS", "error", "POSITIONS 10", "6 whole points"),
      ("pie.dpl", "104.5", "error", "POSITIONS 4")]),
    ("louche", {
        "MAP": world("sol", "rouge", "png", "abime", trees=["sapin", "nu"],
                     lamps=[((0, 9, 0), (1.5, 1, 1), 1), ((0, 9, 0), (1, 1, 1), -0.25)]),
        "rouge.msh": h.box_mesh(2, (2, 0, 0)), "nu.msh": h.box_mesh(3, (1, 1, 1)),
        "png.msh": TEXTURED.replace("herbe.jpg", "mur.png"),
        "abime.msh": TEXTURED.replace("herbe.jpg", "abime.JPG"),  # a JPEG name, a damaged picture
        "sol.msh": TEXTURED.replace("herbe.jpg", "absente.jpg"),
    }, [("MAP", "couleur : 1.5", "warning", "lamp 0", "1.5"), ("rouge.msh", "couleur", "warning", "red 2"),
        ("MAP", "intensite : -0.25", "warning", "lamp 1", "-0.25"), ("MAP", "=nu", "warning", "tree", "texture"),
        ("png.msh", "texture :", "warning", "mur.png", "JPEG"),
        ("textures/mur.png", None, "warning", "can't read", "png.msh:"),
        ("textures/abime.JPG", None, "warning", "can't read"),
        ("textures/absente.jpg", None, "warning", "missing", "sol.msh:")]),
    ("chemins", {
        "MAP": world("sol", objects=["oiseau", "pie", "fixe", "ronde"]), "pie.msh": BOX, "fixe.msh": BOX,
        "ronde.msh": BOX, "pie.dpl": h.trajectory([(i, 0, 0, 0, 0, 0) for i in range(3)], curves=2),
        "fixe.dpl": h.trajectory([(i, 0, 0) for i in range(8)], curves=1),
        "ronde.dpl": h.trajectory([(i, 0, 0, 0, 0, 0) for i in range(3)], curves=2, loop=1),  # fine
        "camera.dpl": h.trajectory([(i, 5, 30, 0, 0, 0) for i in range(60)], curves=2),
    }, [("pie.dpl", "POSITIONS", "warning", "3 points"), ("fixe.dpl", "CURVES", "warning", "never turns"),
        ("camera.dpl", "POSITIONS", "warning", "57 s", "97 s")]),
]


def place(name, files, file_name, where):
    if "/" in file_name:
        return file_name
    result = "map/%s/%s" % (name, name + ".mde" if file_name == "MAP" else file_name)
    if where is None:
        return result
    lines = files[file_name].splitlines()
    if where == -1:
        return result + ":%d" % len(lines)
    found = lines.index(where[1:]) if where[0] == "=" else [where in l for l in lines].index(True)
    return result + ":%d" % (found + 1)


def summary_text(errors, warnings):
    """The last line: "1 error" and "1 warning" in the singular."""
    return "%d error%s, %d warning%s" % (errors, "s" * (errors != 1), warnings, "s" * (warnings != 1))


def run_check(workdir, *args):
    proc = subprocess.run([CHECK] + list(args), cwd=workdir, capture_output=True, timeout=60)
    out = proc.stdout.decode("latin-1").splitlines()
    return proc.returncode, out, proc.stderr.decode("latin-1")


class Check(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.workdir = w = h.new_workdir("skarn-check-")
        h.make_show_pictures(w)
        h.write_music(w, seconds=1)
        h.write_solid_jpg(os.path.join(w, "textures/herbe.jpg"), (30, 160, 30))
        h.write_tga(os.path.join(w, "textures/feuilles.tga"), 8, 8, lambda x, y: (20, 120, 20, 200))
        h.write_file(os.path.join(w, "textures/mur.png"), b"\x89PNG not really")
        h.write_file(os.path.join(w, "textures/abime.JPG"), b"\xff\xd8\xff garbage")
        cls.addClassCleanup(h.cleanup, w)

    def write_map(self, name, changes):
        h.cleanup(os.path.join(self.workdir, "map", name))
        files = dict(VALID, **changes)
        h.write_files(os.path.join(self.workdir, "map", name),
                      {name + ".mde" if f == "MAP" else f: text for f, text in files.items() if text is not None})
        return files

    def test_each_broken_map_is_reported_line_by_line(self):
        for name, changes, findings in MAPS:
            with self.subTest(map=name):
                files = self.write_map(name, changes)
                status, out, err = run_check(self.workdir, name)
                report = "\n".join(out) + err
                for file_name, where, kind, *words in findings:
                    prefix = "%s: %s: " % (place(name, files, file_name, where), kind)
                    self.assertTrue([l for l in out if l.startswith(prefix) and all(w in l for w in words)],
                                    "no %r line with %r in:\n%s" % (prefix, words, report))
                places = [re.match(r"([^:]*)(?::(\d+))?: ", l).groups() for l in out[:-1]]
                for (file_a, line_a), (file_b, line_b) in zip(places, places[1:]):
                    self.assertTrue(file_a != file_b or int(line_a or 0) <= int(line_b or 0), report)
                errors = sum(f[2] == "error" for f in findings)
                summary = summary_text(errors, len(findings) - errors)
                self.assertEqual(out[-1:], [summary], report)
                self.assertEqual(len(out), len(findings) + 1, report)
                self.assertEqual(status, 1 if errors else 0, report)

    def test_usage_demo_missing_show_files_and_music_that_can_not_play(self):
        for args in ([], ["a", "b"]):
            status, out, err = run_check(self.workdir, *args)
            self.assertEqual((status, out, "usage" in err), (2, [], True))
        status, out, err = run_check(self.workdir, "--help")
        self.assertEqual((status, out[0], err), (0, "usage: skarn-check MAP", ""))
        self.assertTrue(any("Status 0 when no error" in line for line in out), out)
        self.assertEqual(run_check(self.workdir, "--version")[:2], (0, ["skarn-check " + VERSION]))
        self.assertEqual(run_check(h.ROOT, "demo")[:2], (0, ["0 errors, 0 warnings"]))
        workdir = h.new_workdir("skarn-check-show-")
        self.addCleanup(h.cleanup, workdir)
        os.chmod(workdir, 0o755)
        h.make_show_pictures(workdir, skip=("fin.jpg", "Font.tga"))
        h.write_file(os.path.join(workdir, "textures/top.jpg"), b"not a picture")
        h.write_file(os.path.join(workdir, "map/vide/vide.mde"), h.map_file(anime=0))
        status, out, err = run_check(workdir, "vide")
        self.assertEqual(sorted(l.split(": warning")[0] for l in out[:-1]), [
            "media/musique.mp3", "textures/Font.tga", "textures/fin.jpg", "textures/top.jpg"])
        self.assertEqual((status, out[-1]), (0, "0 errors, 4 warnings"), err)
        h.make_show_pictures(workdir)  # the music alone left to warn about
        music = os.path.join(workdir, "media/musique.mp3")
        nobody = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
        # (what the file holds, its mode, the reason given)
        for content, mode, reason in ((b"this is not music\n", 0o644, "Unknown file format"),
                                      (b"\xff\xfb" + bytes(400), 0o644, "Unknown file format"),
                                      (None, 0o000, "Error loading file")):
            with self.subTest(reason=reason, mode=mode):
                if content is None:
                    h.write_music(workdir, seconds=1)
                else:
                    h.write_file(music, content)
                os.chmod(music, mode)
                proc = subprocess.run(nobody + [CHECK, "vide"], cwd=workdir, capture_output=True, timeout=60)
                out = proc.stdout.decode("latin-1").splitlines()
                self.assertEqual(out, ["media/musique.mp3: warning: the music can't be played: %s "
                                       "(the show plays in silence)" % reason, summary_text(0, 1)], proc.stderr)
                self.assertEqual(proc.returncode, 0)
        os.chmod(music, 0o644)
        self.assertEqual(run_check(workdir, "vide")[:2], (0, [summary_text(0, 0)]))

    def test_fifos_and_endless_devices_are_errors_and_never_waited_on(self):
        name = "hostile"
        self.write_map(name, {})
        folder = os.path.join(self.workdir, "map", name)
        for path, target in (("sol.msh", None), ("rocher.msh", "/dev/zero"), ("oiseau.dpl", None),
                             ("camera.dpl", "/dev/urandom"), ("sapin.msh", None)):
            os.remove(os.path.join(folder, path))
            os.mkfifo(os.path.join(folder, path)) if target is None else os.symlink(target, os.path.join(folder, path))
        # A textured mesh naming a FIFO picture.
        h.write_file(os.path.join(folder, "oiseau.msh"), h.box_mesh(1, (1, 1, 1), texture="tube.jpg"))
        fifo = os.path.join(self.workdir, "textures/tube.jpg")
        if not os.path.exists(fifo):
            os.mkfifo(fifo)
        self.addCleanup(os.remove, fifo)
        # A memory ceiling: a reader that swallows /dev/zero hits it at once. The timeout only
        # guards against a hang.
        limit = "" if h.SANITIZED else "ulimit -v 4000000; "  # the sanitizer needs the address space
        proc = subprocess.run(["bash", "-c", limit + 'exec "$0" "$@"', CHECK, name], cwd=self.workdir,
                              capture_output=True, timeout=60)
        out = proc.stdout.decode("latin-1").splitlines()
        why = "not a regular file (a pipe, a device or a socket is never read)"
        self.assertEqual(out[:-1], [
            "map/hostile/camera.dpl: error: cannot open the camera path (the map's camera has anime 1): " + why,
            "map/hostile/sol.msh: error: cannot open the mesh file, named at map/hostile/hostile.mde:10: " + why,
            "map/hostile/rocher.msh: error: cannot open the mesh file, named at map/hostile/hostile.mde:11: " + why,
            "textures/tube.jpg: error: %s (named at map/hostile/oiseau.msh:34)" % why,
            "map/hostile/oiseau.dpl: error: cannot open the object trajectory, named at map/hostile/hostile.mde:13: "
            + why,
            "map/hostile/sapin.msh: error: cannot open the mesh file, named at map/hostile/hostile.mde:15: " + why],
            proc.stdout)
        self.assertEqual((out[-1], proc.returncode), (summary_text(6, 0), 1))

    def test_never_crashes_on_the_fuzz_corpus(self):
        roles = {"fuzz_map": ["MAP"], "fuzz_mesh": ["sol.msh", "sapin.msh"],
                 "fuzz_trajectory": ["oiseau.dpl", "camera.dpl"], "fuzz_picture": ["sol.msh"]}
        runs = 0
        for kind, targets in roles.items():
            folder = os.path.join(h.ROOT, "fuzz", "corpus", kind)
            for entry in sorted(os.listdir(folder)):
                data = open(os.path.join(folder, entry), "rb").read()
                if kind == "fuzz_picture":
                    h.write_file(os.path.join(self.workdir, "textures/corpus-" + entry), data)
                    data = TEXTURED.replace("herbe.jpg", "corpus-" + entry)
                self.write_map("corpus", {target: data for target in targets})
                status, out, err = run_check(self.workdir, "corpus")
                self.assertIn(status, (0, 1), "%s/%s: %s" % (kind, entry, err))
                self.assertRegex(out[-1], r"^\d+ errors?, \d+ warnings?$")
                runs += 1
        self.assertGreater(runs, 30)


if __name__ == "__main__":
    unittest.main()
