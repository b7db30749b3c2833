"""The player's console: the load log byte for byte, every key's line in order (other keys and
mouse drags print nothing), quit while the music plays. (The GL state the keys leave is
tests/gl/app/keys_gl_test.cpp's.)"""

import os
import time
import unittest

import harness as h


def full_map(workdir):
    h.make_show_pictures(workdir)
    h.write_music(workdir, seconds=20)
    h.write_solid_jpg(os.path.join(workdir, "textures/herbe.jpg"), (30, 160, 30))
    h.write_tga(os.path.join(workdir, "textures/feuilles.tga"), 8, 8, lambda x, y: (20, 120, 20, 200))
    h.write_files(os.path.join(workdir, "map/vallee"), {
        "vallee.mde": h.map_file(title="monde (9) : lampes (3) : a title that uses the words of the grammar",
                                 eye=(0, 5, 30), lamps=[((10, 20, 10), (1, 1, 1), 1), ((-10, 5, 0), (1, 0, 0), 0.5)],
                                 world=["sol", "rocher"], objects=["oiseau"], trees=["sapin"]),
        "sol.msh": h.box_mesh(20, (0.3, 0.6, 0.3), texture="herbe.jpg"),
        "rocher.msh": h.box_mesh(2, (0.5, 0.5, 0.5)),
        "oiseau.msh": h.box_mesh(1, (0.9, 0.1, 0.1), option=64),
        "sapin.msh": h.box_mesh(3, (1, 1, 1), texture="feuilles.tga"),
        "oiseau.dpl": h.trajectory([(i, 3, 0, 0, 0, 0) for i in range(8)], curves=2, loop=1),
        "camera.dpl": h.trajectory([(i, 5, 30, 0, 0, 0) for i in range(200)], curves=2)})


EXPECTED_LOG = b"".join(line + b"\n" for line in [
    b"Veuillez patienter...INITIALISATION DE FMOD", b"Veuillez patienter...Chargement des sons",
    b"Chargement camera ...", b"Chargement lampe 0 ...", b"Chargement lampe 1 ...", b"Chargement decor :",
    b"\tChargement du mesh map/vallee/sol.msh ...", b"\t\tChargement de la texture textures/herbe.jpg ...",
    b"\tChargement du mesh map/vallee/rocher.msh ...", b"Chargement objets animes :",
    b"\tChargement du mesh map/vallee/oiseau.msh ...", b"\t\tChargement de la trajectoire map/vallee/oiseau.dpl",
    b"Chargement arbres :", b"\tChargement du mesh map/vallee/sapin.msh ...",
    b"\t\tChargement de la texture textures/feuilles.tga ..."]) + h.LOADED

PRESSES = ["k"] * 4 + ["n"] * 6 + ["N", "s", "s", "c", "C", "i", "o", "p", "l", "L", "m", "M", "x", "X", "a", "A",
                                   "z", "1", "r", "f", "d", "g", "y", "h"]
EXPECTED_KEYS = b"".join(line + b"\n" for line in [
    b"GL_MODE : GL_EXP", b"GL_MODE : GL_EXP2", b"GL_MODE : GL_LINEAR", b"GL_FOG desactive"] +
    [b"Densite brouillard : %s" % d for d in (b"0.040000", b"0.030000", b"0.020000", b"0.010000", b"-0.000000",
                                              b"-0.010000", b"0.000000")] + [
    b"Changement curseur : 101", b"Changement curseur : 101", b"GL_CULL_FACE active", b"GL_CULL_FACE desactive",
    b'Affichage "fil de fer"', b'Affichage "faces pleines"', b'Affichage "points"', b"Eclairage desactive",
    b"Eclairage active", b"Filtrage texture : GL_LINEAR", b"Filtrage texture : GL_NEAREST",
    b"Modele eclairage : GL_SMOOTH", b"Modele eclairage : GL_FLAT", b"Plein ecran", b"Mode fenetre"])


class Console(h.PlayerTest):
    def test_load_log_then_every_key_then_q_while_the_music_plays(self):
        full_map(self.workdir)
        player = self.start(["vallee"])
        self.assertTrue(player.wait_for_output(h.LOADED), player.stdout())
        player.key(*PRESSES)
        player.x_tool("xdotool", "mousemove", "100", "200", "mousedown", "1", "mousemove", "250", "230",
                      "mousemove", "400", "260", "mouseup", "1")
        time.sleep(0.5)
        player.key("q")
        self.assertEqual(player.wait_exit(), 0)
        self.assertEqual(player.stdout(), EXPECTED_LOG + EXPECTED_KEYS)
        self.assertEqual(player.stderr(), b"")


if __name__ == "__main__":
    unittest.main()
