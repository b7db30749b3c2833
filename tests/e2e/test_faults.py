"""Faults: wrong argument count, resources missing, unreadable or a directory. Each gives its
console line and status; a run that survives its faults plays the show through its restart."""

import os
import pathlib
import re
import shutil
import subprocess
import time
import unittest

import harness as h

D = "map/faute/"
# Unprivileged, so a file without read permission can't be read; the fake clock is preloaded past
# setpriv, whose root-made semaphore the unprivileged player could not open.
AS_NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env",
             "LD_PRELOAD=" + h.CLOCK_PRELOAD]
SKY = ["textures/%s.jpg" % name for name in h.SKY_FILES]
PICTURE_COLORS = {"logo": h.LOGO_COLOR, "intro": h.INTRO_COLOR, "end": h.END_COLOR}
fail = h.texture_failure
VERSION = re.search(r"project\(skarn VERSION (\S+)", open(os.path.join(h.ROOT, "CMakeLists.txt")).read()).group(1)


def error(path, why="No such file or directory"):
    return ("%s: %s\n" % (path, why)).encode()


def case(what, rm=(), chmod=(), mkdir=(), out=(), not_out=(), err=b"", status=None, hidden=(), args=("faute",),
         fifo=(), link=None, write=None, sparse=None):
    """hidden: the phases whose picture is not shown; fifo: files made FIFOs; link: files made symbolic links
    to the given targets; write: files given new contents; sparse: files given a first line, then holes up to
    the given size."""
    return dict(what=what, rm=rm, chmod=chmod, mkdir=mkdir, out=out, not_out=not_out, err=err, status=status,
                hidden=hidden, args=args, fifo=fifo, link=link or {}, write=write or {},
                sparse=sparse or {})


NOT_REGULAR = "not a regular file (a pipe, a device or a socket is never read)"
# Hostile runs: a memory ceiling (a reader that swallows /dev/zero hits it at once instead of the
# machine's memory); the waits on the run only guard against a hang.
# (The sanitizer's shadow memory needs far more address space: no ceiling there.)
LIMITED = ["bash", "-c", ('' if h.SANITIZED else 'ulimit -v 2000000; ') + 'exec "$0" "$@"']
STDIN = "textures/" + "../" * 12 + "dev/stdin"


# Several faults per run when they leave each other's lines and pictures alone.
PLAYING = [
    case("intro missing", rm=["textures/intro1.jpg"], out=[fail("textures/intro1.jpg")],
         not_out=[fail("textures/quenbar.jpg"), fail("textures/fin.jpg")], hidden=["logo", "intro", "end"]),
    case("end, font, particle, mesh texture and music missing",
         rm=["textures/fin.jpg", "textures/Font.tga", "textures/particule.tga", "textures/herbe.jpg",
             "media/musique.mp3"],
         out=[fail("textures/fin.jpg"), fail("textures/Font.tga"), fail("textures/particule.tga"),
              b"\t\tChargement de la texture textures/herbe.jpg ...\n" + fail("textures/herbe.jpg"),
              b"File not found\n"], hidden=["end"]),
    case("sky, object path and camera path missing", rm=SKY + [D + "cube.dpl", D + "camera.dpl"],
         out=[fail(side) for side in SKY], err=error(D + "camera.dpl") + error(D + "cube.dpl")),
    case("intro, object path and music unreadable", chmod=["textures/intro1.jpg", D + "cube.dpl", "media/musique.mp3"],
         out=[fail("textures/intro1.jpg"), b"Error loading file\n"], err=error(D + "cube.dpl", "Permission denied"),
         hidden=["logo", "intro", "end"]),
    case("FIFOs and endless devices in place of a picture, a sky side, the camera and object paths",
         fifo=["textures/herbe.jpg", D + "cube.dpl"], link={"textures/back.jpg": "/dev/urandom", D + "camera.dpl": "/dev/zero"},
         out=[b"\t\tChargement de la texture textures/herbe.jpg ...\n" + fail("textures/herbe.jpg"), fail("textures/back.jpg")],
         err=error(D + "camera.dpl", NOT_REGULAR) + error(D + "cube.dpl", NOT_REGULAR)),
    case("a texture named through the parent folders to the standard input; a negative lamp count",
         write={D + "cube.msh": h.box_mesh(3, (1, 1, 1), option=64, texture=STDIN[len("textures/"):]),
                D + "faute.mde": h.map_file(eye=(0, 5, 30), world=["sol"], objects=["cube"]).replace(
                    "lampes (0)", "lampes (-1)")},
         out=[b"\t\tChargement de la texture %s ...\n" % STDIN.encode() + fail(STDIN),
              b"Chargement camera ...\nChargement decor :\n"], not_out=[b"Chargement lampe", b"lamp count"]),
    case("logo missing, camera path a directory", rm=["textures/quenbar.jpg"], mkdir=[D + "camera.dpl"],
         out=[fail("textures/quenbar.jpg")], not_out=[fail("textures/fin.jpg")],
         err=error(D + "camera.dpl", "Is a directory"), hidden=["logo", "end"]),
]
ENDING = [
    # No map, two maps, or a toolkit option alone (the toolkit takes its own options): the usage line.
    *[case("arguments %s" % (a,), args=a, status=0, out=[b"skarn nom_map\n"], not_out=[b"Veuillez"])
      for a in ((), ("faute", "b"), ("-iconic",), ("-sync",), ("-gldebug",), ("-direct",), ("-indirect",))],
    case("help", args=("--help",), status=0, out=[b"skarn nom_map\n\n", b"media/musique.mp3", b"  Echap, q   quitter\n",
                                                  b"  y, h       camera libre"], not_out=[b"Veuillez"]),
    case("version", args=("--version",), status=0, out=[("skarn %s\n" % VERSION).encode()], not_out=[b"Veuillez"]),
    case("map a FIFO", fifo=[D + "faute.mde"], status=0, err=error(D + "faute.mde", NOT_REGULAR)),
    case("map /dev/zero", link={D + "faute.mde": "/dev/zero"}, status=0, err=error(D + "faute.mde", NOT_REGULAR)),
    case("mesh a FIFO", fifo=[D + "sol.msh"], status=1, err=error(D + "sol.msh", NOT_REGULAR)),
    case("mesh /dev/urandom", link={D + "sol.msh": "/dev/urandom"}, status=1, err=error(D + "sol.msh", NOT_REGULAR)),
    # Sparse files: a few bytes on disk, gigabytes long, counts the holes can never back.
    case("mesh of 2147483647 vertices in 13 GB of holes", sparse={D + "sol.msh": ("vertices (2147483647) :\n", 13 << 30)},
         status=1, err=error(D + "sol.msh", "Cannot allocate memory")),
    case("mesh of 100 million vertices in 600 MB of holes", sparse={D + "sol.msh": ("vertices (100000000) :\n", 600 << 20)},
         status=1, err=b"map/faute/sol.msh:1: error: not enough memory for the vertex count 100000000\n"),
    case("mesh of 1000 vertices in 1 MB of holes: the holes read as NUL bytes, shown escaped",
         sparse={D + "sol.msh": ("vertices (1000) :\n", 1 << 20)},
         status=1, err=b"map/faute/sol.msh:2: error: expected a number, found \"" + b"\\0" * 24 + b"\"\n"),
    case("map listing 100 million names in 300 MB of holes", sparse={D + "faute.mde": (
        h.map_file(eye=(0, 5, 30)).split("monde")[0] + "monde (100000000) :\n", 300 << 20)}, status=1,
         err=b"map/faute/faute.mde:7: error: a NUL byte inside the name \"" + b"\\0" * 24 + b"\"\n"),
    case("a NUL byte inside a mesh name",
         write={D + "faute.mde": h.map_file(eye=(0, 5, 30), world=["sol\0x"]).encode("latin-1")}, status=1,
         err=b'map/faute/faute.mde:7: error: a NUL byte inside the name "sol\\0x"\n'),
    case("a NUL byte inside a picture name", write={D + "sol.msh": h.box_mesh(
        20, (0.3, 0.6, 0.3), texture="herbe.jpg\0.tga").encode("latin-1")}, status=1,
         err=b'map/faute/sol.msh:34: error: a NUL byte inside the name "herbe.jpg\\0.tga"\n'),
    case("map a symbolic link loop", link={D + "faute.mde": "faute.mde"}, status=0,
         err=error(D + "faute.mde", "Too many levels of symbolic links")),
    case("map missing", rm=[D + "faute.mde"], status=0, err=error(D + "faute.mde")),
    case("mesh missing", rm=[D + "sol.msh"], status=1, err=error(D + "sol.msh")),
    case("map unreadable", chmod=[D + "faute.mde"], status=0, err=error(D + "faute.mde", "Permission denied")),
    case("mesh a directory", mkdir=[D + "sol.msh"], status=1, err=error(D + "sol.msh", "Is a directory")),
]


class FaultMatrix(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Every kind of resource: screens, sky, font, particles, music, textures, paths.
        cls.template = w = h.new_workdir()
        cls.display = h.Display()
        h.make_show_pictures(w)
        h.write_music(w, seconds=2)
        h.write_solid_jpg(os.path.join(w, "textures/herbe.jpg"), (110, 70, 20))
        h.write_files(os.path.join(w, D), {
            "faute.mde": h.map_file(eye=(0, 5, 30), world=["sol"], objects=["cube"]),
            "sol.msh": h.box_mesh(20, (0.3, 0.6, 0.3), texture="herbe.jpg"),
            "cube.msh": h.box_mesh(3, (1, 1, 1), option=64),
            "cube.dpl": h.trajectory([(i, 3, 0) for i in range(8)], loop=1),
            "camera.dpl": h.trajectory([(i * 0.2, 8, 30, 0, 0, 0) for i in range(200)], curves=2)})

    @classmethod
    def tearDownClass(cls):
        cls.display.close()
        h.cleanup(cls.template)

    def prepare(self, c):
        """A copy of the template with the case's faults made; returns its folder."""
        workdir = os.path.join(h.new_workdir(), "play")
        self.addCleanup(h.cleanup, os.path.dirname(workdir))
        shutil.copytree(self.template, workdir)
        for d in (os.path.dirname(workdir), workdir):
            os.chmod(d, 0o755)
        for path in list(c["rm"]) + list(c["mkdir"]):
            os.remove(os.path.join(workdir, path))
        for path in c["mkdir"]:
            os.makedirs(os.path.join(workdir, path))
        for path in c["chmod"]:
            os.chmod(os.path.join(workdir, path), 0)
        for path in c["fifo"]:
            os.remove(os.path.join(workdir, path))
            os.mkfifo(os.path.join(workdir, path))
        for path, target in c["link"].items():
            os.remove(os.path.join(workdir, path))
            os.symlink(target, os.path.join(workdir, path))
        h.write_files(workdir, c["write"])
        for path, (head, size) in c["sparse"].items():
            h.write_file(os.path.join(workdir, path), head)
            os.truncate(os.path.join(workdir, path), size)
        return workdir

    def start(self, c):
        workdir = self.prepare(c)
        nobody = bool(c["chmod"])
        if getattr(self, "player", None):
            self.player.close()  # the previous case's, still running when it failed
        hostile = bool(c["fifo"] or c["link"] or c["write"] or c["sparse"])
        # A standard input that never ends nor answers, as a terminal would be.
        self.player = h.Player(workdir, c["args"], self.display,
                               wrapper=AS_NOBODY if nobody else LIMITED if hostile else None,
                               env={"LD_PRELOAD": "" if nobody else h.CLOCK_PRELOAD,
                                    "MESA_SHADER_CACHE_DISABLE": "true"}, stdin=subprocess.PIPE)
        self.addCleanup(self.player.close)
        return self.player

    def check_console(self, c, player):
        out = player.stdout()
        self.assertEqual([line in out for line in list(c["out"]) + list(c["not_out"])],
                         [True] * len(c["out"]) + [False] * len(c["not_out"]), (c["what"], out))
        self.assertEqual(player.stderr(), c["err"], c["what"])

    # The runs that play the whole show take long: two CTest entries share them.
    def test_faults_that_let_the_show_play_through_its_restart(self):
        self.play_through_the_restart(PLAYING[:4])

    def test_more_faults_that_let_the_show_play_through_its_restart(self):
        self.play_through_the_restart(PLAYING[4:])

    def play_through_the_restart(self, cases):
        for c in cases:
            with self.subTest(c["what"]):
                player = self.start(c)
                player.wait_window()
                self.assertTrue(player.wait_for_output(h.LOADED), c["what"])

                def shot(seconds, unlike=None):
                    """The view a second after the clock moved; with `unlike`, until it has changed
                    from that colour (the scene's first frame may take longer to draw), up to 10 s."""
                    player.set_clock(seconds)
                    time.sleep(1.0)
                    view = player.screenshot().mean(*h.VIEW)
                    for _ in range(36 if unlike else 0):
                        if not h.close_to(view, unlike, 6):
                            break
                        time.sleep(0.25)
                        view = player.screenshot().mean(*h.VIEW)
                    return view

                # Logo, intro, scene, end; then the restart: logo, intro again.
                first = {"logo": shot(2), "intro": shot(18)}
                scene = shot(40, unlike=first["intro"])
                first["end"] = shot(130)
                again = {"logo": shot(143), "intro": shot(156)}
                for phase, color in PICTURE_COLORS.items():
                    self.assertEqual(h.close_to(first[phase], color), phase not in c["hidden"], (c["what"], phase))
                    self.assertFalse(h.close_to(scene, color), (c["what"], "scene", scene))
                for phase in again:
                    self.assertTrue(h.close_to(again[phase], first[phase], 6), (c["what"], phase, again[phase]))
                player.key("Escape")
                self.assertEqual(player.wait_exit(), 0, c["what"])
                self.check_console(c, player)

    def test_faults_that_end_the_load_with_their_status(self):
        for c in ENDING:
            if c["sparse"] and h.SANITIZED:
                continue  # gigabytes of holes read without a memory ceiling would only measure the machine
            with self.subTest(c["what"]):
                player = self.start(c)
                self.assertEqual(player.wait_exit(30), c["status"], c["what"])
                self.check_console(c, player)
                self.assertNotIn(h.LOADED, player.stdout(), c["what"])

    def test_closed_console_pipe_plays_on_and_a_lost_display_ends_in_one_line(self):
        # The reader of the console goes away after one line; the keys still work and print.
        workdir = self.prepare(case("pipe"))
        player = h.Player(workdir, ["faute"], self.display, wrapper=["bash", "-c", 'set -o pipefail; "$0" "$@" | head -1 >pipe.txt'],
                          env={"MESA_SHADER_CACHE_DISABLE": "true"})
        self.addCleanup(player.close)
        player.wait_window()
        player.key("c", "i", "k")  # each prints a line into the closed pipe
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)
        self.assertEqual(player.stderr(), b"")
        self.assertEqual(pathlib.Path(workdir, "pipe.txt").read_bytes(),
                         b"Veuillez patienter...INITIALISATION DE FMOD\n")
        # The X server goes away under a running show: one line and status 1.
        display = h.Display()
        self.addCleanup(display.close)
        lost = h.Player(workdir, ["faute"], display, env={"MESA_SHADER_CACHE_DISABLE": "true"})
        self.addCleanup(lost.close)
        lost.wait_window()
        self.assertTrue(lost.wait_for_output(h.LOADED))
        display.close()
        self.assertEqual(lost.wait_exit(), 1)
        self.assertEqual(lost.stderr(), b"Affichage perdu : le serveur X ne repond plus, fin du spectacle\n")

    def test_accents_in_utf8_on_a_utf8_terminal_and_as_bytes_elsewhere(self):
        # The mesh texture is missing (a line with accents on standard output), then the object's
        # mesh, whose name has an accent (the error on standard error, status 1).
        workdir = self.prepare(case("accents", rm=["textures/herbe.jpg"]))
        h.write_file(os.path.join(workdir, D, "faute.mde"),
                     h.map_file(eye=(0, 5, 30), world=["sol"], objects=["cub\xe9"]).encode("latin-1"))
        out = fail("textures/herbe.jpg")
        err = b"map/faute/cub\xe9.msh: No such file or directory\n"
        utf8 = lambda text: text.decode("cp1252").encode("utf-8")
        # (locale, standard output a terminal, standard error a terminal): each stream on its own.
        for lang, out_tty, err_tty in (("C.UTF-8", True, False), ("C.UTF-8", False, True), ("C", True, True)):
            with self.subTest(lang=lang, out_tty=out_tty, err_tty=err_tty):
                streams = [os.openpty() if tty else None for tty in (out_tty, err_tty)]
                files = [s[1] if s else open(os.path.join(workdir, name), "wb")
                         for s, name in zip(streams, ("out.txt", "err.txt"))]
                env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
                env.update(LANG=lang, DISPLAY=self.display.name, SDL_AUDIODRIVER="dummy")
                proc = subprocess.Popen([h.SKARN, "faute"], cwd=workdir, env=env, stdout=files[0],
                                          stderr=files[1], stdin=subprocess.DEVNULL)
                self.assertEqual(proc.wait(timeout=60), 1)
                got = []
                for stream, f, name in zip(streams, files, ("out.txt", "err.txt")):
                    if stream:
                        os.close(stream[1])
                        got.append(read_terminal(stream[0]).replace(b"\r\n", b"\n"))
                    else:
                        f.close()
                        got.append(pathlib.Path(workdir, name).read_bytes())
                converts = lang == "C.UTF-8"
                self.assertIn(utf8(out) if out_tty and converts else out, got[0])
                self.assertEqual(got[1], utf8(err) if err_tty and converts else err)

    def test_a_mesh_cut_while_it_is_read_gives_a_message_never_a_signal(self):
        workdir = self.prepare(case("cut"))
        mesh = os.path.join(workdir, D, "sol.msh")
        count = 12000000
        whole = ("vertices (%d) :\n" % count + "0.5 0.25 1\n" * count).encode()
        self.addCleanup(lambda: os.path.exists(mesh) and os.remove(mesh))
        check = os.environ.get("SKARN_CHECK_BIN", os.path.join(h.ROOT, "build", "skarn-check"))
        env = dict(os.environ, DISPLAY=self.display.name, SDL_AUDIODRIVER="dummy")
        # The file is cut at several moments of the read; whenever the cut lands, the run ends in
        # a line, never a signal (the waits only spread the cuts, the timeout only guards a hang).
        # As the file's owner the reader maps it under a lease and the cut waits for it; as another
        # user it can have no lease and copies the file, and the cut can land inside the copy.
        nobody = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
        for program, user in ((check, []), (check, nobody), (h.SKARN, [])):
            for delay in (0.05, 0.3):
                with self.subTest(program=os.path.basename(program), other_user=bool(user), delay=delay):
                    h.write_file(mesh, whole)
                    proc = subprocess.Popen(user + LIMITED + [program, "faute"], cwd=workdir, env=env,
                                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
                    time.sleep(delay)
                    os.truncate(mesh, 1000)
                    out, err = proc.communicate(timeout=120)
                    self.assertIn(proc.returncode, (0, 1), (out[-300:], err))
                    self.assertTrue(b"sol.msh" in out + err, (out[-300:], err))


def read_terminal(master):
    """Everything written to a terminal whose writers have all gone."""
    data = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # EIO: no writer left
            break
        if not chunk:
            break
        data += chunk
    os.close(master)
    return data


if __name__ == "__main__":
    unittest.main()
