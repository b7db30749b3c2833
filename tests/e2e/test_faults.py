"""The fault matrix: each resource missing, unreadable or a directory in turn. Each case gives its
console line and status; a case that does not end the process still plays the show through its
restart (logo again, then the intro) and ends with status 0 on Esc."""

import os
import shutil
import time
import unittest

import harness as h

# The sanitizer run preloads the GL driver (see make test-asan); the fake clock joins it.
CLOCK_PRELOAD = " ".join(x for x in (h.FAKETIME_LIB, os.environ.get("SKARN_GL_DRIVER_PRELOAD")) if x)

MAP = "faute"
MAP_DIR = "map/%s/" % MAP
VIEW = (100, 100, 540, 380)
# Runs the player as an unprivileged user, so that a file without read permission can't be read
# (the tests run as root, whom permissions do not stop).
# The fake clock is preloaded past setpriv: preloaded into setpriv (root) it would make a
# semaphore that the player, once unprivileged, may not open.
AS_NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env",
             "LD_PRELOAD=" + CLOCK_PRELOAD]
NOBODY_ENV = {"LD_PRELOAD": "", "MESA_SHADER_CACHE_DISABLE": "true"}
SKY = ["textures/%s.jpg" % name for name in h.SKY_FILES]


def fault_map(workdir):
    """A show with every kind of resource: screens, sky, font, particles, music, a textured world
    mesh, an object with its path and particles, and the camera path."""
    h.make_show_pictures(workdir)
    h.write_music(workdir, seconds=2)
    h.write_solid_jpg(os.path.join(workdir, "textures/herbe.jpg"), (110, 70, 20))
    d = os.path.join(workdir, MAP_DIR)
    h.write_file(os.path.join(d, MAP + ".mde"),
                 h.map_file(eye=(0, 5, 30), anime=1, world=["sol"], objects=["cube"]))
    h.write_file(os.path.join(d, "sol.msh"), h.box_mesh(20, (0.3, 0.6, 0.3), texture="herbe.jpg"))
    h.write_file(os.path.join(d, "cube.msh"), h.box_mesh(3, (1, 1, 1), option=64))
    h.write_file(os.path.join(d, "cube.dpl"), h.trajectory([(i, 3, 0) for i in range(8)], loop=1))
    h.write_file(os.path.join(d, "camera.dpl"),
                 h.trajectory([(i * 0.2, 8, 30, 0, 0, 0) for i in range(200)], curves=2))


def remove(path):
    def change(workdir):
        os.remove(os.path.join(workdir, path))
    return change


def unreadable(path):
    def change(workdir):
        os.chmod(os.path.join(workdir, path), 0)
    return change


def directory(path):
    def change(workdir):
        full = os.path.join(workdir, path)
        os.remove(full)
        os.makedirs(full)
    return change


def failure(path):
    return h.texture_failure(path)


class Case:
    def __init__(self, what, change, out=(), err=b"", status=None, nobody=False, not_out=(), shown=None):
        self.what = what
        self.change = change
        self.out = out            # lines (bytes) stdout must hold
        self.not_out = not_out    # lines it must not hold
        self.err = err            # the whole of stderr
        self.status = status      # exit status when the case ends the process, else None
        self.nobody = nobody
        self.shown = shown or {}  # phase -> False when its picture is not shown


# Cases in which the show plays on.
PLAYING = [
    Case("logo missing", remove("textures/quenbar.jpg"), out=[failure("textures/quenbar.jpg")],
         not_out=[failure("textures/fin.jpg")], shown={"logo": False, "end": False}),
    Case("intro missing", remove("textures/intro1.jpg"), out=[failure("textures/intro1.jpg")],
         not_out=[failure("textures/quenbar.jpg"), failure("textures/fin.jpg")],
         shown={"logo": False, "intro": False, "end": False}),
    Case("end missing", remove("textures/fin.jpg"), out=[failure("textures/fin.jpg")], shown={"end": False}),
    Case("font missing", remove("textures/Font.tga"), out=[failure("textures/Font.tga")]),
    Case("particle missing", remove("textures/particule.tga"), out=[failure("textures/particule.tga")]),
    Case("mesh texture missing", remove("textures/herbe.jpg"),
         out=[b"\t\tChargement de la texture textures/herbe.jpg ...\n" + failure("textures/herbe.jpg")]),
    Case("music missing", remove("media/musique.mp3"), out=[b"File not found\n"]),
    Case("object path missing", remove(MAP_DIR + "cube.dpl"),
         err=("%scube.dpl: No such file or directory\n" % MAP_DIR).encode()),
    Case("camera path missing", remove(MAP_DIR + "camera.dpl"),
         err=("%scamera.dpl: No such file or directory\n" % MAP_DIR).encode()),
    Case("intro unreadable", unreadable("textures/intro1.jpg"), out=[failure("textures/intro1.jpg")],
         nobody=True, shown={"logo": False, "intro": False, "end": False}),
    Case("object path unreadable", unreadable(MAP_DIR + "cube.dpl"), nobody=True,
         err=("%scube.dpl: Permission denied\n" % MAP_DIR).encode()),
    Case("music unreadable", unreadable("media/musique.mp3"), nobody=True, out=[b"File not found\n"]),
    Case("logo a directory", directory("textures/quenbar.jpg"), out=[failure("textures/quenbar.jpg")],
         shown={"logo": False, "end": False}),
    Case("camera path a directory", directory(MAP_DIR + "camera.dpl"),
         err=("%scamera.dpl: Is a directory\n" % MAP_DIR).encode()),
] + [Case("sky side %s missing" % side, remove(side), out=[failure(side)]) for side in SKY]

# Cases that end the process while the map loads.
ENDING = [
    Case("map missing", remove(MAP_DIR + MAP + ".mde"), status=0,
         err=("%s%s.mde: No such file or directory\n" % (MAP_DIR, MAP)).encode()),
    Case("mesh missing", remove(MAP_DIR + "sol.msh"), status=1,
         err=("%ssol.msh: No such file or directory\n" % MAP_DIR).encode()),
    Case("map unreadable", unreadable(MAP_DIR + MAP + ".mde"), status=0, nobody=True,
         err=("%s%s.mde: Permission denied\n" % (MAP_DIR, MAP)).encode()),
    Case("mesh unreadable", unreadable(MAP_DIR + "cube.msh"), status=1, nobody=True,
         err=("%scube.msh: Permission denied\n" % MAP_DIR).encode()),
    Case("map a directory", directory(MAP_DIR + MAP + ".mde"), status=0,
         err=("%s%s.mde: Is a directory\n" % (MAP_DIR, MAP)).encode()),
    Case("mesh a directory", directory(MAP_DIR + "sol.msh"), status=1,
         err=("%ssol.msh: Is a directory\n" % MAP_DIR).encode()),
]

PICTURE_COLORS = {"logo": h.LOGO_COLOR, "intro": h.INTRO_COLOR, "end": h.END_COLOR}


class FaultMatrix(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Pictures and music are made once; each case plays in a copy.
        cls.template = h.new_workdir()
        fault_map(cls.template)

    @classmethod
    def tearDownClass(cls):
        h.cleanup(cls.template)

    def start(self, case):
        """Starts the player on a copy of the map with the case's fault, on a display of its own;
        both end with the subtest (a failed case must not leave its window for the next)."""
        display = h.Display()
        workdir = os.path.join(h.new_workdir(), "play")
        self.addCleanup(h.cleanup, os.path.dirname(workdir))
        shutil.copytree(self.template, workdir)
        os.chmod(os.path.dirname(workdir), 0o755)
        os.chmod(workdir, 0o755)
        case.change(workdir)
        player = h.Player(workdir, [MAP], display, wrapper=AS_NOBODY if case.nobody else None,
                          env=NOBODY_ENV if case.nobody else {"LD_PRELOAD": CLOCK_PRELOAD})
        self.stops.append(display.close)
        self.stops.append(player.close)
        return player

    def setUp(self):
        self.stops = []

    def stop_all(self):
        while self.stops:
            self.stops.pop()()

    def shot(self, player, seconds):
        player.set_clock(seconds)
        time.sleep(1.0)
        return player.screenshot().mean(*VIEW)

    def check_console(self, case, player):
        out = player.stdout()
        for line in case.out:
            self.assertIn(line, out, case.what)
        for line in case.not_out:
            self.assertNotIn(line, out, case.what)
        self.assertEqual(player.stderr(), case.err, case.what)

    def test_faults_that_let_the_show_play_through_its_restart(self):
        for case in PLAYING:
            with self.subTest(case.what):
                self.addCleanup(self.stop_all)
                self.play_through(case)
                self.stop_all()

    def play_through(self, case):
        player = self.start(case)
        player.wait_window()
        self.assertTrue(player.wait_for_output(b"Chargement de la map effectue\n"), case.what)
        # First run: logo, intro, scene, end; then the restart: logo, intro again.
        first = {"logo": self.shot(player, 2), "intro": self.shot(player, 18)}
        scene = self.shot(player, 40)
        first["end"] = self.shot(player, 130)
        again = {"logo": self.shot(player, 143), "intro": self.shot(player, 156)}
        for phase, color in PICTURE_COLORS.items():
            shows = h.close_to(first[phase], color)
            self.assertEqual(shows, case.shown.get(phase, True), (case.what, phase, first[phase]))
        for phase in again:
            self.assertTrue(h.close_to(again[phase], first[phase], 6), (case.what, phase, again[phase]))
        for color in PICTURE_COLORS.values():
            self.assertFalse(h.close_to(scene, color), (case.what, "scene", scene))
        self.assertIsNone(player.proc.poll(), case.what)
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0, case.what)
        self.check_console(case, player)

    def test_faults_that_end_the_load_with_their_status(self):
        for case in ENDING:
            with self.subTest(case.what):
                player = self.start(case)
                try:
                    self.assertEqual(player.wait_exit(30), case.status, case.what)
                    self.check_console(case, player)
                    self.assertNotIn(b"Chargement de la map effectue\n", player.stdout(), case.what)
                finally:
                    self.stop_all()


if __name__ == "__main__":
    unittest.main()
