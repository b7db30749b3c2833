"""End-to-end harness: runs the real skarn in a scratch working directory under an Xvfb of its
own, with the show clock driven through libfaketime, keys sent with xdotool, screenshots read back
as pixels, and stdout, stderr and the exit status collected. Every process is killed by PID."""

import datetime
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time
import unittest

ROOT = os.environ.get("SKARN_ROOT", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
SKARN = os.environ.get("SKARN_BIN", os.path.join(ROOT, "build", "skarn"))
FAKETIME_LIB = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1"
FAKE_EPOCH = datetime.datetime(2030, 1, 1, 0, 0, 0)

# Console lines of the system, as bytes (accents are single Windows-1252 bytes).
TEXTURE_FAILURE = " : probl\xe8me lors du chargement de la texture --> texture d\xe9sactiv\xe9e !\n".encode("latin-1")


# apitrace's own preload does not live with the sanitizer runtime: call-order tests run in the
# normal build only.
SANITIZED = os.environ.get("SKARN_SANITIZED") == "1"
needs_apitrace = unittest.skipIf(SANITIZED, "apitrace does not run under the sanitizer build")


def texture_failure(path):
    return path.encode() + TEXTURE_FAILURE


# ---------------------------------------------------------------------------------------------
# Pictures and maps
# ---------------------------------------------------------------------------------------------

def write_tga(path, width, height, rgba):
    """Writes an uncompressed 32-bit Targa, top row first; rgba is a function (x, y) -> tuple."""
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 32, 0x28)
    rows = bytearray()
    for y in range(height):
        for x in range(width):
            r, g, b, a = rgba(x, y)
            rows += bytes((b, g, r, a))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(header + bytes(rows))


def write_solid_jpg(path, color, size="64x64"):
    """A one-colour JPEG made by ImageMagick; color is an (r, g, b) tuple."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", "-size", size, "xc:rgb(%d,%d,%d)" % color, "-quality", "95", path],
                   check=True)


def write_file(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "wb" if isinstance(text, bytes) else "w"
    with open(path, mode) as f:
        f.write(text)


# Screens of the show in distinct colours, so a screenshot tells the phase.
LOGO_COLOR = (200, 40, 40)
INTRO_COLOR = (40, 200, 40)
END_COLOR = (40, 40, 200)
SKY_COLORS = [(250, 250, 0), (0, 250, 250), (250, 0, 250), (120, 120, 120), (250, 140, 0), (140, 0, 250)]
SKY_FILES = ["back", "front", "bottom", "top", "left", "right"]


def make_show_pictures(workdir, skip=()):
    """The pictures every show loads, made for the tests: screens and sky in plain colours, a font
    and a particle sprite. Names in `skip` (file names under textures/) are left out."""
    tex = os.path.join(workdir, "textures")
    os.makedirs(tex, exist_ok=True)
    pictures = {"quenbar.jpg": LOGO_COLOR, "intro1.jpg": INTRO_COLOR, "fin.jpg": END_COLOR}
    for i, name in enumerate(SKY_FILES):
        pictures[name + ".jpg"] = SKY_COLORS[i]
    for name, color in pictures.items():
        if name not in skip:
            write_solid_jpg(os.path.join(tex, name), color)
    if "Font.tga" not in skip:
        # Every glyph cell a white block with a transparent border.
        write_tga(os.path.join(tex, "Font.tga"), 256, 256,
                  lambda x, y: (255, 255, 255, 255 if 2 <= x % 16 <= 13 and 2 <= y % 16 <= 13 else 0))
    if "particule.tga" not in skip:
        write_tga(os.path.join(tex, "particule.tga"), 16, 16, lambda x, y: (255, 255, 255, 255))


TRIANGLE_MESH = """vertices (3) :
0 0 0
1 0 0
0 1 0
faces (1) :
0 1 2
normales (3) :
0 0 1
0 0 1
0 0 1
couleur : 1 1 1
option : 0
"""


def box_mesh(size, color, option=0, texture=None):
    """A closed box centred on the origin, faces wound counter-clockwise seen from outside."""
    s = size / 2.0
    corners = [(-s, -s, -s), (s, -s, -s), (s, s, -s), (-s, s, -s),
               (-s, -s, s), (s, -s, s), (s, s, s), (-s, s, s)]
    quads = [(4, 5, 6, 7), (1, 0, 3, 2), (0, 4, 7, 3), (5, 1, 2, 6), (3, 7, 6, 2), (0, 1, 5, 4)]
    faces = []
    for a, b, c, d in quads:
        faces += [(a, b, c), (a, c, d)]
    lines = ["vertices (%d) :" % len(corners)]
    lines += ["%g %g %g" % v for v in corners]
    lines.append("faces (%d) :" % len(faces))
    lines += ["%d %d %d" % f for f in faces]
    lines.append("normales (%d) :" % len(corners))
    lines += ["%g %g %g" % (v[0] / s, v[1] / s, v[2] / s) for v in corners]
    lines.append("couleur : %g %g %g" % color)
    if texture:
        option |= 16
    lines.append("option : %d" % option)
    if texture:
        lines.append("texture : %s" % texture)
        lines.append("uv mapping (%d) :" % len(faces))
        lines += ["0,0 1,0 1,1"] * len(faces)
    return "\n".join(lines) + "\n"


def trajectory(points, curves=1, loop=0, title="test path"):
    """A trajectory file; points is a list of tuples of 3 * curves floats."""
    lines = [title, "POSITIONS %d" % len(points), "CURVES %d" % curves, "LOOP %d" % loop,
             "SPEED 1.0", "START 0.0", ""]
    for p in points:
        for k in range(0, len(p), 3):
            lines.append("%g %g %g" % tuple(p[k:k + 3]))
        lines.append("")
    return "\n".join(lines) + "\n"


def map_file(eye=(0, 5, 20), target=(0, 0, 0), anime=1, lamps=(), world=(), objects=(), trees=(),
             title="test map"):
    lines = [title, "position : %g %g %g" % eye, "cible : %g %g %g" % target, "anime : %d" % anime,
             "lampes (%d) :" % len(lamps)]
    for position, colour, intensity in lamps:
        lines += ["position : %g %g %g" % position, "couleur : %g %g %g" % colour,
                  "intensite : %g" % intensity]
    for word, names in (("monde", world), ("objets", objects), ("arbres", trees)):
        lines.append("%s (%d) :" % (word, len(names)))
        lines += list(names)
    return "\n".join(lines) + "\n"


def new_workdir(prefix="skarn-e2e-"):
    return tempfile.mkdtemp(prefix=prefix)


# ---------------------------------------------------------------------------------------------
# Display
# ---------------------------------------------------------------------------------------------

class Display:
    """An Xvfb of the test's own, so parallel tests never share a screen. Xvfb picks a free
    display number itself and reports it once it accepts connections."""

    def __init__(self):
        read_end, write_end = os.pipe()
        # The server gets none of the player's preloads (sanitizer runs preload the GL driver).
        env = {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "ASAN_OPTIONS", "LSAN_OPTIONS")}
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp", "-noreset"], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, pass_fds=(write_end,), env=env)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number

    def close(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


# ---------------------------------------------------------------------------------------------
# The player
# ---------------------------------------------------------------------------------------------

class Player:
    """One run of skarn: a fake clock, a display, output files, and the means to drive it."""

    def __init__(self, workdir, args, display=None, fake_clock=True, audio="dummy", env=None,
                 wrapper=None, frozen=False):
        self.workdir = workdir
        self.display = display
        self.out_path = os.path.join(workdir, "stdout.txt")
        self.err_path = os.path.join(workdir, "stderr.txt")
        self.clock_file = os.path.join(workdir, "fake-clock.txt")
        self.window = None
        e = dict(os.environ)
        e.pop("DISPLAY", None)
        if display is not None:
            e["DISPLAY"] = display.name
        if fake_clock:
            self.set_clock(0, frozen)
            # Added to what is preloaded already (the sanitizer build preloads the GL driver).
            e["LD_PRELOAD"] = " ".join(filter(None, [e.get("LD_PRELOAD", ""), FAKETIME_LIB]))
            e["FAKETIME_TIMESTAMP_FILE"] = self.clock_file
            e["FAKETIME_NO_CACHE"] = "1"
        if audio is not None:
            e["SDL_AUDIODRIVER"] = audio
        e.update(env or {})
        cmd = (wrapper or []) + [SKARN] + list(args)
        self.out = open(self.out_path, "wb")
        self.err = open(self.err_path, "wb")
        self.proc = subprocess.Popen(cmd, cwd=workdir, env=e, stdout=self.out, stderr=self.err,
                                     stdin=subprocess.DEVNULL)

    def set_clock(self, seconds, frozen=False):
        """Moves the fake clock to `seconds` past the fake start; the clock runs on from there,
        or stands still there when frozen."""
        stamp = FAKE_EPOCH + datetime.timedelta(seconds=seconds)
        tmp = self.clock_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(("" if frozen else "@") + stamp.strftime("%Y-%m-%d %H:%M:%S") + "\n")
        os.replace(tmp, self.clock_file)

    def wait_window(self, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError("skarn ended early with status %s:\n%s\n%s" %
                                     (self.proc.returncode, self.stdout(), self.stderr()))
            r = subprocess.run(["xdotool", "search", "--name", "^test$"], capture_output=True, text=True,
                               env=self._xenv())
            ids = r.stdout.split()
            if ids:
                self.window = ids[0]
                time.sleep(0.5)
                return self.window
            time.sleep(0.1)
        raise AssertionError("no window titled 'test' appeared")

    def wait_for_output(self, needle, timeout=20):
        """Waits until stdout holds `needle` (bytes)."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if needle in self.stdout():
                return True
            if self.proc.poll() is not None:
                break
            time.sleep(0.1)
        return needle in self.stdout()

    def _xenv(self):
        e = dict(os.environ)
        e["DISPLAY"] = self.display.name
        e.pop("LD_PRELOAD", None)
        return e

    def key(self, *keys):
        for k in keys:
            # A quit key may close the window between the key's press and release: not an error.
            subprocess.run(["xdotool", "key", "--window", self.window, k], env=self._xenv(),
                           stderr=subprocess.DEVNULL)
            time.sleep(0.15)

    def drag(self, x0, y0, x1, y1):
        e = self._xenv()
        subprocess.run(["xdotool", "mousemove", str(x0), str(y0), "mousedown", "1"], env=e, check=True)
        subprocess.run(["xdotool", "mousemove", str((x0 + x1) // 2), str((y0 + y1) // 2)], env=e, check=True)
        subprocess.run(["xdotool", "mousemove", str(x1), str(y1), "mouseup", "1"], env=e, check=True)

    def resize(self, width, height):
        subprocess.run(["xdotool", "windowsize", self.window, str(width), str(height)], env=self._xenv(),
                       check=True)

    def screenshot(self, save=None, geometry="640x480+0+0"):
        """The window's pixels as a Picture (the window sits at (0, 0) without a window manager)."""
        r = subprocess.run(["import", "-window", "root", "-crop", geometry, "-depth", "8", "ppm:-"],
                           env=self._xenv(),
                           capture_output=True, check=True)
        picture = Picture(r.stdout)
        if save:
            with open(save, "wb") as f:
                f.write(r.stdout)
        return picture

    def wait_exit(self, timeout=20):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise AssertionError("skarn did not end within %d s" % timeout)

    def kill(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()

    def stdout(self):
        self.out.flush()
        with open(self.out_path, "rb") as f:
            return f.read()

    def stderr(self):
        self.err.flush()
        with open(self.err_path, "rb") as f:
            return f.read()

    def close(self):
        self.kill()
        self.out.close()
        self.err.close()


def run_to_end(workdir, args, timeout=20, env=None):
    """Runs skarn to its own end without a display; returns (status, stdout, stderr)."""
    e = dict(os.environ)
    e.pop("DISPLAY", None)
    e.update(env or {})
    r = subprocess.run([SKARN] + list(args), cwd=workdir, env=e, capture_output=True, timeout=timeout,
                       stdin=subprocess.DEVNULL)
    return r.returncode, r.stdout, r.stderr


# ---------------------------------------------------------------------------------------------
# Pictures read back
# ---------------------------------------------------------------------------------------------

class Picture:
    """A binary PPM read into memory, with pixel and region look-ups."""

    def __init__(self, data):
        fields = []
        at = 0
        while len(fields) < 4:  # magic, width, height, maximum value, then one white space
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        assert fields[0] == b"P6" and fields[3] == b"255", "not an 8-bit binary PPM"
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1: at + 1 + self.width * self.height * 3]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def mean(self, x0, y0, x1, y1):
        """Mean colour of the rectangle [x0, x1) x [y0, y1)."""
        total = [0, 0, 0]
        count = 0
        for y in range(y0, y1, 2):
            for x in range(x0, x1, 2):
                p = self.pixel(x, y)
                for k in range(3):
                    total[k] += p[k]
                count += 1
        return tuple(t / count for t in total)

    def differs(self, other, x0=0, y0=0, x1=None, y1=None):
        """Number of sampled pixels that differ between two pictures."""
        x1 = x1 or self.width
        y1 = y1 or self.height
        n = 0
        for y in range(y0, y1, 4):
            for x in range(x0, x1, 4):
                if self.pixel(x, y) != other.pixel(x, y):
                    n += 1
        return n


def close_to(color, expected, tolerance=30):
    return all(abs(c - e) <= tolerance for c, e in zip(color, expected))


def cleanup(path):
    shutil.rmtree(path, ignore_errors=True)


def write_music(workdir, seconds=3):
    """A short MP3 made with sox and lame, at media/musique.mp3."""
    media = os.path.join(workdir, "media")
    os.makedirs(media, exist_ok=True)
    wav = os.path.join(media, "tone.wav")
    subprocess.run(["sox", "-n", "-r", "22050", "-c", "1", wav, "synth", str(seconds), "sine", "440",
                    "vol", "0.5"], check=True)
    subprocess.run(["lame", "--quiet", "-b", "32", wav, os.path.join(media, "musique.mp3")], check=True)
    os.remove(wav)
