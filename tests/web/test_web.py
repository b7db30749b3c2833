"""The web player in headless chromium against the desktop player: the demo's frames at show times
of a driven clock and after each key of the table, the free camera on keys and a drag, a broken
mesh's message on the page. One browser session (web_checks.js), one desktop run per map."""

import json
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness as h  # noqa: E402

WEB = os.path.dirname(os.path.abspath(__file__))
SKARN_WEB = os.path.join(h.ROOT, "tools", "web", "skarn-web")
TIMES = [5, 18, 30, 60, 90, 110, 130]
HELD = [60, 110]  # started there and paused (?at=SECONDS&paused=1, the player's --at and --paused)
KEY_TIME = 60 # keys after the frame at 60 s, the clock held there; "m" ends with the linear filter
# Cumulative steps, the same on both sides: none, fog on, fog off again, wireframe, filled, lighting on,
# flat shading, smooth and unlit, nearest filtering.
KEYS = {"base": "", "fog": "k", "fogoff": "kkk", "wire": "i", "fill": "o", "lit": "L", "flat": "X",
        "smooth": "xl", "nearest": "M",
        "linear": "m"}
MOVES = {"forward": "rrrr", "left": "ddd", "up": "yy"}
# A frame matches the desktop's when its channels differ by at most MEAN_TOLERANCE on average and
# at most FAR_SHARE of its pixels differ by more than FAR_OFF in some channel (software GL on
# both sides, but two rasterisers, two JPEG decoders and particles that advance per frame).
MEAN_TOLERANCE, FAR_OFF, FAR_SHARE = 2.0, 64, 0.015
VIEWPORT_ROWS = (50, 430)
FROZEN = "2030-01-01 00:00:00"


def rgb_of_png(path):
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return h.Picture(data)


def difference(a, b):
    """Mean absolute difference per channel and share of far-off pixels, over the viewport."""
    total, far, count = 0, 0, 0
    pa, pb = a.pixels, b.pixels
    for y in range(VIEWPORT_ROWS[0], VIEWPORT_ROWS[1]):
        row = y * 1920
        for i in range(row, row + 1920, 3):
            d = (abs(pa[i] - pb[i]), abs(pa[i + 1] - pb[i + 1]), abs(pa[i + 2] - pb[i + 2]))
            total += d[0] + d[1] + d[2]
            far += max(d) > FAR_OFF
            count += 1
    return total / (3.0 * count), far / float(count)


def freeze_clock(player, seconds):
    """Stops the desktop player's clock at `seconds` after its start (libfaketime's absolute form)."""
    stamp = h.headless.FAKE_EPOCH + h.headless.datetime.timedelta(seconds=seconds)
    tmp = player.clock_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(stamp.strftime("%Y-%m-%d %H:%M:%S") + "\n")
    os.replace(tmp, player.clock_file)


def settled_screenshot(player, limit=4.0):
    """The desktop window once two screenshots 0.4 s apart agree (or after `limit` seconds, for
    frames whose particles move on)."""
    shot, deadline = player.screenshot(), time.time() + limit
    while time.time() < deadline:
        time.sleep(0.4)
        again = player.screenshot()
        if difference(shot, again)[0] < 0.2:
            return again
        shot = again
    return shot


def show_folder(workdir):
    """A working folder with the show's pictures and music (copies: the packer walks real folders)."""
    os.makedirs(workdir, exist_ok=True)
    for name in ("textures", "media"):
        shutil.copytree(os.path.join(h.ROOT, name), os.path.join(workdir, name))
    return workdir


def pack(workdir, map_name, site):
    subprocess.run([SKARN_WEB, map_name, site], cwd=workdir, check=True, capture_output=True)
    return site


class Web(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.workdir = h.new_workdir("skarn-web-")
        cls.shots = os.path.join(cls.workdir, "shots")
        os.makedirs(cls.shots)
        demo = show_folder(os.path.join(cls.workdir, "demo"))
        shutil.copytree(os.path.join(h.ROOT, "map", "demo"), os.path.join(demo, "map", "demo"))
        own = show_folder(os.path.join(cls.workdir, "own"))
        h.write_files(os.path.join(own, "map", "viewer"), {
            "viewer.mde": h.map_file(eye=(0, 5, 30), anime=0, world=["sol"], objects=["cube"]),
            "sol.msh": h.box_mesh(40, (0.2, 0.6, 0.2)), "cube.msh": h.box_mesh(4, (1, 1, 1)),
            "cube.dpl": h.trajectory([(0, 3, 0, 0, 0, 0)] * 4, curves=2)})
        h.write_files(os.path.join(own, "map", "broken"), {
            "broken.mde": h.map_file(anime=0, world=["sol"]), "sol.msh": "vertices (3) :\n0 0 0\n1 x 0\n"})
        plan = {"demo": pack(demo, "demo", os.path.join(cls.workdir, "site-demo")),
                "viewer": pack(own, "viewer", os.path.join(cls.workdir, "site-viewer")),
                "broken": pack(own, "broken", os.path.join(cls.workdir, "site-broken")),
                "times": TIMES, "held": HELD, "keyTime": KEY_TIME, "keys": KEYS, "viewerTime": 30, "moves": MOVES,
                "restartTime": 141}
        with open(os.path.join(cls.workdir, "plan.json"), "w") as f:
            json.dump(plan, f)
        cls.desktop = cls.desktop_frames(demo, own)
        node = subprocess.run(["node", os.path.join(WEB, "web_checks.js"), os.path.join(cls.workdir, "plan.json"),
                               cls.shots], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=240)
        if node.returncode != 0:
            raise AssertionError("web checks failed:\n" + node.stdout.decode(errors="replace"))
        with open(os.path.join(cls.shots, "result.json")) as f:
            cls.result = json.load(f)

    @classmethod
    def tearDownClass(cls):
        if os.environ.get("SKARN_KEEP_SHOTS"):
            print("shots kept in", cls.shots)
        else:
            h.cleanup(cls.workdir)

    @classmethod
    def desktop_frames(cls, demo, own):
        """The desktop player's frames at the same moments, and its message for the broken map."""
        frames = {}
        display = h.Display()
        try:
            player = h.Player(demo, ["demo"], display)
            freeze_clock(player, 0)
            player.wait_window()
            player.wait_for_output(h.LOADED)
            for seconds in TIMES:
                freeze_clock(player, seconds)
                time.sleep(0.5)
                frames["at%d" % seconds] = settled_screenshot(player)
                for name, keys in KEYS.items() if seconds == KEY_TIME else ():
                    player.key(*keys)
                    time.sleep(0.3)
                    frames["key-" + name] = settled_screenshot(player)
            player.close()
            for seconds in HELD:
                player = h.Player(demo, ["--at", str(seconds), "--paused", "demo"], display)
                player.wait_window()
                player.wait_for_output(h.LOADED)
                frames["held%d" % seconds] = settled_screenshot(player)
                player.close()
            broken = h.Player(own, ["broken"], display)
            cls.broken_status = broken.wait_exit()
            cls.broken_stderr = broken.stderr()
            broken.close()
        finally:
            display.close()
        return frames

    def compare(self, name):
        web = rgb_of_png(os.path.join(self.shots, name + ".png"))
        mean, far = difference(web, self.desktop[name])
        if os.environ.get("SKARN_KEEP_SHOTS"):
            subprocess.run(["convert", "-size", "640x480", "-depth", "8", "rgb:-",
                            os.path.join(self.shots, name + "-desktop.png")], input=self.desktop[name].pixels)
        print("%-12s mean %.2f far %.4f" % (name, mean, far))
        return web, mean, far

    def test_demo_loads_without_errors_and_frames_match_the_desktop(self):
        demo = self.result["demo"]
        self.assertEqual(demo["problems"], [])
        self.assertEqual(demo["errors"], [])
        self.assertIn("Chargement de la map effectue", demo["lines"])
        for name in ["at%d" % s for s in TIMES] + ["held%d" % s for s in HELD] + ["key-" + k for k in KEYS]:
            with self.subTest(frame=name):
                _, mean, far = self.compare(name)
                self.assertLessEqual(mean, MEAN_TOLERANCE)
                self.assertLessEqual(far, FAR_SHARE)

    def test_keys_change_the_frame_as_on_the_desktop(self):
        names = ["key-" + k for k in KEYS]
        web = {n: rgb_of_png(os.path.join(self.shots, n + ".png")) for n in names}
        for before, after in zip(names, names[1:]):
            with self.subTest(step=after):
                web_change = difference(web[before], web[after])[0]
                desktop_change = difference(self.desktop[before], self.desktop[after])[0]
                self.assertEqual(web_change > 0.5, desktop_change > 0.5, (web_change, desktop_change))

    def test_music_plays_after_a_click_and_again_after_the_restart(self):
        music = self.result["music"]
        self.assertEqual(music["before"]["plays"], 1)
        self.assertTrue(music["before"]["waiting"] or not music["before"]["paused"], music)
        self.assertFalse(music["clicked"]["paused"], music)
        self.assertFalse(music["clicked"]["waiting"], music)
        self.assertEqual(music["restarted"]["plays"], 2)
        self.assertFalse(music["restarted"]["paused"], music)
        self.assertLess(music["restarted"]["time"], 1.0)  # from the start again

    def test_free_camera_moves_on_keys_and_drags(self):
        # x y z yaw pitch after each step: each key moves the eye, the drag turns the camera.
        camera = {k: [float(v) for v in text.split()] for k, text in self.result["camera"].items()}
        steps = ["start"] + list(MOVES) + ["drag"]
        changed = {"forward": range(0, 3), "left": range(0, 3), "up": [1], "drag": range(3, 5)}
        for before, after in zip(steps, steps[1:]):
            with self.subTest(step=after):
                moved = [i for i in range(5) if camera[before][i] != camera[after][i]]
                self.assertTrue(moved and set(moved) <= set(changed[after]), (camera[before], camera[after]))

    def test_broken_mesh_shows_the_players_message_on_the_page(self):
        broken = self.result["broken"]
        message = self.broken_stderr.decode("cp1252").strip()
        self.assertNotEqual(self.broken_status, 0)
        self.assertTrue(message)
        self.assertEqual(broken["shown"].strip(), message)


if __name__ == "__main__":
    unittest.main(verbosity=2)
