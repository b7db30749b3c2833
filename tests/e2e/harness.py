"""End-to-end harness: the real skarn in a scratch directory on an Xvfb of its own, its clock
driven through libfaketime, keys sent with xdotool, screenshots read as pixels. Kills by PID.
The display and the driven clock are tools/headless.py, shared with tools/capture."""

import os
import pathlib
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import headless  # noqa: E402
from headless import Display, FAKETIME_LIB  # noqa: E402,F401

ROOT = os.environ.get("SKARN_ROOT", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
SKARN = os.environ.get("SKARN_BIN", os.path.join(ROOT, "build", "skarn"))
# The sanitizer run preloads the GL driver (see make test-asan); the fake clock joins it.
CLOCK_PRELOAD = " ".join(x for x in (FAKETIME_LIB, os.environ.get("SKARN_GL_DRIVER_PRELOAD")) if x)
LOADED = b"Chargement de la map effectue\n"
VIEW = (100, 100, 540, 380)  # well inside the viewport
# apitrace's preload does not live with the sanitizer runtime.
SANITIZED = os.environ.get("SKARN_SANITIZED") == "1"
needs_apitrace = unittest.skipIf(SANITIZED, "apitrace does not run under the sanitizer build")
LOGO_COLOR, INTRO_COLOR, END_COLOR = (200, 40, 40), (40, 200, 40), (40, 40, 200)
SKY_COLORS = [(250, 250, 0), (0, 250, 250), (250, 0, 250), (120, 120, 120), (250, 140, 0), (140, 0, 250)]
SKY_FILES = ["back", "front", "bottom", "top", "left", "right"]


def texture_failure(path):
    """The console line of a picture that can't be loaded (Windows-1252 accents)."""
    return (path + " : probl\xe8me lors du chargement de la texture --> texture d\xe9sactiv\xe9e !\n").encode("latin-1")


def write_file(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb" if isinstance(text, bytes) else "w") as f:
        f.write(text)


def write_files(folder, files):
    for name, text in dict(files).items():
        write_file(os.path.join(folder, name), text)


def write_tga(path, width, height, rgba):
    """An uncompressed 32-bit Targa, top row first; rgba is (x, y) -> (r, g, b, a)."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 32, 0x28)
    pixels = [rgba(x, y) for y in range(height) for x in range(width)]
    write_file(path, header + bytes(c for r, g, b, a in pixels for c in (b, g, r, a)))


def write_solid_jpg(path, color):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", "-size", "64x64", "xc:rgb(%d,%d,%d)" % color, "-quality", "95", path], check=True)


def write_music(workdir, seconds=3):
    wav = os.path.join(workdir, "media", "tone.wav")
    os.makedirs(os.path.dirname(wav), exist_ok=True)
    subprocess.run(["sox", "-n", "-r", "22050", "-c", "1", wav, "synth", str(seconds), "sine", "440", "vol", "0.5"],
                   check=True)
    subprocess.run(["lame", "--quiet", "-b", "32", wav, os.path.join(workdir, "media", "musique.mp3")], check=True)
    os.remove(wav)


def make_show_pictures(workdir, skip=()):
    """Screens and sky in plain colours, a font of white blocks, a particle sprite; minus `skip`."""
    pictures = dict(zip([n + ".jpg" for n in SKY_FILES], SKY_COLORS),
                    **{"quenbar.jpg": LOGO_COLOR, "intro1.jpg": INTRO_COLOR, "fin.jpg": END_COLOR})
    for name, color in pictures.items():
        if name not in skip:
            write_solid_jpg(os.path.join(workdir, "textures", name), color)
    glyph = lambda x, y: (255, 255, 255, 255 if 2 <= x % 16 <= 13 and 2 <= y % 16 <= 13 else 0)
    for name, side, rgba in (("particule.tga", 16, lambda x, y: (255, 255, 255, 255)), ("Font.tga", 256, glyph)):
        if name not in skip:
            write_tga(os.path.join(workdir, "textures", name), side, side, rgba)


def box_mesh(size, color, option=0, texture=None):
    """A closed box centred on the origin, faces counter-clockwise seen from outside."""
    s = size / 2.0
    corners = [(-s, -s, -s), (s, -s, -s), (s, s, -s), (-s, s, -s), (-s, -s, s), (s, -s, s), (s, s, s), (-s, s, s)]
    quads = [(4, 5, 6, 7), (1, 0, 3, 2), (0, 4, 7, 3), (5, 1, 2, 6), (3, 7, 6, 2), (0, 1, 5, 4)]
    faces = [f for a, b, c, d in quads for f in ((a, b, c), (a, c, d))]
    lines = (["vertices (%d) :" % len(corners)] + ["%g %g %g" % v for v in corners] +
             ["faces (%d) :" % len(faces)] + ["%d %d %d" % f for f in faces] +
             ["normales (%d) :" % len(corners)] + ["%g %g %g" % (x / s, y / s, z / s) for x, y, z in corners] +
             ["couleur : %g %g %g" % color, "option : %d" % (option | (16 if texture else 0))])
    if texture:
        lines += ["texture : %s" % texture, "uv mapping (%d) :" % len(faces)] + ["0,0 1,0 1,1"] * len(faces)
    return "\n".join(lines) + "\n"


def trajectory(points, curves=1, loop=0, title="test path"):
    """A trajectory file; points is a list of tuples of 3 * curves floats."""
    lines = [title, "POSITIONS %d" % len(points), "CURVES %d" % curves, "LOOP %d" % loop, "SPEED 1.0", "START 0.0", ""]
    for p in points:
        lines += ["%g %g %g" % tuple(p[k:k + 3]) for k in range(0, len(p), 3)] + [""]
    return "\n".join(lines) + "\n"


def map_file(eye=(0, 5, 20), target=(0, 0, 0), anime=1, lamps=(), world=(), objects=(), trees=(), title="test map"):
    lines = [title, "position : %g %g %g" % eye, "cible : %g %g %g" % target, "anime : %d" % anime,
             "lampes (%d) :" % len(lamps)]
    for position, colour, intensity in lamps:
        lines += ["position : %g %g %g" % position, "couleur : %g %g %g" % colour, "intensite : %g" % intensity]
    for word, names in (("monde", world), ("objets", objects), ("arbres", trees)):
        lines += ["%s (%d) :" % (word, len(names))] + list(names)
    return "\n".join(lines) + "\n"


def new_workdir(prefix="skarn-e2e-"):
    return tempfile.mkdtemp(prefix=prefix)


def cleanup(path):
    shutil.rmtree(path, ignore_errors=True)


class Player:
    """One run of skarn: a fake clock, a display, output files, and the means to drive it."""

    def __init__(self, workdir, args, display=None, fake_clock=True, env=None, wrapper=None, stdin=subprocess.DEVNULL):
        self.workdir, self.display, self.window = workdir, display, None
        self.out_path, self.err_path = os.path.join(workdir, "stdout.txt"), os.path.join(workdir, "stderr.txt")
        self.clock_file = os.path.join(workdir, "fake-clock.txt")
        e = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        e.update(SDL_AUDIODRIVER="dummy", **({"DISPLAY": display.name} if display else {}))
        if fake_clock:
            self.set_clock(0)
            e.update(headless.clock_env(self.clock_file, e.get("LD_PRELOAD", "")))
        e.update(env or {})
        self.out, self.err = open(self.out_path, "wb"), open(self.err_path, "wb")
        self.proc = subprocess.Popen((wrapper or []) + [SKARN] + list(args), cwd=workdir, env=e, stdout=self.out,
                                     stderr=self.err, stdin=stdin)

    def set_clock(self, seconds):
        """Moves the fake clock to `seconds` past the fake start; it runs on from there."""
        headless.write_clock(self.clock_file, seconds)

    def wait_window(self, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError("skarn ended early with status %s:\n%s\n%s" %
                                     (self.proc.returncode, self.stdout(), self.stderr()))
            ids = self.x_tool("xdotool", "search", "--name", "^test$").stdout.split()
            if ids:
                self.window = ids[0].decode()
                time.sleep(0.5)
                return self.window
            time.sleep(0.1)
        raise AssertionError("no window titled 'test' appeared")

    def wait_for_output(self, needle, timeout=20):
        deadline = time.time() + timeout
        while needle not in self.stdout() and time.time() < deadline and self.proc.poll() is None:
            time.sleep(0.1)
        return needle in self.stdout()

    def x_tool(self, *command):
        """An X client on the player's display, without the player's preloads."""
        e = dict(os.environ, DISPLAY=self.display.name)
        e.pop("LD_PRELOAD", None)
        return subprocess.run(list(command), env=e, capture_output=True)

    def key(self, *keys):
        for k in keys:
            self.x_tool("xdotool", "key", "--window", self.window, k)
            time.sleep(0.15)

    def screenshot(self, height=480):
        """The window's pixels (it sits at (0, 0) without a window manager)."""
        geometry = "640x%d+0+0" % height
        return Picture(self.x_tool("import", "-window", "root", "-crop", geometry, "-depth", "8", "rgb:-").stdout)

    def wait_exit(self, timeout=20):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.close()
            raise AssertionError("skarn did not end within %d s" % timeout)

    def stdout(self):
        return pathlib.Path(self.out_path).read_bytes()

    def stderr(self):
        return pathlib.Path(self.err_path).read_bytes()

    def close(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        self.out.close()
        self.err.close()
        if self.proc.stdin:
            self.proc.stdin.close()


class PlayerTest(unittest.TestCase):
    """A scratch working directory and a display per test, both gone after it."""

    def setUp(self):
        self.workdir = new_workdir()
        self.addCleanup(cleanup, self.workdir)
        self.display = Display()
        self.addCleanup(self.display.close)

    def start(self, args, wait=True, **options):
        player = Player(self.workdir, args, self.display, **options)
        self.addCleanup(player.close)
        if wait:
            player.wait_window()
        return player

    def shot_at(self, player, seconds):
        player.set_clock(seconds)
        time.sleep(1.0)
        return player.screenshot()


def apitrace_calls(trace):
    """The calls of an apitrace file, one text each, without their numbers."""
    dump = subprocess.run(["apitrace", "dump", trace], capture_output=True, text=True).stdout
    return [line.split(" ", 1)[1] for line in dump.splitlines() if line[:1].isdigit() and " " in line]


class Picture:
    """Raw 8-bit RGB rows 640 pixels wide."""

    def __init__(self, data):
        assert len(data) % 1920 == 0 and data, "no screenshot"
        self.pixels = data

    def pixel(self, x, y):
        i = (y * 640 + x) * 3
        return tuple(self.pixels[i:i + 3])

    def mean(self, x0, y0, x1, y1):
        """Mean colour of [x0, x1) x [y0, y1), every other pixel."""
        samples = [self.pixel(x, y) for y in range(y0, y1, 2) for x in range(x0, x1, 2)]
        return tuple(sum(p[k] for p in samples) / len(samples) for k in range(3))

    def has_light_glyph(self, x0, y0, x1, y1):
        return any(min(self.pixel(x, y)) > 200 for y in range(y0, y1) for x in range(x0, x1))


def close_to(color, expected, tolerance=30):
    return all(abs(c - e) <= tolerance for c, e in zip(color, expected))


def black_bands(shot, height=480, tolerance=4):
    """The letterbox bands of 48 rows above and below the viewport are black."""
    return all(close_to(shot.mean(0, y, 640, y + 48), (0, 0, 0), tolerance) for y in (0, height - 48))
