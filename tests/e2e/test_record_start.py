"""skarn-record from the show's start: a map the player stops at start-up (even with status 0) is
never a successful recording."""

import os
import unittest

import harness as h
import record_harness as r


class RecordStart(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir("skarn-record-")
        self.addCleanup(h.cleanup, self.workdir)

    def test_a_map_file_that_is_a_folder_fails_without_a_file(self):
        os.makedirs(os.path.join(self.workdir, "map/show/show.mde"))
        run = r.record(self.workdir, ["show", "o.mp4"], timeout=30)
        self.assertEqual((run.returncode, run.stderr), (1, b"map/show/show.mde: Is a directory\n"))
        self.assertEqual(r.leftovers(self.workdir), [])


if __name__ == "__main__":
    unittest.main()
