"""skarn-record from the show's start: the frame of show second T shows the show at T."""

import math
import os
import unittest

import harness as h
import record_harness as r

FPS = 2  # one frame late would be half a second: 11 pixels here
SCENE_START = h.headless.show_times()["intro_end"]
POSTS = (-12, 12)  # the posts' x
START = -7  # the square's x at the scene's start
ROWS = range(226, 256, 2)  # across the middle of the viewport, where square and posts stand


def panel(x, half, color, turn=0.0):
    """A square facing the camera (both sides drawn), centred at (x, 0, 0); `turn` degrees about y
    in the file, which the player's last turn of objects (-30) brings back to face it."""
    c, s = math.cos(math.radians(turn)), math.sin(math.radians(turn))
    corners = [(x + u * c, v, -u * s) for u, v in ((-half, -half), (half, -half), (half, half), (-half, half))]
    faces = [(0, 1, 2), (0, 2, 3), (0, 2, 1), (0, 3, 2)]
    return "\n".join(["vertices (4) :"] + ["%g %g %g" % p for p in corners] + ["faces (4) :"] +
                     ["%d %d %d" % f for f in faces] + ["normales (4) :"] + ["0 0 1"] * 4 +
                     ["couleur : %g %g %g" % color, "option : 0", ""])


def centre(picture, is_colour, columns):
    """Mean column of the pixels of a colour in ROWS."""
    xs = [x for y in ROWS for x in columns if is_colour(picture.pixel(x, y))]
    return sum(xs) / float(len(xs)) if xs else None


white, blue = (lambda p: min(p) > 200), (lambda p: p[2] > 120 and max(p[:2]) < 80)


class RecordStart(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir("skarn-record-")
        self.addCleanup(h.cleanup, self.workdir)

    def test_frame_of_second_t_shows_the_show_at_t(self):
        # A white square slides along x at one unit a second between two blue posts: where it
        # stands between them tells the show time a frame shows (within 0.01 s measured).
        workdir = self.workdir
        h.make_show_pictures(workdir)
        h.write_files(os.path.join(workdir, "map/show"), {
            "show.mde": h.map_file(eye=(0, 0, 25), world=["left", "right"], objects=["box"]),
            "left.msh": panel(POSTS[0], 0.5, (0, 0, 1)), "right.msh": panel(POSTS[1], 0.5, (0, 0, 1)),
            "box.msh": panel(0, 1, (1, 1, 1), turn=30),  # white: the sky takes the last colour drawn
            "box.dpl": h.trajectory([(START - 1 + k, 0, 0) for k in range(20)]),
            "camera.dpl": h.trajectory([(0, 0, 25, 0, 0, 0)] * 6, curves=2)})
        run = r.record(workdir, ["--fps", str(FPS), "show", "show.mp4"])
        self.assertEqual(run.returncode, 0, run.stderr)
        seconds = [SCENE_START, SCENE_START + 0.5, SCENE_START + 1, SCENE_START + 7.5, SCENE_START + 12]
        for second, frame in zip(seconds, r.frames_at(os.path.join(workdir, "show.mp4"), FPS, seconds)):
            # The posts' columns, then the square's between them (4:2:0 colour lightens their edges).
            left, right = centre(frame, blue, range(0, 320)), centre(frame, blue, range(320, 640))
            x = POSTS[0] + (POSTS[1] - POSTS[0]) * (centre(frame, white, range(80, 560)) - left) / (right - left)
            self.assertAlmostEqual(x - START, second - SCENE_START, delta=0.15, msg="frame of %g s" % second)


if __name__ == "__main__":
    unittest.main()
