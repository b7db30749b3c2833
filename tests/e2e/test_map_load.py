"""Loading a whole map: the console log byte for byte, lamps refused, a missing texture, and
which frame a map gets. (Missing maps and meshes are in the fault matrix.)"""

import os
import time
import unittest

import harness as h

MUSIC_LINES = b"Veuillez patienter...INITIALISATION DE FMOD\nVeuillez patienter...Chargement des sons\n"


def full_map(workdir):
    h.make_show_pictures(workdir)
    h.write_music(workdir)
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


EXPECTED_LOG = (MUSIC_LINES +
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
                b"Chargement de la map effectue\n")


class MapLoad(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir()
        full_map(self.workdir)
        self.display = h.Display()

    def tearDown(self):
        self.display.close()
        h.cleanup(self.workdir)

    def run_until_loaded(self, args=("vallee",)):
        player = h.Player(self.workdir, list(args), self.display)
        self.addCleanup(player.close)
        player.wait_window()
        self.assertTrue(player.wait_for_output(b"Chargement de la map effectue\n"), player.stdout())
        return player

    def test_whole_log_byte_for_byte(self):
        player = self.run_until_loaded()
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)
        self.assertEqual(player.stdout(), EXPECTED_LOG)
        self.assertEqual(player.stderr(), b"")

    def test_eight_lamps_are_refused_and_the_rest_still_loads(self):
        d = os.path.join(self.workdir, "map/vallee")
        h.write_file(os.path.join(d, "vallee.mde"), h.map_file(
            lamps=[((i, 1, 0), (1, 1, 1), 1) for i in range(8)], world=["rocher"], trees=["sapin"]))
        player = self.run_until_loaded()
        player.key("Escape")
        player.wait_exit()
        out = player.stdout()
        self.assertIn(b"Chargement camera ...\n"
                      b"Nombre de lampes trop \xe9lev\xe9. Les lampes sont d\xe9sactiv\xe9es !\n"
                      b"Chargement decor :\n", out)
        self.assertNotIn(b"Chargement lampe", out)
        self.assertIn(b"\tChargement du mesh map/vallee/sapin.msh ...\n", out)

    def test_missing_texture_is_reported_and_the_show_goes_on(self):
        os.remove(os.path.join(self.workdir, "textures/herbe.jpg"))
        player = self.run_until_loaded()
        self.assertIn(b"\t\tChargement de la texture textures/herbe.jpg ...\n" +
                      h.texture_failure("textures/herbe.jpg"), player.stdout())
        self.assertIsNone(player.proc.poll())

    def test_scene_frame_only_for_maps_with_objects_or_trees(self):
        # Past the logo phase the scene frame draws the intro picture; the start frame keeps the logo.
        for objects, trees, expected in ((["oiseau"], [], h.INTRO_COLOR), ([], ["sapin"], h.INTRO_COLOR),
                                         ([], [], h.LOGO_COLOR)):
            d = os.path.join(self.workdir, "map/vallee")
            h.write_file(os.path.join(d, "vallee.mde"),
                         h.map_file(anime=1, world=["rocher"], objects=objects, trees=trees))
            player = self.run_until_loaded()
            player.set_clock(15)
            time.sleep(1.0)
            shot = player.screenshot()
            self.assertTrue(h.close_to(shot.mean(100, 100, 540, 380), expected), (objects, trees))
            player.key("Escape")
            player.wait_exit()
            player.close()


if __name__ == "__main__":
    unittest.main()
