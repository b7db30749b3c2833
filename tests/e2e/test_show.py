"""The show on a driven clock in its 640 x 480 window: logo, intro, scene, end, restart, the
letterboxed viewport after a resize; the maps that keep the start frame; the music through its
restarts."""

import math
import os
import time
import unittest

import harness as h


def show_map(workdir, anime=1, objects=("cube",), trees=()):
    h.make_show_pictures(workdir)
    d = os.path.join(workdir, "map/show")
    h.write_file(os.path.join(d, "show.mde"),
                 h.map_file(eye=(0, 5, 30), anime=anime, world=["sol"], objects=list(objects), trees=list(trees)))
    h.write_file(os.path.join(d, "sol.msh"), h.box_mesh(1, (0.2, 0.2, 0.2)))
    h.write_file(os.path.join(d, "cube.msh"), h.box_mesh(4, (1.0, 1.0, 1.0)))
    h.write_file(os.path.join(d, "arbre.msh"), h.box_mesh(3, (1, 1, 1)))
    h.write_file(os.path.join(d, "cube.dpl"),
                 h.trajectory([(6 * math.cos(a / 3), 0, 6 * math.sin(a / 3), 0, 0, a * 10) for a in range(12)],
                              curves=2, loop=1))
    # The camera circles the origin at a distance of 30, looking at it.
    h.write_file(os.path.join(d, "camera.dpl"),
                 h.trajectory([(30 * math.cos(a / 10), 8, 30 * math.sin(a / 10), 0, 0, 0) for a in range(130)],
                              curves=2))


class Show(h.PlayerTest):
    def assert_phase(self, player, seconds, color, bands=True):
        shot = self.shot_at(player, seconds)
        self.assertTrue(h.close_to(shot.mean(*h.VIEW), color), (seconds, shot.mean(*h.VIEW)))
        if bands:
            self.assertTrue(h.close_to(shot.mean(0, 0, 640, 48), (0, 0, 0), 4), seconds)
            self.assertTrue(h.close_to(shot.mean(0, 432, 640, 480), (0, 0, 0), 4), seconds)
        return shot

    def test_whole_show_and_restart_in_a_window_that_follows_a_resize(self):
        show_map(self.workdir)
        player = self.start(["show"])
        self.assertIn(b"Geometry: 640x480", player.xdotool("getwindowgeometry", player.window).stdout)
        self.assert_phase(player, 2, h.LOGO_COLOR)
        self.assert_phase(player, 18, h.INTRO_COLOR)
        first, second = self.shot_at(player, 40), self.shot_at(player, 43)
        for color in (h.LOGO_COLOR, h.INTRO_COLOR, h.END_COLOR):
            self.assertFalse(h.close_to(first.mean(*h.VIEW), color), "scene expected, got a picture")
        self.assertGreater(first.differs(second, 0, 50, 640, 430), 100, "the camera does not move")
        self.assertNotIn(b"FIN\n", player.stdout())
        self.assert_phase(player, 130, h.END_COLOR)
        self.assertIn(b"FIN\nFIN\n", player.stdout())
        # The new run of the show starts its intro ten seconds after the restart.
        self.assert_phase(player, 142, h.LOGO_COLOR)
        self.assert_phase(player, 155, h.INTRO_COLOR)
        # Taller window: the viewport keeps its bands of 50 rows, the picture fills the rest.
        player.xdotool("windowsize", player.window, "640", "600")
        time.sleep(1.0)
        shot = player.screenshot(geometry="640x600+0+0")
        self.assertTrue(h.close_to(shot.mean(0, 52, 640, 548), h.INTRO_COLOR), shot.mean(0, 52, 640, 548))
        self.assertTrue(h.close_to(shot.mean(0, 0, 640, 48), (0, 0, 0), 4))
        self.assertTrue(h.close_to(shot.mean(0, 552, 640, 600), (0, 0, 0), 4))
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)

    def test_start_frame_stays_without_objects_and_trees_or_an_animated_camera(self):
        # Trees alone make a scene: past the logo it shows the intro.
        for anime, objects, trees, color in ((1, (), (), h.LOGO_COLOR), (0, ("cube",), (), h.LOGO_COLOR),
                                             (1, (), ("arbre",), h.INTRO_COLOR)):
            with self.subTest(anime=anime, objects=objects, trees=trees):
                show_map(self.workdir, anime, objects, trees)
                player = self.start(["show"])
                for seconds in (18, 60) if color == h.LOGO_COLOR else (18,):
                    self.assert_phase(player, seconds, color, bands=False)
                self.assertNotIn(b"FIN", player.stdout())
                player.close()

    def test_music_plays_from_the_start_and_again_after_the_restart(self):
        show_map(self.workdir)
        h.write_music(self.workdir, seconds=2)
        sound = os.path.join(self.workdir, "out.raw")
        player = self.start(["show"], env={"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": sound,
                                           "SDL_DISKAUDIODELAY": "1"})
        time.sleep(3.0)  # the two-second piece has played out
        with open(sound, "rb") as f:
            first = f.read()
        self.assertTrue(any(b not in (0, 128) for b in first[:200000]), "no music at the show start")
        player.set_clock(145)  # through the end phase into the restart
        time.sleep(3.0)
        with open(sound, "rb") as f:
            later = f.read()[len(first):]
        self.assertTrue(any(b not in (0, 128) for b in later), "no music after the restart")
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
