"""The entry point and the window: usage line, window title and size, letterboxed viewport."""

import os
import subprocess
import time
import unittest

import harness as h


def viewer_map(workdir):
    """A map with one world mesh and a still camera: the start frame shows the logo."""
    h.make_show_pictures(workdir)
    h.write_file(os.path.join(workdir, "map/solo/solo.mde"), h.map_file(anime=0, world=["tri"]))
    h.write_file(os.path.join(workdir, "map/solo/tri.msh"), h.TRIANGLE_MESH)


class Usage(unittest.TestCase):
    def test_usage_line_and_status_0_for_any_count_but_one_argument(self):
        workdir = h.new_workdir()
        try:
            for args in ([], ["a", "b"], ["a", "b", "c"]):
                status, out, err = h.run_to_end(workdir, args)
                self.assertEqual(status, 0, args)
                self.assertEqual(out, b"skarn nom_map\n", args)
                self.assertEqual(err, b"", args)
        finally:
            h.cleanup(workdir)


class Window(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir()
        viewer_map(self.workdir)
        self.display = h.Display()

    def tearDown(self):
        self.display.close()
        h.cleanup(self.workdir)

    def test_window_test_640x480_with_black_bands_and_viewport_follows_resize(self):
        player = h.Player(self.workdir, ["solo"], self.display)
        try:
            wid = player.wait_window()
            geometry = subprocess.run(["xdotool", "getwindowgeometry", wid], capture_output=True, text=True,
                                      env=player._xenv()).stdout
            self.assertIn("Geometry: 640x480", geometry)
            shot = player.screenshot()
            # Rows 0-49 and 430-479 are the bands; the logo fills the rows between.
            self.assertTrue(h.close_to(shot.mean(0, 0, 640, 48), (0, 0, 0), 4))
            self.assertTrue(h.close_to(shot.mean(0, 432, 640, 480), (0, 0, 0), 4))
            self.assertTrue(h.close_to(shot.mean(0, 52, 640, 428), h.LOGO_COLOR))
            player.resize(640, 600)
            time.sleep(1.0)
            shot = player.screenshot(geometry="640x600+0+0")
            self.assertTrue(h.close_to(shot.mean(0, 52, 640, 548), h.LOGO_COLOR))
            self.assertTrue(h.close_to(shot.mean(0, 552, 640, 600), (0, 0, 0), 4))
            self.assertTrue(h.close_to(shot.mean(0, 0, 640, 48), (0, 0, 0), 4))
            player.key("Escape")
            self.assertEqual(player.wait_exit(), 0)
        finally:
            player.close()

    @h.needs_apitrace
    def test_viewport_calls_seen_by_apitrace(self):
        trace = os.path.join(self.workdir, "run.trace")
        player = h.Player(self.workdir, ["solo"], self.display, fake_clock=False, wrapper=["apitrace", "trace", "-o", trace])
        try:
            player.wait_window()
            player.resize(640, 600)
            time.sleep(1.0)
            player.key("Escape")
            self.assertEqual(player.wait_exit(), 0)
        finally:
            player.close()
        dump = subprocess.run(["apitrace", "dump", trace], capture_output=True, text=True).stdout
        viewports = [line.split(" ", 1)[1] for line in dump.splitlines() if "glViewport(" in line]
        self.assertIn("glViewport(x = 0, y = 50, width = 640, height = 380)", viewports)
        self.assertEqual(viewports[-1], "glViewport(x = 0, y = 50, width = 640, height = 500)")


if __name__ == "__main__":
    unittest.main()
