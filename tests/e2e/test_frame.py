"""The scene frame of the real player: the order of one frame's GL calls (apitrace), and what a
scene frame shows (sky, title, frame rate, the particle plume from the particle start time)."""

import math
import os
import re
import time
import unittest

import harness as h

WHITE_PARTICLE = (230, 230, 230)


def frame_map(workdir):
    h.make_show_pictures(workdir)
    h.write_tga(os.path.join(workdir, "textures/arbre.tga"), 8, 8, lambda x, y: (20, 140, 20, 220))
    # Every mesh textured: an untextured one would tint the sky and the text with its colour.
    h.write_tga(os.path.join(workdir, "textures/gris.tga"), 8, 8, lambda x, y: (40, 40, 40, 255))
    h.write_tga(os.path.join(workdir, "textures/rouge.tga"), 8, 8, lambda x, y: (200, 30, 30, 255))
    d = os.path.join(workdir, "map/frame")
    h.write_file(os.path.join(d, "frame.mde"),
                 h.map_file(anime=1, world=["sol"], objects=["avion", "ballon"], trees=["arbre"]))
    h.write_file(os.path.join(d, "sol.msh"), h.box_mesh(2, (1, 1, 1), texture="gris.tga"))
    h.write_file(os.path.join(d, "avion.msh"), h.box_mesh(1.5, (1, 1, 1), option=64, texture="rouge.tga"))
    h.write_file(os.path.join(d, "ballon.msh"), h.box_mesh(1.0, (1, 1, 1), texture="rouge.tga"))
    h.write_file(os.path.join(d, "arbre.msh"), h.box_mesh(2, (1, 1, 1), texture="arbre.tga"))
    ring = [(5 * math.cos(a / 2), 1, 5 * math.sin(a / 2), 15, 0, 10 * a) for a in range(13)]
    h.write_file(os.path.join(d, "avion.dpl"), h.trajectory(ring, curves=2, loop=1))
    h.write_file(os.path.join(d, "ballon.dpl"), h.trajectory([p[:3] for p in ring], curves=1, loop=1))
    # A still camera 20 units away, looking at the origin.
    h.write_file(os.path.join(d, "camera.dpl"), h.trajectory([(0, 6, 20, 0, 0, 0)] * 130, curves=2))


# One token per call that the order of a scene frame is about.
TOKENS = [
    (r"^glClear\(", "C"),
    (r"^glBegin\(mode = GL_TRIANGLE_STRIP\)", "S"),
    (r"^glBegin\(mode = GL_TRIANGLES\)|^glCallList\(", "M"),
    (r"^glEnable\(cap = GL_CULL_FACE\)", "U"),
    (r"^glDisable\(cap = GL_CULL_FACE\)", "u"),
    (r"^glTranslatef\(", "T"),
    (r"^glRotatef\(angle = [^,]+, x = 1, y = 0, z = 0\)", "X"),
    (r"^glRotatef\(angle = [^,]+, x = 0, y = 0, z = 1\)", "Z"),
    (r"^glRotatef\(angle = -30, x = 0, y = 1, z = 0\)", "Y"),
    (r"^glLoadIdentity\(", "I"),
    (r"^glDepthMask\(flag = GL_FALSE\)", "D"),
    (r"^glDepthMask\(flag = GL_TRUE\)", "d"),
    (r"^glCallLists\(", "L"),
]


def tokens_of(calls):
    return "".join(next((token for pattern, token in TOKENS if re.search(pattern, call)), "") for call in calls)


class Frame(h.PlayerTest):
    def setUp(self):
        super().setUp()
        frame_map(self.workdir)

    @h.needs_apitrace
    def test_calls_of_one_scene_frame_come_in_order(self):
        # apitrace and libfaketime do not preload together: the scene phase comes in real time.
        trace = os.path.join(self.workdir, "frame.trace")
        player = self.start(["frame"], fake_clock=False, wrapper=["apitrace", "trace", "-o", trace])
        time.sleep(27)
        player.key("Escape")
        self.assertEqual(player.wait_exit(), 0)
        calls = h.apitrace_calls(trace)
        swaps = [i for i, call in enumerate(calls) if call.startswith("glXSwapBuffers")]
        self.assertGreater(len(swaps), 2)
        frame = tokens_of(calls[swaps[-2] + 1:swaps[-1]])
        # The camera's own identity from the idle step, then sky strips, the world, each object
        # culled, moved and turned x, z, -30 about y then reset, culling off, the tree without
        # depth writes, the title and the frame rate last.
        self.assertRegex(frame, r"^I*CSSSSSSM(UTXZYMI){2}uDMd(IILI){2}$")

    def test_scene_shows_title_frame_rate_and_a_plume_after_the_particle_start(self):
        player = self.start(["frame"])

        def particles_at(seconds):
            player.set_clock(seconds)
            time.sleep(1.5)
            shot = player.screenshot()
            return shot, sum(h.close_to(shot.pixel(x, y), WHITE_PARTICLE, 25)
                             for y in range(90, 430, 2) for x in range(0, 640, 2))

        before, light_before = particles_at(80)
        # Title at (16, 16) and frame rate at (500, 16) of the 640 x 480 overlay, in light glyphs.
        for x0, x1 in ((16, 66), (500, 560)):
            cells = [before.pixel(x, y) for y in range(63, 76) for x in range(x0, x1)]
            self.assertTrue(any(min(p) > 200 for p in cells), (x0, x1))
        sky = [h.close_to(before.pixel(x, 60), c, 40) for x in range(0, 640, 16) for c in h.SKY_COLORS]
        self.assertTrue(any(sky), "no sky picture in the scene")
        self.assertLess(light_before, 20, "particles before their start time")
        self.assertGreater(particles_at(100)[1], 100, "no particle plume after the particle start")


if __name__ == "__main__":
    unittest.main()
