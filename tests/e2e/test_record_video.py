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
    @classmethod
    def setUpClass(cls):
        cls.workdir = h.new_workdir("skarn-record-")
        r.still_map(cls.workdir)
        cls.result = r.record(cls.workdir, ["--fps", str(FPS), "show", "show.mp4"])
        cls.video = os.path.join(cls.workdir, "show.mp4")

    @classmethod
    def tearDownClass(cls):
        h.cleanup(cls.workdir)

    def test_one_whole_show_in_h264_and_aac(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        info = r.probe(self.video)
        video = [s for s in info["streams"] if s["codec_type"] == "video"]
        audio = [s for s in info["streams"] if s["codec_type"] == "audio"]
        self.assertEqual(len(video), 1)
        self.assertEqual(len(audio), 1)
        self.assertEqual((video[0]["codec_name"], video[0]["width"], video[0]["height"], video[0]["pix_fmt"]),
                         ("h264", 640, 480, "yuv420p"))
        self.assertEqual(int(video[0]["nb_read_frames"]), r.SHOW_SECONDS * FPS)
        self.assertAlmostEqual(float(video[0]["duration"]), r.SHOW_SECONDS, delta=0.01)
        self.assertEqual((audio[0]["codec_name"], audio[0]["sample_rate"], audio[0]["channels"]), ("aac", "44100", 2))
        self.assertAlmostEqual(float(audio[0]["duration"]), r.SHOW_SECONDS, delta=0.05)
        self.assertIn("show.mp4", r.leftovers(self.workdir))
        self.assertEqual([n for n in r.leftovers(self.workdir) if n.endswith(".part")], [])

    def test_console_is_the_players_load_log_then_one_closing_line(self):
        lines = self.result.stdout.split(b"\n")
        self.assertEqual(lines[-1], b"")
        self.assertEqual(lines[-3], h.LOADED.strip())
        self.assertRegex(lines[-2], rb"^Vid\xe9o enregistr\xe9e : show\.mp4 \(140 s, 280 images, [0-9.]+ Mo\)$")
        self.assertNotIn(b"FIN", self.result.stdout)  # the end phase's lines stay off the console
        self.assertEqual(self.result.stderr, b"")    # not a terminal: no progress line
        display = h.Display()
        self.addCleanup(display.close)
        player = h.Player(self.workdir, ["show"], display)
        self.addCleanup(player.close)
        player.wait_window()
        self.assertEqual(self.result.stdout.split(h.LOADED)[0], player.stdout().split(h.LOADED)[0])

    def test_frames_match_the_players_screenshots_at_the_same_show_times(self):
        display = h.Display()
        self.addCleanup(display.close)
        player = h.Player(self.workdir, ["show"], display)
        self.addCleanup(player.close)
        player.wait_window()
        moments = sorted(r.MOMENTS.items(), key=lambda m: m[1])
        frames = r.frames_at(self.video, FPS, [s for _, s in moments])
        for (name, seconds), frame in zip(moments, frames):
            player.set_clock(seconds)
            h.time.sleep(1.0)
            shot = player.screenshot()
            mean, far = r.difference(frame, shot, [FPS_TEXT_ROWS])
            self.assertLess(mean, MEAN_TOLERANCE, "%s at %d s: mean difference %.2f" % (name, seconds, mean))
            self.assertLess(far, FAR_TOLERANCE, "%s at %d s: %.3f of the pixels far off" % (name, seconds, far))
        # The moments show different things: the comparison can tell phases apart.
        self.assertGreater(r.difference(frames[0], frames[1])[0], 20)
        self.assertGreater(r.difference(frames[2], frames[3])[0], 20)

    def test_a_second_recording_gives_the_same_frames(self):
        again = r.record(self.workdir, ["--fps", str(FPS), "show", "again.mp4"])
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertEqual(r.digest(self.video), r.digest(os.path.join(self.workdir, "again.mp4")))

    def test_music_plays_from_the_start_and_ends_where_the_file_ends(self):
        level = r.loudness(self.video)  # half-second windows; the piece lasts 3 s
        self.assertTrue(all(v > 0.05 for v in level[1:5]), level[:8])
        self.assertTrue(all(v < 0.002 for v in level[8:]), max(level[8:]))


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
