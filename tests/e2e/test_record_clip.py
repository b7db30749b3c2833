"""skarn-record --at 30 --to 40: a ten-second clip whose frames and sound are seconds 30 to 40 of
the whole recording, frame for frame; bad clip bounds are refused."""

import os
import unittest

import harness as h
import record_harness as r
from test_author import author_map

FPS = 2
AT, TO = 30, 40


class Clip(unittest.TestCase):
    def test_a_clip_is_its_seconds_of_the_whole_recording(self):
        workdir = h.new_workdir("skarn-clip-")
        self.addCleanup(h.cleanup, workdir)
        author_map(workdir)
        h.write_music(workdir, seconds=35)  # ends half-way through the clip
        for args in (["--at", "41", "--to", "40"], ["--at", "x"], ["--to", "141"]):
            result = r.record(workdir, args + ["auteur", "bad.mp4"])
            self.assertEqual((result.returncode, result.stdout), (1, b""), args)
        # The recording from 0 stops a second after the clip: its first 41 s are the whole show's.
        whole = r.record(workdir, ["--fps", str(FPS), "--to", str(TO + 1), "auteur", "whole.mp4"])
        clip = r.record(workdir, ["--fps", str(FPS), "--at", str(AT), "--to", str(TO), "auteur", "clip.mp4"])
        self.assertEqual((whole.returncode, clip.returncode), (0, 0), clip.stderr)
        clip_path, whole_path = os.path.join(workdir, "clip.mp4"), os.path.join(workdir, "whole.mp4")
        video = [s for s in r.probe(clip_path)["streams"] if s["codec_type"] == "video"][0]
        self.assertEqual(int(video["nb_read_frames"]), (TO - AT) * FPS)
        moments = [AT + k / FPS for k in range((TO - AT) * FPS)]
        clip_frames = r.frames_at(clip_path, FPS, [m - AT for m in moments])
        whole_frames = r.frames_at(whole_path, FPS, moments + [moments[-1] + 1.0 / FPS])
        for k, frame in enumerate(clip_frames):
            # The same picture up to the encoder's losses; the next frame of the flight is far off.
            # The same picture up to the encoder's losses (no pixel far off); the flight's next frame
            # has the cube elsewhere (0.2 % of the pixels far off and more, measured).
            self.assertLess(r.difference(frame, whole_frames[k])[1], 0.0005, moments[k])
            self.assertGreater(r.difference(frame, whole_frames[k + 1])[1], 0.001, moments[k])
        loud_clip, loud_whole = r.loudness(clip_path), r.loudness(whole_path)
        self.assertGreater(min(loud_clip[:8]), 0.05)  # the music from second 30 ...
        self.assertLess(max(loud_clip[12:19]), 0.01)  # ... to its end at 35
        self.assertLess(max(abs(a - b) for a, b in zip(loud_clip, loud_whole[2 * AT:])), 0.02)


if __name__ == "__main__":
    unittest.main()
