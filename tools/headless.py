"""Headless runs of the player, shared by tools/capture and the end-to-end harness
(tests/e2e/harness.py): an Xvfb of its own, the clock driven through libfaketime, and the show's
event times read from the player's own header (src/base/show_files.h)."""

import datetime
import os
import re
import subprocess

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
FAKETIME_LIB = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1"
FAKE_EPOCH = datetime.datetime(2030, 1, 1, 0, 0, 0)
SHOW_FILES_HEADER = os.path.join(ROOT, "src", "base", "show_files.h")


class Display:
    """An Xvfb that picks a free display number and reports it when ready; `name` is ":N"."""

    def __init__(self):
        read_end, write_end = os.pipe()
        # The server gets none of the player's preloads.
        env = {k: v for k, v in os.environ.items() if k not in ("LD_PRELOAD", "ASAN_OPTIONS", "LSAN_OPTIONS")}
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp", "-noreset"], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, pass_fds=(write_end,), env=env)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            self.name = ":" + f.readline().strip()
        if self.name == ":":
            self.close()
            raise RuntimeError("Xvfb did not start")

    def close(self):
        self.proc.kill()
        self.proc.wait()


def write_clock(path, seconds):
    """Moves the fake clock read from `path` to `seconds` past the fake start; it runs on from
    there. Written atomically, so the player never reads half a line."""
    stamp = FAKE_EPOCH + datetime.timedelta(seconds=seconds)
    text = stamp.strftime("@%Y-%m-%d %H:%M:%S")
    if stamp.microsecond:
        text += ".%03d" % (stamp.microsecond // 1000)
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write(text + "\n")
    os.replace(tmp, path)


def clock_env(clock_path, preload=""):
    """The variables that make a player read its clock from `clock_path` (after `preload`)."""
    return {"LD_PRELOAD": " ".join(filter(None, [preload, FAKETIME_LIB])),
            "FAKETIME_TIMESTAMP_FILE": clock_path, "FAKETIME_NO_CACHE": "1"}


def show_times(header=SHOW_FILES_HEADER):
    """The show's event times in whole seconds, by name: logo_end, intro_end, particle_start,
    scene_end, end."""
    with open(header) as f:
        found = dict(re.findall(r"#define SHOW_([A-Z_]+) (\d+)\b", f.read()))
    names = {"LOGO_END": "logo_end", "INTRO_END": "intro_end", "PARTICLE_START": "particle_start",
             "SCENE_END": "scene_end", "END": "end"}
    return {names[k]: int(v) for k, v in found.items() if k in names}
