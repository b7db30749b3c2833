"""The bundled demo: it loads without a failure line, and its headless capture shows each phase as
it should be (the pictures fill the viewport; the scene shows sky, ground and the title)."""

import os
import subprocess
import unittest

import harness as h

STILLS = ["1-logo", "2-intro", "3-scene-030s", "4-scene-050s", "5-scene-070s", "6-scene-090s",
          "7-scene-110s", "8-end"]


def read_picture(path, *resize):
    """A picture file as 8-bit rows 640 wide, stretched first when `resize` names the sides."""
    args = ["-resize", "%dx%d!" % resize] if resize else []
    return h.Picture(subprocess.run(["convert", path] + args + ["-depth", "8", "rgb:-"], capture_output=True,
                                    check=True).stdout)


class Demo(unittest.TestCase):
    def test_capture_of_every_phase(self):
        out = h.new_workdir("skarn-demo-")
        self.addCleanup(h.cleanup, out)
        capture = subprocess.run([os.path.join(h.ROOT, "tools", "capture"), "demo", out], cwd=h.ROOT,
                                 env=dict(os.environ, SKARN_BIN=h.SKARN), capture_output=True, timeout=400)
        self.assertEqual(capture.returncode, 0, capture.stderr)
        self.assertTrue(os.path.exists(os.path.join(out, "contact-sheet.png")))
        with open(os.path.join(out, "player.log"), "rb") as f:
            log = f.read()
        self.assertIn(h.LOADED, log)
        for failure in (b"probl\xe8me", b"Erreur", b"error", b"File not found"):
            self.assertNotIn(failure, log)
        shots = {still: read_picture(os.path.join(out, still + ".png")) for still in STILLS}
        # The screens are the pictures stretched over the 640 x 380 viewport between black bands.
        for still, picture in (("1-logo", "quenbar.jpg"), ("2-intro", "intro1.jpg"), ("8-end", "fin.jpg")):
            shot, expected = shots[still], read_picture(os.path.join(h.ROOT, "textures", picture), 640, 380)
            total = sum(abs(a - b) for y in range(0, 380, 4) for x in range(0, 640, 4)
                        for a, b in zip(shot.pixel(x, y + 50), expected.pixel(x, y)))
            self.assertLess(total / (95 * 160 * 3), 12, still)
            self.assertTrue(h.black_bands(shot), still)
        for still in STILLS[2:7]:
            sky = shots[still].mean(0, 60, 640, 120)
            self.assertGreater(sky[2], sky[0] + 20, "%s: no blue sky on top %s" % (still, sky))
            self.assertTrue(shots[still].has_light_glyph(24, 62, 70, 76), still)  # the title "Skarn"
        ground = shots["3-scene-030s"].mean(0, 330, 640, 420)
        self.assertGreater(ground[1], ground[2], "no green ground at the bottom: %s" % (ground,))


if __name__ == "__main__":
    unittest.main()
