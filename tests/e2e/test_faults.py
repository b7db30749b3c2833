"""The fault matrix: the wrong argument count, resources missing, unreadable or a directory. Each
fault gives its console line and status; a run whose faults do not end the process still plays
the show through its restart (logo again, then the intro) and ends with status 0 on Esc."""

import os
import shutil
import time
import unittest

import harness as h

D = "map/faute/"
# Runs the player unprivileged, so that a file without read permission can't be read (the tests
# run as root). The fake clock is preloaded past setpriv: preloaded into setpriv (root) it would
# make a semaphore that the player, once unprivileged, may not open.
AS_NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env",
             "LD_PRELOAD=" + h.CLOCK_PRELOAD]
SKY = ["textures/%s.jpg" % name for name in h.SKY_FILES]
PICTURE_COLORS = {"logo": h.LOGO_COLOR, "intro": h.INTRO_COLOR, "end": h.END_COLOR}
fail = h.texture_failure


def missing(path):
    return ("%s: No such file or directory\n" % path).encode()


class Case:
    """Files removed, made unreadable or made directories; stdout lines there and not there, the
    whole of stderr, the exit status when the faults end the process, phases whose picture is
    not shown."""

    def __init__(self, what, rm=(), chmod=(), mkdir=(), out=(), not_out=(), err=b"", status=None, hidden=()):
        self.what, self.rm, self.chmod, self.mkdir, self.out, self.not_out = what, rm, chmod, mkdir, out, not_out
        self.err, self.status, self.hidden = err, status, hidden


# Several faults per run when they leave each other's lines and pictures alone.
PLAYING = [
    Case("logo missing", rm=["textures/quenbar.jpg"], out=[fail("textures/quenbar.jpg")],
         not_out=[fail("textures/fin.jpg")], hidden=["logo", "end"]),
    Case("intro missing", rm=["textures/intro1.jpg"], out=[fail("textures/intro1.jpg")],
         not_out=[fail("textures/quenbar.jpg"), fail("textures/fin.jpg")],
         hidden=["logo", "intro", "end"]),
    Case("end, font, particle, mesh texture and music missing",
         rm=["textures/fin.jpg", "textures/Font.tga", "textures/particule.tga", "textures/herbe.jpg",
             "media/musique.mp3"],
         out=[fail("textures/fin.jpg"), fail("textures/Font.tga"), fail("textures/particule.tga"),
              b"\t\tChargement de la texture textures/herbe.jpg ...\n" + fail("textures/herbe.jpg"),
              b"File not found\n"], hidden=["end"]),
    Case("sky sides, object path and camera path missing", rm=SKY + [D + "cube.dpl", D + "camera.dpl"],
         out=[fail(side) for side in SKY], err=missing(D + "camera.dpl") + missing(D + "cube.dpl")),
    Case("intro, object path and music unreadable",
         chmod=["textures/intro1.jpg", D + "cube.dpl", "media/musique.mp3"],
         out=[fail("textures/intro1.jpg"), b"Error loading file\n"],
         err=("%scube.dpl: Permission denied\n" % D).encode(), hidden=["logo", "intro", "end"]),
    Case("logo and camera path directories", mkdir=["textures/quenbar.jpg", D + "camera.dpl"],
         out=[fail("textures/quenbar.jpg")], err=("%scamera.dpl: Is a directory\n" % D).encode(),
         hidden=["logo", "end"]),
]

ENDING = [
    Case("map missing", rm=[D + "faute.mde"], status=0, err=missing(D + "faute.mde")),
    Case("mesh missing", rm=[D + "sol.msh"], status=1, err=missing(D + "sol.msh")),
    Case("map unreadable", chmod=[D + "faute.mde"], status=0,
         err=("%sfaute.mde: Permission denied\n" % D).encode()),
    Case("mesh a directory", mkdir=[D + "sol.msh"], status=1,
         err=("%ssol.msh: Is a directory\n" % D).encode()),
]


class FaultMatrix(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        """A show with every kind of resource: screens, sky, font, particles, music, a textured
        world mesh, an object with its path and particles, and the camera path."""
        cls.template = w = h.new_workdir()
        cls.display = h.Display()
        h.make_show_pictures(w)
        h.write_music(w, seconds=2)
        h.write_solid_jpg(os.path.join(w, "textures/herbe.jpg"), (110, 70, 20))
        h.write_file(os.path.join(w, D, "faute.mde"),
                     h.map_file(eye=(0, 5, 30), anime=1, world=["sol"], objects=["cube"]))
        h.write_file(os.path.join(w, D, "sol.msh"), h.box_mesh(20, (0.3, 0.6, 0.3), texture="herbe.jpg"))
        h.write_file(os.path.join(w, D, "cube.msh"), h.box_mesh(3, (1, 1, 1), option=64))
        h.write_file(os.path.join(w, D, "cube.dpl"), h.trajectory([(i, 3, 0) for i in range(8)], loop=1))
        h.write_file(os.path.join(w, D, "camera.dpl"),
                     h.trajectory([(i * 0.2, 8, 30, 0, 0, 0) for i in range(200)], curves=2))

    @classmethod
    def tearDownClass(cls):
        cls.display.close()
        h.cleanup(cls.template)

    def start(self, case):
        """Starts the player on a copy of the show with the case's faults."""
        workdir = os.path.join(h.new_workdir(), "play")
        self.addCleanup(h.cleanup, os.path.dirname(workdir))
        shutil.copytree(self.template, workdir)
        for d in (os.path.dirname(workdir), workdir):
            os.chmod(d, 0o755)
        for path in list(case.rm) + list(case.mkdir):
            os.remove(os.path.join(workdir, path))
        for path in case.mkdir:
            os.makedirs(os.path.join(workdir, path))
        for path in case.chmod:
            os.chmod(os.path.join(workdir, path), 0)
        nobody = bool(case.chmod)
        if getattr(self, "player", None):
            self.player.close()  # the previous case's, still running when it failed
        self.player = player = h.Player(workdir, ["faute"], self.display, wrapper=AS_NOBODY if nobody else None,
                          env={"LD_PRELOAD": "" if nobody else h.CLOCK_PRELOAD, "MESA_SHADER_CACHE_DISABLE": "true"})
        self.addCleanup(player.close)
        return player

    def shot(self, player, seconds):
        player.set_clock(seconds)
        time.sleep(1.0)
        return player.screenshot().mean(*h.VIEW)

    def check_console(self, case, player):
        out = player.stdout()
        self.assertEqual([line in out for line in list(case.out) + list(case.not_out)],
                         [True] * len(case.out) + [False] * len(case.not_out), (case.what, out))
        self.assertEqual(player.stderr(), case.err, case.what)

    def test_faults_that_let_the_show_play_through_its_restart(self):
        for case in PLAYING:
            with self.subTest(case.what):
                self.play_through(case)

    def play_through(self, case):
        player = self.start(case)
        player.wait_window()
        self.assertTrue(player.wait_for_output(h.LOADED), case.what)
        # First run: logo, intro, scene, end; then the restart: logo, intro again.
        first = {"logo": self.shot(player, 2), "intro": self.shot(player, 18)}
        scene = self.shot(player, 40)
        first["end"] = self.shot(player, 130)
        again = {"logo": self.shot(player, 143), "intro": self.shot(player, 156)}
        for phase, color in PICTURE_COLORS.items():
            self.assertEqual(h.close_to(first[phase], color), phase not in case.hidden,
                             (case.what, phase, first[phase]))
            self.assertFalse(h.close_to(scene, color), (case.what, "scene", scene))
        for phase in again:
            self.assertTrue(h.close_to(again[phase], first[phase], 6), (case.what, phase, again[phase]))
        self.assertIsNone(player.proc.poll(), case.what)
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0, case.what)
        self.check_console(case, player)

    def test_usage_line_and_status_0_for_any_count_but_one_argument(self):
        workdir = h.new_workdir()
        self.addCleanup(h.cleanup, workdir)
        for args in ([], ["a", "b"], ["a", "b", "c"]):
            player = h.Player(workdir, args)
            self.addCleanup(player.close)
            self.assertEqual((player.wait_exit(), player.stdout(), player.stderr()), (0, b"skarn nom_map\n", b""))

    def test_faults_that_end_the_load_with_their_status(self):
        for case in ENDING:
            with self.subTest(case.what):
                player = self.start(case)
                self.assertEqual(player.wait_exit(30), case.status, case.what)
                self.check_console(case, player)
                self.assertNotIn(h.LOADED, player.stdout(), case.what)


if __name__ == "__main__":
    unittest.main()
