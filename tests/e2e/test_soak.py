"""Soak in the sanitizer build: the demo plays three whole shows on a driven clock while keys of
the table (never the quit keys) and mouse drags arrive; Esc then ends it with status 0 and no
sanitizer report."""

import os
import shutil
import time
import unittest

import harness as h

# Seconds of show time per step (under the 10 s of the logo, so each show's logo is seen); about
# one show.
STEP, SHOW = 7, 140
CENTRE = (220, 160, 420, 320)  # inside the picture whether windowed or full screen
# Keys in groups that leave the settings as they found them, so the screens stay comparable.
KEY_GROUPS = [["k", "k", "k", "k"], ["n", "N"], ["s", "s"], ["c", "C"], ["i", "o"], ["p", "o"],
              ["l", "L"], ["m", "M"], ["x", "X"], ["a", "A"], ["r", "f"], ["d", "g"], ["y", "h"]]
SANITIZER_WORDS = [b"AddressSanitizer", b"LeakSanitizer", b"runtime error:", b"UndefinedBehaviorSanitizer"]


@unittest.skipUnless(h.SANITIZED, "not a sanitizer build")
class Soak(h.PlayerTest):
    def test_three_shows_under_keys_and_drags(self):
        for part in ("textures", "media", "map/demo"):
            shutil.copytree(os.path.join(h.ROOT, part), os.path.join(self.workdir, part))
        player = self.start(["demo"], wait=False, env={"LD_PRELOAD": h.CLOCK_PRELOAD})
        player.wait_window(60)
        self.assertTrue(player.wait_for_output(h.LOADED, 120), player.stdout())
        for _ in range(40):  # the sanitizer build is slow: wait for the first drawn logo
            logo = player.screenshot().mean(*CENTRE)
            if max(logo) > 10:
                break
            time.sleep(0.5)
        logo_runs, in_logo = 1, True
        # Three whole shows and the start of a fourth: a restart at the first step past each end.
        for step, seconds in enumerate(range(STEP, 3 * (SHOW + STEP) + 20, STEP)):
            player.set_clock(seconds)
            player.key(*KEY_GROUPS[step % len(KEY_GROUPS)])
            if step % 4 == 0:
                x0, x1 = 100 + step % 300, 400 - step % 200
                player.x_tool("xdotool", "mousemove", str(x0), "200", "mousedown", "1", "mousemove",
                              str((x0 + x1) // 2), "230", "mousemove", str(x1), "260", "mouseup", "1")
            self.assertIsNone(player.proc.poll(), "ended at %d s:\n%s" % (seconds, player.stderr()[-3000:]))
            now_logo = h.close_to(player.screenshot().mean(*CENTRE), logo, 12)
            logo_runs += now_logo and not in_logo
            in_logo = now_logo
        self.assertGreaterEqual(logo_runs, 4, "the show did not restart three times")
        player.key("Escape")
        status, err = player.wait_exit(120), player.stderr()
        for word in SANITIZER_WORDS:
            self.assertNotIn(word, err, err[-3000:])
        self.assertEqual(status, 0, err[-3000:])


if __name__ == "__main__":
    unittest.main()
