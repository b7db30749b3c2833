"""The show window: 640 x 480 letterboxed, and after a resize; maps that keep the start frame; the
music from the start and again after the restart."""

import math
import os
import time
import unittest

import harness as h


def show_map(workdir, anime=1, objects=("cube",), trees=()):
    h.make_show_pictures(workdir)
    ring = [(6 * math.cos(a / 3), 0, 6 * math.sin(a / 3), 0, 0, a * 10) for a in range(12)]
    h.write_files(os.path.join(workdir, "map/show"), {
        "show.mde": h.map_file(eye=(0, 5, 30), anime=anime, world=["sol"], objects=objects, trees=trees),
        "sol.msh": h.box_mesh(1, (0.2, 0.2, 0.2)), "cube.msh": h.box_mesh(4, (1.0, 1.0, 1.0)),
        "arbre.msh": h.box_mesh(3, (1, 1, 1)), "cube.dpl": h.trajectory(ring, curves=2, loop=1),
        "camera.dpl": h.trajectory([(30 * math.cos(a / 10), 8, 30 * math.sin(a / 10), 0, 0, 0) for a in range(130)],
                                   curves=2)})


class Show(h.PlayerTest):
    def test_letterboxed_before_and_after_a_resize_and_music_at_the_start_and_after_the_restart(self):
        show_map(self.workdir)
        h.write_music(self.workdir, seconds=2)
        sound = os.path.join(self.workdir, "out.raw")
        player = self.start(["show"], env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": sound,
                                           "SDL_DISKAUDIODELAY": "1"})
        self.assertIn(b"Geometry: 640x480", player.x_tool("xdotool", "getwindowgeometry", player.window).stdout)
        shot = self.shot_at(player, 2)
        self.assertTrue(h.close_to(shot.mean(*h.VIEW), h.LOGO_COLOR) and h.black_bands(shot), shot.mean(*h.VIEW))
        # Taller window: the bands keep 50 rows, the picture fills the rest.
        player.x_tool("xdotool", "windowsize", player.window, "640", "600")
        time.sleep(1.5)  # by now the two-second piece has played out
        shot = player.screenshot(600)
        self.assertTrue(h.close_to(shot.mean(0, 52, 640, 548), h.LOGO_COLOR) and h.black_bands(shot, 600))
        first = open(sound, "rb").read()
        self.assertTrue(any(b not in (0, 128) for b in first[:200000]), "no music at the show start")
        player.set_clock(145)  # through the end into the restart
        time.sleep(3.0)
        self.assertTrue(any(b not in (0, 128) for b in open(sound, "rb").read()[len(first):]), "none after the restart")
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)

    def test_start_frame_stays_without_objects_and_trees_or_an_animated_camera(self):
        # Both an animated camera and something moving are needed; trees alone make a scene.
        for anime, objects, trees, color in ((0, ("cube",), (), h.LOGO_COLOR), (1, (), (), h.LOGO_COLOR),
                                             (1, (), ("arbre",), h.INTRO_COLOR)):
            with self.subTest(anime=anime, objects=objects, trees=trees):
                show_map(self.workdir, anime, objects, trees)
                player = self.start(["show"])
                self.assertTrue(h.close_to(self.shot_at(player, 18).mean(*h.VIEW), color))
                player.close()


if __name__ == "__main__":
    unittest.main()
