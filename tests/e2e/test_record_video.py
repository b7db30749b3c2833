"""skarn-record on a small map: an H.264 + AAC file of one whole show, frames that match the
player's own screenshots at the same show times, the same frames on a second run, the music on the
sound track where it plays and silence without it."""

import os
import unittest

import harness as h
import record_harness as r

FPS = 2
# Tolerance against the player: H.264 at its quality setting and 4:2:0 colour cost a few levels
# on average (1.4 to 1.8 measured) and more at sharp colour edges (up to 0.7% of the pixels off by
# more than 48 in the scene); a wrong phase, camera or upside-down frame is off by 20 and more.
MEAN_TOLERANCE, FAR_TOLERANCE = 4.0, 0.02
FPS_TEXT_ROWS = (50, 90)  # the title and frame-rate text: the rates differ between the two runs


class RecordedShow(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir("skarn-record-")
        self.addCleanup(h.cleanup, self.workdir)
        r.still_map(self.workdir)

    def record(self, name):
        run = r.record(self.workdir, ["--fps", str(FPS), "show", name])
        self.assertEqual(run.returncode, 0, run.stderr)
        return run, os.path.join(self.workdir, name)

    def test_one_whole_show_with_the_players_frames_console_and_music(self):
        run, video = self.record("show.mp4")
        info = r.probe(video)
        streams = {s["codec_type"]: s for s in info["streams"]}
        self.assertEqual(len(info["streams"]), 2)
        v, a = streams["video"], streams["audio"]
        self.assertEqual((v["codec_name"], v["width"], v["height"], v["pix_fmt"]), ("h264", 640, 480, "yuv420p"))
        self.assertEqual(int(v["nb_read_frames"]), r.SHOW_SECONDS * FPS)
        self.assertAlmostEqual(float(v["duration"]), r.SHOW_SECONDS, delta=0.01)
        self.assertEqual((a["codec_name"], a["sample_rate"], a["channels"]), ("aac", "44100", 2))
        self.assertAlmostEqual(float(a["duration"]), r.SHOW_SECONDS, delta=0.05)
        self.assertEqual(r.leftovers(self.workdir), ["show.mp4"])
        # The console: the player's load log, then one closing line; nothing of the end phase, and
        # no progress line on standard error (not a terminal).
        lines = run.stdout.split(b"\n")
        self.assertEqual(lines[-3:], [h.LOADED.strip(), lines[-2], b""])
        self.assertRegex(lines[-2], rb"^Vid\xe9o enregistr\xe9e : show\.mp4 \(140 s, 280 images, [0-9.]+ Mo\)$")
        self.assertNotIn(b"FIN", run.stdout)
        self.assertEqual(run.stderr, b"")
        # The music plays from the start and ends where the file ends (half-second windows, 3 s).
        level = r.loudness(video)
        self.assertTrue(all(v > 0.05 for v in level[1:5]), level[:8])
        self.assertTrue(all(v < 0.002 for v in level[8:]), max(level[8:]))
        # Frames against the player's screenshots at the same show times.
        display = h.Display()
        self.addCleanup(display.close)
        player = h.Player(self.workdir, ["show"], display)
        self.addCleanup(player.close)
        player.wait_window()
        self.assertEqual(run.stdout.split(h.LOADED)[0], player.stdout().split(h.LOADED)[0])
        moments = sorted(r.MOMENTS.items(), key=lambda m: m[1])
        frames = r.frames_at(video, FPS, [s for _, s in moments])
        for (name, seconds), frame in zip(moments, frames):
            player.set_clock(seconds)
            h.time.sleep(1.0)
            mean, far = r.difference(frame, player.screenshot(), [FPS_TEXT_ROWS])
            self.assertLess(mean, MEAN_TOLERANCE, "%s at %d s: mean difference %.2f" % (name, seconds, mean))
            self.assertLess(far, FAR_TOLERANCE, "%s at %d s: %.3f of the pixels far off" % (name, seconds, far))
        # The moments show different things: the comparison can tell phases apart.
        self.assertGreater(r.difference(frames[0], frames[1])[0], 20)
        self.assertGreater(r.difference(frames[2], frames[3])[0], 20)
        # A second recording gives the same frames and sound.
        self.assertEqual(r.digest(video), r.digest(self.record("again.mp4")[1]))


class SilentShow(unittest.TestCase):
    def test_missing_or_unreadable_music_gives_the_players_line_and_a_silent_track(self):
        for music, line in ((None, b"File not found\n"), (b"not music at all\n" * 50, b"Unknown file format\n")):
            with self.subTest(line=line):
                workdir = h.new_workdir("skarn-record-")
                self.addCleanup(h.cleanup, workdir)
                r.still_map(workdir, music_seconds=0)
                if music:
                    h.write_file(os.path.join(workdir, "media", "musique.mp3"), music)
                run = r.record(workdir, ["--fps", "1", "show", "silent.mp4"])
                self.assertEqual(run.returncode, 0, run.stderr)
                self.assertIn(b"Veuillez patienter...INITIALISATION DE FMOD\n" + line, run.stdout)
                level = r.loudness(os.path.join(workdir, "silent.mp4"))
                self.assertEqual(len(level), 2 * r.SHOW_SECONDS)
                self.assertTrue(all(v < 0.001 for v in level), max(level))


if __name__ == "__main__":
    unittest.main()
