"""skarn-import on hostile scene files, with limits lowered so that each run takes seconds: one
line and status 1 when refused, nothing left in map/ or textures/; merged instances; a stop by
SIGTERM cleans up; pictures land only with their map."""

import os
import signal
import subprocess
import time
import unittest

import harness as h
import gltf_maker
from test_import import IMPORT, moving_box_scene, read_text


def listing(folder):
    return sorted(os.path.join(d, f)[len(folder):] for d, _, files in os.walk(folder) for f in files + _)


class Hostile(unittest.TestCase):
    def setUp(self):
        self.workdir = h.new_workdir()
        self.addCleanup(h.cleanup, self.workdir)

    def run_limited(self, scene, env={}, name="m"):
        env = dict(os.environ, **dict({"SKARN_IMPORT_SECONDS": "60"}, **env))
        return subprocess.run([IMPORT, scene, name], cwd=self.workdir, capture_output=True, env=env)

    def test_refused_in_one_line_leaving_the_show_as_it_was(self):
        w = self.workdir
        gltf_maker.chain(os.path.join(w, "chain.gltf"), 30000)
        gltf_maker.instances(os.path.join(w, "forest.gltf"), 5000)
        gltf_maker.instances(os.path.join(w, "big.gltf"), 200000)
        gltf_maker.lying_glb(os.path.join(w, "lying.glb"))
        moving = moving_box_scene(w)
        h.write_file(os.path.join(w, "textures/mine.jpg"), "mine")
        cases = [
            ("chain.gltf", {}, b"chain.gltf: the scene has no mesh of triangles (nodes nested deeper than 1000 are left out)"),
            ("lying.glb", {}, b"lying.glb: a chunk of the binary glTF says it holds 2000000000 bytes but the file"),
            ("big.gltf", {"SKARN_IMPORT_SECONDS": "1"}, b"big.gltf: the scene reader took longer than 1 s"),
            ("forest.gltf", {"SKARN_IMPORT_MAP_MB": "1"},
             b"map/m: the map would take more than the 1 MB allowed (SKARN_IMPORT_MAP_MB)"),
            # The picture is converted and staged before the limit is met: it must not land.
            (moving, {"SKARN_IMPORT_MAP_FILES": "3"},
             b"map/m: the map would take 5 files, more than the 3 allowed (SKARN_IMPORT_MAP_FILES)"),
            ("chain.gltf", {"SKARN_IMPORT_FILE_MB": "1"}, b"chain.gltf: bigger than the 1 MB a scene may be"),
        ]
        for scene, env, line in cases:
            with self.subTest(scene=scene, env=env):
                result = self.run_limited(scene, env)
                self.assertEqual((result.returncode, len(result.stdout.splitlines())), (1, 1), result.stdout)
                self.assertIn(line, result.stdout)
                self.assertEqual(listing(w + "/textures"), ["/mine.jpg"])
                self.assertFalse(os.path.exists(os.path.join(w, "map")))

    def test_fifos_instances_and_a_stop(self):
        w = self.workdir
        for make in (gltf_maker.fifo_bin, gltf_maker.fifo_mtl):
            folder = os.path.join(w, make.__name__)
            os.makedirs(folder)
            started = time.time()
            self.run_limited(make(folder), name=make.__name__)
            self.assertLess(time.time() - started, 15)
        gltf_maker.instances(os.path.join(w, "forest.gltf"), 5000)
        result = self.run_limited("forest.gltf", name="forest")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertEqual(sorted(os.listdir(os.path.join(w, "map/forest"))),
                         ["camera.dpl", "forest.mde", "nodes_0_.msh", "skarn-white.dpl", "skarn-white.msh"])
        self.assertIn(b"nodes_0_.msh: 60000 triangles (world)", result.stdout)
        msh = read_text(os.path.join(w, "map/forest/nodes_0_.msh"))
        corners = msh.split(" :\n")[2].split("\nnormales")[0].split()
        self.assertEqual(max(map(int, corners)) + 1, int(msh.split("(")[1].split(")")[0]))  # every vertex used
        os.makedirs(os.path.join(w, "map/.gone.import-4194999/deep"))  # left by a killed import
        before = listing(w)
        gltf_maker.instances(os.path.join(w, "big.gltf"), 200000)
        run = subprocess.Popen([IMPORT, "big.gltf", "big"], cwd=w, stdout=subprocess.PIPE)
        time.sleep(1)
        run.send_signal(signal.SIGTERM)
        self.assertEqual(run.communicate()[0], b"big.gltf: interrupted, nothing written\n")
        stale = {"/map/.gone.import-4194999", "/map/.gone.import-4194999/deep"}  # swept
        self.assertEqual(listing(w), sorted(set(before + ["/big.gltf"]) - stale))


if __name__ == "__main__":
    unittest.main()
