"""skarn-record's refusals and failures: a clear message, status 1, and nothing under the output's
name (an older file of that name kept) whether the command line, the output folder, the disk or a
signal stops it; a map that ends the player ends the recording the same way."""

import os
import signal
import time
import unittest

import harness as h
import record_harness as r


class RecordFaults(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir("skarn-record-")
        self.addCleanup(h.cleanup, self.workdir)
        r.still_map(self.workdir, music_seconds=0)

    def test_refused_before_anything_starts(self):
        h.write_file(os.path.join(self.workdir, "plain"), "x")
        os.mkdir(os.path.join(self.workdir, "taken.mp4"))
        os.makedirs(os.path.join(self.workdir, "map/dossier/dossier.mde"))
        cases = [
            (["--frames", "show", "o.mp4"], b"option inconnue \"--frames\""),
            (["--fps", "500", "show", "o.mp4"], b"--fps \"500\""),
            (["show"], b"il manque le fichier de sortie"),
            (["nomap", "o.mp4"], b"map/nomap/nomap.mde : No such file or directory"),
            (["show", "o.mkv"], b"\"o.mkv\" : le fichier de sortie doit finir par .mp4"),
            (["show", "missing/o.mp4"], b"missing : No such file or directory"),
            (["show", "plain/o.mp4"], b"plain : Not a directory"),
            (["show", "taken.mp4"], b"taken.mp4 : Is a directory"),
            # A map the player stops at start-up, even with status 0, is never a recording.
            (["dossier", "o.mp4"], b"map/dossier/dossier.mde: Is a directory\n"),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                run = r.record(self.workdir, args, timeout=30)
                self.assertEqual(run.returncode, 1)
                self.assertIn(message if message.startswith(b"map/") else b"skarn-record : " + message, run.stderr)
                self.assertEqual(r.leftovers(self.workdir), ["taken.mp4"])

    def test_a_map_that_ends_the_player_ends_the_recording_the_same_way(self):
        h.write_file(os.path.join(self.workdir, "map/show/sol.msh"), "vertices (3) :\n1 2\n")
        display = h.Display()
        self.addCleanup(display.close)
        player = h.Player(self.workdir, ["show"], display, fake_clock=False)
        self.addCleanup(player.close)
        status = player.wait_exit()
        run = r.record(self.workdir, ["show", "o.mp4"], timeout=30)
        self.assertEqual((run.returncode, run.stdout, run.stderr), (status, player.stdout(), player.stderr()))
        self.assertNotEqual(status, 0)
        self.assertEqual(r.leftovers(self.workdir), [])

    def test_a_full_disk_keeps_the_older_file(self):
        h.write_file(os.path.join(self.workdir, "o.mp4"), "older")
        # A file-size limit of 100 kB: the disk is full before the show (200 kB here) is written.
        run = r.record(self.workdir, ["--fps", "5", "show", "o.mp4"],
                       wrapper=["bash", "-c", "ulimit -f 100; exec \"$@\"", "limited"], timeout=60)
        self.assertEqual(run.returncode, 1)
        self.assertRegex(run.stderr, rb"skarn-record : \xe9criture : File too large ; o\.mp4 n'est pas \xe9crit\n$")
        self.assertEqual(r.leftovers(self.workdir), ["o.mp4"])
        self.assertEqual(open(os.path.join(self.workdir, "o.mp4")).read(), "older")

    def test_a_signal_stops_the_recording_and_removes_its_file(self):
        for sig, name in ((signal.SIGINT, b"SIGINT"), (signal.SIGTERM, b"SIGTERM")):
            with self.subTest(signal=name):
                env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
                proc = h.subprocess.Popen([r.RECORD, "--fps", "60", "show", "o.mp4"], cwd=self.workdir, env=env,
                                          stdout=h.subprocess.DEVNULL, stderr=h.subprocess.PIPE)
                deadline = time.time() + 30
                while not any(n.endswith(".part") for n in os.listdir(self.workdir)) and time.time() < deadline:
                    time.sleep(0.05)
                time.sleep(0.5)
                self.assertIsNone(proc.poll(), "the recording ended before the signal")
                proc.send_signal(sig)
                _, err = proc.communicate(timeout=30)
                self.assertEqual(proc.returncode, 1)
                self.assertEqual(err, b"skarn-record : interrompu par " + name + b" ; o.mp4 n'est pas \xe9crit\n")
                self.assertEqual(r.leftovers(self.workdir), [])


if __name__ == "__main__":
    unittest.main()
