"""The show on a driven clock: logo, intro, scene, end, restart, the cleared frame at the end of
the logo, viewer mode, and the music through its restarts."""

import math
import os
import time
import unittest

import harness as h

VIEW = (100, 100, 540, 380)  # well inside the viewport


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


class Phases(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir()
        self.display = h.Display()

    def tearDown(self):
        self.display.close()
        h.cleanup(self.workdir)

    def shot_at(self, player, seconds, settle=1.0):
        player.set_clock(seconds)
        time.sleep(settle)
        return player.screenshot()

    def assert_bands_black(self, shot):
        self.assertTrue(h.close_to(shot.mean(0, 0, 640, 48), (0, 0, 0), 4))
        self.assertTrue(h.close_to(shot.mean(0, 432, 640, 480), (0, 0, 0), 4))

    def test_whole_show_and_restart(self):
        show_map(self.workdir)
        player = h.Player(self.workdir, ["show"], self.display)
        self.addCleanup(player.close)
        player.wait_window()
        shot = self.shot_at(player, 2)
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.LOGO_COLOR), shot.mean(*VIEW))
        self.assert_bands_black(shot)
        shot = self.shot_at(player, 18)
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.INTRO_COLOR), shot.mean(*VIEW))
        self.assert_bands_black(shot)
        first = self.shot_at(player, 40)
        self.assert_bands_black(first)
        for color in (h.LOGO_COLOR, h.INTRO_COLOR, h.END_COLOR):
            self.assertFalse(h.close_to(first.mean(*VIEW), color), "scene expected, got a picture")
        second = self.shot_at(player, 43)
        self.assertGreater(first.differs(second, 0, 50, 640, 430), 100, "the camera does not move")
        self.assertNotIn(b"FIN\n", player.stdout())
        shot = self.shot_at(player, 130)
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.END_COLOR), shot.mean(*VIEW))
        self.assert_bands_black(shot)
        self.assertIn(b"FIN\nFIN\n", player.stdout())
        shot = self.shot_at(player, 142)
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.LOGO_COLOR), "no restart: %s" % (shot.mean(*VIEW),))
        # The new run of the show starts its intro ten seconds after the restart.
        shot = self.shot_at(player, 155)
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.INTRO_COLOR), shot.mean(*VIEW))
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)

    def test_frame_at_exactly_the_end_of_the_logo_is_only_cleared(self):
        show_map(self.workdir)
        player = h.Player(self.workdir, ["show"], self.display, frozen=True)
        self.addCleanup(player.close)
        player.wait_window()
        shot = self.shot_at(player, 5)
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.LOGO_COLOR), shot.mean(*VIEW))
        player.set_clock(10, frozen=True)  # now == logoEnd exactly
        time.sleep(1.0)
        shot = player.screenshot()
        self.assertTrue(h.close_to(shot.mean(*VIEW), (0, 0, 0), 4), shot.mean(*VIEW))
        player.set_clock(11, frozen=True)
        time.sleep(1.0)
        shot = player.screenshot()
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.INTRO_COLOR), shot.mean(*VIEW))

    def test_map_without_objects_and_trees_shows_the_logo_at_any_time(self):
        show_map(self.workdir, objects=())
        player = h.Player(self.workdir, ["show"], self.display)
        self.addCleanup(player.close)
        player.wait_window()
        for seconds in (18, 60, 130):
            shot = self.shot_at(player, seconds)
            self.assertTrue(h.close_to(shot.mean(*VIEW), h.LOGO_COLOR), (seconds, shot.mean(*VIEW)))

    def test_viewer_mode_stays_on_the_logo(self):
        show_map(self.workdir, anime=0)
        player = h.Player(self.workdir, ["show"], self.display)
        self.addCleanup(player.close)
        player.wait_window()
        shot = self.shot_at(player, 60)
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.LOGO_COLOR), shot.mean(*VIEW))
        self.assertNotIn(b"FIN", player.stdout())


class Music(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir()
        show_map(self.workdir)
        self.display = h.Display()

    def tearDown(self):
        self.display.close()
        h.cleanup(self.workdir)

    def test_music_plays_from_the_start_and_again_after_the_restart(self):
        h.write_music(self.workdir, seconds=2)
        sound = os.path.join(self.workdir, "out.raw")
        player = h.Player(self.workdir, ["show"], self.display, audio="disk",
                          env={"SDL_DISKAUDIOFILE": sound, "SDL_DISKAUDIODELAY": "1"})
        self.addCleanup(player.close)
        player.wait_window()
        time.sleep(3.0)  # the two-second piece has played out
        with open(sound, "rb") as f:
            first = f.read()
        self.assertTrue(any(b not in (0, 128) for b in first[:200000]), "no music at the show start")
        start = len(first)
        player.set_clock(145)  # through the end phase into the restart
        time.sleep(3.0)
        with open(sound, "rb") as f:
            data = f.read()
        later = data[start:]
        self.assertTrue(any(b not in (0, 128) for b in later), "no music after the restart")
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)

    def test_no_audio_device_is_reported_and_the_show_runs(self):
        player = h.Player(self.workdir, ["show"], self.display, audio="no-such-driver")
        self.addCleanup(player.close)
        player.wait_window()
        shot = player.screenshot()
        self.assertTrue(h.close_to(shot.mean(*VIEW), h.LOGO_COLOR), shot.mean(*VIEW))
        self.assertIn(b"Error initializing output device.\n", player.stdout())
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
