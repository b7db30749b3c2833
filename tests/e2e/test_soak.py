"""Soak in the sanitizer build: the demo plays three whole shows on a driven clock while keys of
the table (never the quit keys) and mouse drags arrive; Esc then ends it with status 0 and no
sanitizer report. Skipped for a binary built without the sanitizers."""

import os
import shutil
import unittest

import harness as h

# The sanitizer run preloads the GL driver (see make test-asan); the fake clock joins it.
CLOCK_PRELOAD = " ".join(x for x in (h.FAKETIME_LIB, os.environ.get("SKARN_GL_DRIVER_PRELOAD")) if x)

STEP = 3                      # seconds of show time per step
SHOW = 140                    # about one show; the restart comes at the first step past its end
LAST = 3 * SHOW + 15          # three whole shows and the start of a fourth
CENTRE = (220, 160, 420, 320)  # inside the picture whether windowed or full screen
# Keys in groups that leave the settings as they found them, so the screens stay comparable.
KEY_GROUPS = [["k", "k", "k", "k"], ["n", "N"], ["s", "s"], ["c", "C"], ["i", "o"], ["p", "o"],
              ["l", "L"], ["m", "M"], ["x", "X"], ["a", "A"], ["r", "f"], ["d", "g"], ["y", "h"]]
SANITIZER_WORDS = [b"AddressSanitizer", b"LeakSanitizer", b"runtime error:", b"UndefinedBehaviorSanitizer"]


def sanitized(binary):
    """Whether the binary carries the address sanitizer's runtime hooks."""
    if os.environ.get("SKARN_SANITIZED") == "1":
        return True
    try:
        with open(binary, "rb") as f:
            return b"__asan_init" in f.read()
    except OSError:
        return False


@unittest.skipUnless(sanitized(h.SKARN), "not a sanitizer build")
class Soak(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir()
        for part in ("textures", "media"):
            shutil.copytree(os.path.join(h.ROOT, part), os.path.join(self.workdir, part))
        shutil.copytree(os.path.join(h.ROOT, "map", "demo"), os.path.join(self.workdir, "map", "demo"))
        self.display = h.Display()

    def tearDown(self):
        self.display.close()
        h.cleanup(self.workdir)

    def test_three_shows_under_keys_and_drags(self):
        player = h.Player(self.workdir, ["demo"], self.display, env={"LD_PRELOAD": CLOCK_PRELOAD})
        self.addCleanup(player.close)
        player.wait_window(60)
        self.assertTrue(player.wait_for_output(b"Chargement de la map effectue\n", 120), player.stdout())
        logo = player.screenshot().mean(*CENTRE)
        logo_runs = 1
        in_logo = True
        for step, seconds in enumerate(range(STEP, LAST + 1, STEP)):
            player.set_clock(seconds)
            player.key(*KEY_GROUPS[step % len(KEY_GROUPS)])
            if step % 4 == 0:
                player.drag(100 + step % 300, 200, 400 - step % 200, 260)
            self.assertIsNone(player.proc.poll(), "ended at %d s:\n%s" % (seconds, player.stderr()[-3000:]))
            now_logo = h.close_to(player.screenshot().mean(*CENTRE), logo, 12)
            if now_logo and not in_logo:
                logo_runs += 1
            in_logo = now_logo
        self.assertGreaterEqual(logo_runs, 4, "the show did not restart three times")
        player.key("Escape")
        status = player.wait_exit(120)
        err = player.stderr()
        for word in SANITIZER_WORDS:
            self.assertNotIn(word, err, err[-3000:])
        self.assertEqual(status, 0, err[-3000:])


if __name__ == "__main__":
    unittest.main()
