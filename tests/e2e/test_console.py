"""The console of the real player: the whole load log byte for byte, then every key's line in
order (keys outside the table print nothing), a quit key while the music plays; and the GL calls
the keys make."""

import os
import time
import unittest

import harness as h


def full_map(workdir):
    h.make_show_pictures(workdir)
    h.write_music(workdir, seconds=20)
    h.write_solid_jpg(os.path.join(workdir, "textures/herbe.jpg"), (30, 160, 30))
    h.write_tga(os.path.join(workdir, "textures/feuilles.tga"), 8, 8, lambda x, y: (20, 120, 20, 200))
    d = os.path.join(workdir, "map/vallee")
    h.write_file(os.path.join(d, "vallee.mde"), h.map_file(
        title="monde (9) : lampes (3) : a title that uses the words of the grammar",
        eye=(0, 5, 30), anime=1,
        lamps=[((10, 20, 10), (1, 1, 1), 1), ((-10, 5, 0), (1, 0, 0), 0.5)],
        world=["sol", "rocher"], objects=["oiseau"], trees=["sapin"]))
    h.write_file(os.path.join(d, "sol.msh"), h.box_mesh(20, (0.3, 0.6, 0.3), texture="herbe.jpg"))
    h.write_file(os.path.join(d, "rocher.msh"), h.box_mesh(2, (0.5, 0.5, 0.5)))
    h.write_file(os.path.join(d, "oiseau.msh"), h.box_mesh(1, (0.9, 0.1, 0.1), option=64))
    h.write_file(os.path.join(d, "sapin.msh"), h.box_mesh(3, (1, 1, 1), texture="feuilles.tga"))
    h.write_file(os.path.join(d, "oiseau.dpl"),
                 h.trajectory([(i, 3, 0, 0, 0, 0) for i in range(8)], curves=2, loop=1))
    h.write_file(os.path.join(d, "camera.dpl"),
                 h.trajectory([(i, 5, 30, 0, 0, 0) for i in range(200)], curves=2))


EXPECTED_LOG = (b"Veuillez patienter...INITIALISATION DE FMOD\n"
                b"Veuillez patienter...Chargement des sons\n"
                b"Chargement camera ...\n"
                b"Chargement lampe 0 ...\n"
                b"Chargement lampe 1 ...\n"
                b"Chargement decor :\n"
                b"\tChargement du mesh map/vallee/sol.msh ...\n"
                b"\t\tChargement de la texture textures/herbe.jpg ...\n"
                b"\tChargement du mesh map/vallee/rocher.msh ...\n"
                b"Chargement objets animes :\n"
                b"\tChargement du mesh map/vallee/oiseau.msh ...\n"
                b"\t\tChargement de la trajectoire map/vallee/oiseau.dpl\n"
                b"Chargement arbres :\n"
                b"\tChargement du mesh map/vallee/sapin.msh ...\n"
                b"\t\tChargement de la texture textures/feuilles.tga ...\n"
                + h.LOADED)


PRESSES = ["k", "k", "k", "k"] + ["n"] * 6 + ["N", "s", "s", "c", "C", "i", "o", "p", "l", "L", "m", "M",
                                              "x", "X", "a", "A", "z", "1", "r", "f", "d", "g", "y", "h"]

EXPECTED_KEYS = (b"GL_MODE : GL_EXP\n"
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


class Console(h.PlayerTest):
    def start_loaded(self, **options):
        full_map(self.workdir)
        player = self.start(["vallee"], **options)
        self.assertTrue(player.wait_for_output(h.LOADED), player.stdout())
        return player

    def test_load_log_then_every_key_then_q_while_the_music_plays(self):
        player = self.start_loaded()
        player.key(*PRESSES)
        time.sleep(0.5)
        player.key("q")
        self.assertEqual(player.wait_exit(), 0)
        self.assertEqual(player.stdout(), EXPECTED_LOG + EXPECTED_KEYS)
        self.assertEqual(player.stderr(), b"")

    @h.needs_apitrace
    def test_keys_make_their_gl_calls(self):
        trace = os.path.join(self.workdir, "keys.trace")
        player = self.start_loaded(fake_clock=False, wrapper=["apitrace", "trace", "-o", trace])
        player.key("k", "k", "i", "X", "M", "Escape")
        self.assertEqual(player.wait_exit(), 0)
        calls = "\n".join(h.apitrace_calls(trace))
        for expected in ("glEnable(cap = GL_FOG)",
                         "glFogi(pname = GL_FOG_MODE, param = GL_EXP2)",
                         "glPolygonMode(face = GL_FRONT_AND_BACK, mode = GL_LINE)",
                         "glShadeModel(mode = GL_FLAT)",
                         "glTexParameteri(target = GL_TEXTURE_2D, pname = GL_TEXTURE_MAG_FILTER, param = GL_NEAREST)\n"
                         "glTexParameteri(target = GL_TEXTURE_2D, pname = GL_TEXTURE_MIN_FILTER, param = GL_NEAREST)"):
            self.assertIn(expected, calls)


if __name__ == "__main__":
    unittest.main()
