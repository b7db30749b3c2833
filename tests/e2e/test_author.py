"""The authoring mode: a start at any show time, pause and seeks that land on the same frames, the
time line in the bottom band, and the live reload of meshes and pictures saved while it plays."""

import math
import os
import pathlib
import re
import time
import unittest

import harness as h

SCENE = (0, 82, 640, 398)  # the viewport's rows under the title and frame-rate line


def author_map(workdir, cube_color=(200, 30, 30, 255)):
    """A flying cube and a still camera path looking at it; a long tone for the music."""
    h.make_show_pictures(workdir)
    for name, color in (("gris", (60, 60, 60, 255)), ("cube", cube_color)):
        h.write_tga(os.path.join(workdir, "textures", name + ".tga"), 8, 8, lambda x, y, c=color: c)
    ring = [(5 * math.cos(a / 2), 1, 5 * math.sin(a / 2), 15, 0, 10 * a) for a in range(13)]
    h.write_files(os.path.join(workdir, "map/auteur"), {
        "auteur.mde": h.map_file(world=["sol"], objects=["cube"]),
        "sol.msh": h.box_mesh(2, (1, 1, 1), texture="gris.tga"),
        "cube.msh": h.box_mesh(1.5, (1, 1, 1), option=64, texture="cube.tga"),
        "cube.dpl": h.trajectory(ring, curves=2, loop=1),
        "camera.dpl": h.trajectory([(0, 6, 20, 0, 0, 0)] * 130, curves=2)})


def differing(a, b, box=SCENE, tolerance=8):
    """Pixels of `box` (every other one) that differ by more than `tolerance` in a channel."""
    x0, y0, x1, y1 = box
    return sum(not h.close_to(a.pixel(x, y), b.pixel(x, y), tolerance)
               for y in range(y0, y1, 2) for x in range(x0, x1, 2))


def save(path, text, rename=True):
    """An editor's save: a new file renamed over the old one, or truncate then write in two goes."""
    if rename:
        h.write_file(path + ".tmp", text)
        os.replace(path + ".tmp", path)
        return
    with open(path, "wb" if isinstance(text, bytes) else "w") as f:
        f.write(text[:len(text) // 2])
        f.flush()
        time.sleep(0.03)
        f.write(text[len(text) // 2:])


def still_shot(player, tries=10):
    """A screenshot once two in a row agree: the frame the last key asked for is on screen."""
    shot = player.screenshot()
    for _ in range(tries):
        time.sleep(0.3)
        again = player.screenshot()
        if differing(shot, again, (0, 0, 640, 480), 0) == 0:
            return again
        shot = again
    return shot


class Author(h.PlayerTest):
    def setUp(self):
        super().setUp()
        author_map(self.workdir)

    def held_at(self, seconds):
        """A player started held at `seconds`, and its screenshot."""
        player = self.start(["--at", "%.3f" % seconds, "--paused", "auteur"])
        time.sleep(1.0)
        return player, still_shot(player)

    def wait_shot(self, player, changed_from, timeout=6):
        """The first screenshot that differs from `changed_from` in the scene, or the last one."""
        deadline = time.time() + timeout
        while True:
            shot = player.screenshot()
            if differing(shot, changed_from) > 50 or time.time() > deadline:
                return shot
            time.sleep(0.2)

    def test_bad_start_times_are_refused_and_a_start_after_the_particle_start_has_its_plume(self):
        for args in (["--at", "140", "auteur"], ["--at", "x", "auteur"], ["--at", "-1", "auteur"],
                     ["--at", "5"], ["--author", "--at"]):
            player = h.Player(self.workdir, args, self.display)
            self.assertEqual((player.wait_exit(), player.stdout()), (1, b"skarn nom_map\n"), args)
            player.close()
        shot = self.held_at(100)[1]  # the particles start at 91 s
        self.assertGreater(sum(h.close_to(shot.pixel(x, y), (230, 230, 230), 25)
                               for y in range(90, 430, 2) for x in range(0, 640, 2)), 100)

    def test_played_paused_and_seeked_frames_match_the_start_at_that_time(self):
        h.write_music(self.workdir, seconds=70)
        sound = os.path.join(self.workdir, "out.raw")
        played = self.start(["--author", "auteur"], env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": sound,
                                                         "SDL_DISKAUDIODELAY": "1"})
        # Through the scene start in quarter seconds: every step of the flight under one segment.
        for quarter in range(80, 241):
            played.set_clock(quarter / 4.0)
            time.sleep(0.02)
        played.key("space")
        held = re.findall(rb"Pause (\d+\.\d+) s\n", played.stdout())
        self.assertEqual(len(held), 1, played.stdout()[-300:])
        first = still_shot(played)
        # Held: the clock runs on, the frame and the music stay (the sound written is silence).
        size = os.path.getsize(sound)
        played.set_clock(90)
        time.sleep(1.0)
        self.assertEqual(differing(first, played.screenshot(), (0, 0, 640, 480), 0), 0)
        self.assertFalse(any(pathlib.Path(sound).read_bytes()[size + 8192:]), "music while held")
        # The time line in the bottom band says where the show is.
        self.assertTrue(first.has_light_glyph(8, 432, 300, 448))
        # Back ten seconds and forward again: a seek lands on the start at that time.
        played.key("braceleft")
        back = still_shot(played)
        self.assertGreater(differing(first, back), 50, "the seek did not move the show")
        played.key("braceright")
        seeked = still_shot(played)
        played.key("space")
        time.sleep(1.0)
        self.assertTrue(any(pathlib.Path(sound).read_bytes()[size + 8192:]), "no music after the pause")
        played.close()

        started, at = self.held_at(float(held[0]))
        # Objects and camera to the pixel (the frame-rate line is the played frames').
        self.assertEqual(differing(at, first, tolerance=2), 0)
        self.assertEqual(differing(at, seeked, tolerance=0), 0)
        started.key("braceleft")
        self.assertEqual(differing(still_shot(started), back, tolerance=0), 0)
        # One frame on moves the cube; one more and one back come to the same frame again.
        started.key("braceright", "period")
        one_on = still_shot(started)
        self.assertGreater(differing(one_on, at), 0)
        started.key("period", "comma")
        self.assertEqual(differing(still_shot(started), one_on, tolerance=0), 0)

    def test_saves_are_seen_and_a_broken_one_keeps_the_scene_until_the_next_good_one(self):
        for mode in ("--author", "--poll"):
            with self.subTest(mode=mode):
                author_map(self.workdir)
                player = self.start([mode, "--at", "40", "--paused", "auteur"])
                time.sleep(1.0)
                before = player.screenshot()
                folder = os.path.join(self.workdir, "map/auteur")
                save(os.path.join(folder, "sol.msh"), h.box_mesh(12, (1, 1, 1), texture="gris.tga"))
                bigger = self.wait_shot(player, before)
                self.assertGreater(differing(bigger, before), 50, "the saved mesh is not shown")
                if mode == "--poll":
                    break  # polling sees a save as inotify does; the rest is the same code
                # A save that breaks the mesh file: the old scene stays, the error is told.
                save(os.path.join(folder, "sol.msh"), "vertices (8) :\n1 2\n", rename=False)
                time.sleep(1.5)
                self.assertEqual(differing(player.screenshot(), bigger, tolerance=2), 0)
                self.assertIn(b"map/auteur/sol.msh:1: error: ", player.stderr())
                self.assertTrue(player.screenshot().has_light_glyph(8, 450, 300, 466), "no error in the band")
                save(os.path.join(folder, "sol.msh"), h.box_mesh(6, (1, 1, 1), texture="gris.tga"), rename=False)
                smaller = self.wait_shot(player, bigger)
                self.assertGreater(differing(smaller, bigger), 50, "the good save after a bad one")
                self.assertFalse(smaller.has_light_glyph(8, 450, 300, 466), "the error stayed")
                # A picture replaced on disk.
                h.write_tga(os.path.join(self.workdir, "textures", "gris.tga"), 8, 8, lambda x, y: (20, 20, 230, 255))
                blue = self.wait_shot(player, smaller)
                self.assertGreater(differing(blue, smaller), 50, "the new picture is not shown")
                player.close()


if __name__ == "__main__":
    unittest.main()
