"""The bundled demo: it loads without a failure line, and its headless capture shows each phase as
it should be (the pictures fill the viewport; the scene shows sky, ground, trees, an object)."""

import os
import subprocess
import unittest

import harness as h

STILLS = ["1-logo", "2-intro", "3-scene-030s", "4-scene-050s", "5-scene-070s", "6-scene-090s",
          "7-scene-110s", "8-end"]


def read_png(path):
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
    return h.Picture(data)


def picture_as_viewport(path):
    """A screen picture as the player stretches it over the 640 x 380 viewport."""
    data = subprocess.run(["convert", path, "-resize", "640x380!", "-depth", "8", "ppm:-"],
                          capture_output=True, check=True).stdout
    return h.Picture(data)


def mean_difference(shot, picture):
    """Mean absolute channel difference between the viewport of a still and a picture."""
    total = count = 0
    for y in range(0, 380, 4):
        for x in range(0, 640, 4):
            a = shot.pixel(x, y + 50)
            b = picture.pixel(x, y)
            total += sum(abs(a[k] - b[k]) for k in range(3))
            count += 3
    return total / count


class Demo(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = h.new_workdir("skarn-demo-")
        env = dict(os.environ, SKARN_BIN=h.SKARN)
        cls.capture = subprocess.run([os.path.join(h.ROOT, "tools", "capture"), "demo", cls.out],
                                     cwd=h.ROOT, env=env, capture_output=True, timeout=400)

    @classmethod
    def tearDownClass(cls):
        h.cleanup(cls.out)

    def test_capture_writes_every_still_and_the_sheet(self):
        self.assertEqual(self.capture.returncode, 0, self.capture.stderr)
        for name in STILLS + ["contact-sheet"]:
            self.assertTrue(os.path.exists(os.path.join(self.out, name + ".png")), name)

    def test_demo_loads_without_a_failure_line(self):
        with open(os.path.join(self.out, "player.log"), "rb") as f:
            log = f.read()
        self.assertIn(b"Chargement de la map effectue\n", log)
        for failure in (b"probl\xe8me", b"Erreur", b"error", b"File not found"):
            self.assertNotIn(failure, log)

    def test_screens_fill_the_viewport(self):
        for still, picture in (("1-logo", "quenbar.jpg"), ("2-intro", "intro1.jpg"), ("8-end", "fin.jpg")):
            shot = read_png(os.path.join(self.out, still + ".png"))
            expected = picture_as_viewport(os.path.join(h.ROOT, "textures", picture))
            self.assertLess(mean_difference(shot, expected), 12, still)
            self.assertTrue(h.close_to(shot.mean(0, 0, 640, 48), (0, 0, 0), 2), still)
            self.assertTrue(h.close_to(shot.mean(0, 432, 640, 480), (0, 0, 0), 2), still)

    def test_scene_shows_sky_above_ground_and_the_title(self):
        for still in STILLS[2:7]:
            shot = read_png(os.path.join(self.out, still + ".png"))
            sky = shot.mean(0, 60, 640, 120)
            self.assertGreater(sky[2], sky[0] + 20, "%s: no blue sky on top %s" % (still, sky))
            # The title "Skarn" is written in light glyphs at (16, 16) of the overlay.
            title = [shot.pixel(x, y) for y in range(62, 76) for x in range(24, 70)]
            self.assertTrue(any(min(p) > 200 for p in title), still)
        ground = read_png(os.path.join(self.out, "3-scene-030s.png")).mean(0, 330, 640, 420)
        self.assertGreater(ground[1], ground[2], "no green ground at the bottom: %s" % (ground,))

    def test_scene_moments_differ(self):
        shots = [read_png(os.path.join(self.out, s + ".png")) for s in STILLS[2:7]]
        for a, b in zip(shots, shots[1:]):
            self.assertGreater(a.differs(b, 0, 50, 640, 430), 1000)


if __name__ == "__main__":
    unittest.main()
