"""The keyboard on the real player: every key's console line in order, keys outside the table,
the quit keys while the music plays, and the GL calls the keys make."""

import os
import subprocess
import time
import unittest

import harness as h

PRESSES = ["k", "k", "k", "k"] + ["n"] * 6 + ["N", "s", "s", "c", "C", "i", "o", "p", "l", "L", "m", "M",
                                              "x", "X", "a", "A", "z", "1", "r", "f", "d", "g", "y", "h"]

EXPECTED = (b"GL_MODE : GL_EXP\n"
            b"GL_MODE : GL_EXP2\n"
            b"GL_MODE : GL_LINEAR\n"
            b"GL_FOG desactive\n"
            b"Densite brouillard : 0.040000\n"
            b"Densite brouillard : 0.030000\n"
            b"Densite brouillard : 0.020000\n"
            b"Densite brouillard : 0.010000\n"
            b"Densite brouillard : -0.000000\n"
            b"Densite brouillard : -0.010000\n"
            b"Densite brouillard : 0.000000\n"
            b"Changement curseur : 101\n"
            b"Changement curseur : 101\n"
            b"GL_CULL_FACE active\n"
            b"GL_CULL_FACE desactive\n"
            b"Affichage \"fil de fer\"\n"
            b"Affichage \"faces pleines\"\n"
            b"Affichage \"points\"\n"
            b"Eclairage desactive\n"
            b"Eclairage active\n"
            b"Filtrage texture : GL_LINEAR\n"
            b"Filtrage texture : GL_NEAREST\n"
            b"Modele eclairage : GL_SMOOTH\n"
            b"Modele eclairage : GL_FLAT\n"
            b"Plein ecran\n"
            b"Mode fenetre\n")

LOADED = b"Chargement de la map effectue\n"


def key_map(workdir):
    h.make_show_pictures(workdir)
    h.write_music(workdir, seconds=20)
    h.write_file(os.path.join(workdir, "map/keys/keys.mde"), h.map_file(anime=0, world=["tri"], trees=["tri"]))
    h.write_file(os.path.join(workdir, "map/keys/tri.msh"), h.TRIANGLE_MESH)


class Keys(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir()
        key_map(self.workdir)
        self.display = h.Display()

    def tearDown(self):
        self.display.close()
        h.cleanup(self.workdir)

    def start(self, **options):
        player = h.Player(self.workdir, ["keys"], self.display, **options)
        self.addCleanup(player.close)
        player.wait_window()
        self.assertTrue(player.wait_for_output(LOADED))
        return player

    def test_every_key_in_one_run(self):
        player = self.start()
        player.key(*PRESSES)
        time.sleep(0.5)
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)
        out = player.stdout()
        self.assertEqual(out[out.index(LOADED) + len(LOADED):], EXPECTED)

    def test_q_quits_with_status_0_while_the_music_plays(self):
        player = self.start()
        self.assertIn(b"Veuillez patienter...Chargement des sons\n", player.stdout())
        player.key("q")
        self.assertEqual(player.wait_exit(), 0)
        self.assertEqual(player.stderr(), b"")

    @h.needs_apitrace
    def test_keys_make_their_gl_calls(self):
        trace = os.path.join(self.workdir, "keys.trace")
        player = self.start(fake_clock=False, wrapper=["apitrace", "trace", "-o", trace])
        player.key("k", "k", "i", "X", "M", "Escape")
        self.assertEqual(player.wait_exit(), 0)
        calls = subprocess.run(["apitrace", "dump", trace], capture_output=True, text=True).stdout
        calls = "\n".join(line.split(" ", 1)[1] for line in calls.splitlines() if line[:1].isdigit())
        for expected in ("glEnable(cap = GL_FOG)",
                         "glFogi(pname = GL_FOG_MODE, param = GL_EXP2)",
                         "glPolygonMode(face = GL_FRONT_AND_BACK, mode = GL_LINE)",
                         "glShadeModel(mode = GL_FLAT)",
                         "glTexParameteri(target = GL_TEXTURE_2D, pname = GL_TEXTURE_MAG_FILTER, param = GL_NEAREST)\n"
                         "glTexParameteri(target = GL_TEXTURE_2D, pname = GL_TEXTURE_MIN_FILTER, param = GL_NEAREST)"):
            self.assertIn(expected, calls)


if __name__ == "__main__":
    unittest.main()
