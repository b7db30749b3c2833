"""A scene frame of the player: its GL calls in order (apitrace). (What a frame shows, the
particles from their start included, is tests/gl/render/frame_test.cpp's.)"""

import math
import os
import re
import time
import unittest

import harness as h


def frame_map(workdir):
    h.make_show_pictures(workdir)
    # Every mesh textured: an untextured one would tint the sky and the text with its colour.
    for name, color in (("arbre", (20, 140, 20, 220)), ("gris", (40, 40, 40, 255)), ("rouge", (200, 30, 30, 255))):
        h.write_tga(os.path.join(workdir, "textures", name + ".tga"), 8, 8, lambda x, y, c=color: c)
    ring = [(5 * math.cos(a / 2), 1, 5 * math.sin(a / 2), 15, 0, 10 * a) for a in range(13)]
    h.write_files(os.path.join(workdir, "map/frame"), {
        "frame.mde": h.map_file(world=["sol"], objects=["avion", "ballon"], trees=["arbre"]),
        "sol.msh": h.box_mesh(2, (1, 1, 1), texture="gris.tga"),
        "avion.msh": h.box_mesh(1.5, (1, 1, 1), option=64, texture="rouge.tga"),
        "ballon.msh": h.box_mesh(1.0, (1, 1, 1), texture="rouge.tga"),
        "arbre.msh": h.box_mesh(2, (1, 1, 1), texture="arbre.tga"),
        "avion.dpl": h.trajectory(ring, curves=2, loop=1),
        "ballon.dpl": h.trajectory([p[:3] for p in ring], curves=1, loop=1),
        "camera.dpl": h.trajectory([(0, 6, 20, 0, 0, 0)] * 130, curves=2)})  # still, 20 away


# One token per call that the order of a scene frame is about.
TOKENS = [(r"^glClear\(", "C"), (r"^glBegin\(mode = GL_TRIANGLE_STRIP\)", "S"),
          (r"^glBegin\(mode = GL_TRIANGLES\)|^glCallList\(", "M"), (r"^glEnable\(cap = GL_CULL_FACE\)", "U"),
          (r"^glDisable\(cap = GL_CULL_FACE\)", "u"), (r"^glTranslatef\(", "T"),
          (r"^glRotatef\(angle = [^,]+, x = 1, y = 0, z = 0\)", "X"),
          (r"^glRotatef\(angle = [^,]+, x = 0, y = 0, z = 1\)", "Z"),
          (r"^glRotatef\(angle = -30, x = 0, y = 1, z = 0\)", "Y"), (r"^glLoadIdentity\(", "I"),
          (r"^glDepthMask\(flag = GL_FALSE\)", "D"), (r"^glDepthMask\(flag = GL_TRUE\)", "d"), (r"^glCallLists\(", "L")]


class Frame(h.PlayerTest):
    @h.needs_apitrace
    def test_calls_of_one_scene_frame_come_in_order(self):
        frame_map(self.workdir)
        # apitrace and libfaketime do not preload together: the scene phase comes in real time.
        trace = os.path.join(self.workdir, "frame.trace")
        player = self.start(["frame"], fake_clock=False, wrapper=["apitrace", "trace", "-o", trace])
        time.sleep(27)
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)
        calls = h.apitrace_calls(trace)
        swaps = [i for i, call in enumerate(calls) if call.startswith("glXSwapBuffers")]
        self.assertGreater(len(swaps), 2)
        frame = "".join(next((t for pattern, t in TOKENS if re.search(pattern, call)), "")
                        for call in calls[swaps[-2] + 1:swaps[-1]])
        # Sky strips, the world, each object culled, moved, turned x, z, -30 about y and reset,
        # culling off, the tree without depth writes, then title and frame rate.
        self.assertRegex(frame, r"^I*CSSSSSSM(UTXZYMI){2}uDMd(IILI){2}$")


if __name__ == "__main__":
    unittest.main()
