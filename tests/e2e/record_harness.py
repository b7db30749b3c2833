"""Helpers of the recorder's end-to-end tests: a small show map, runs of skarn-record, and what
ffprobe and ffmpeg read back from the video file."""

import json
import math
import os
import struct
import subprocess

import harness as h

RECORD = os.environ.get("SKARN_RECORD_BIN", os.path.join(h.ROOT, "build", "skarn-record"))
SHOW_SECONDS = 140
MOMENTS = {"logo": 5, "intro": 18, "scene": 60, "end": 130}  # show seconds well inside each phase


def still_map(workdir, music_seconds=3):
    """A map whose scene looks the same at any time (a tree, no moving object, the camera path on
    one spot), so that the player's screenshot and the recorded frame of a moment must agree."""
    h.make_show_pictures(workdir)
    spot = (0, 6, 25, 0, 0, 0)
    h.write_files(os.path.join(workdir, "map/show"), {
        "show.mde": h.map_file(eye=(0, 6, 25), anime=1, world=["sol"], trees=["arbre"]),
        "sol.msh": h.box_mesh(8, (0.3, 0.6, 0.3)), "arbre.msh": h.box_mesh(3, (0.9, 0.5, 0.2)),
        "camera.dpl": h.trajectory([spot] * 6, curves=2)})
    if music_seconds:
        h.write_music(workdir, seconds=music_seconds)


def record(workdir, args, env=None, wrapper=(), timeout=100):
    """One run of skarn-record without a display; returns the completed process."""
    e = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    e.update(env or {})
    return subprocess.run(list(wrapper) + [RECORD] + list(args), cwd=workdir, env=e, capture_output=True,
                          stdin=subprocess.DEVNULL, timeout=timeout)


def probe(path):
    """ffprobe's streams of a file as a list of dicts."""
    out = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-show_entries",
                          "stream=codec_type,codec_name,width,height,pix_fmt,nb_read_frames,duration,"
                          "sample_rate,channels:format=duration", "-of", "json", path],
                         capture_output=True, check=True).stdout
    return json.loads(out)


def frames_at(path, fps, seconds):
    """The decoded frames at the given show seconds, as harness Pictures (640 x 480 RGB)."""
    indices = [int(round(s * fps)) for s in seconds]
    select = "+".join("eq(n\\,%d)" % i for i in indices)
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-vf", "select=" + select, "-vsync", "0",
                          "-f", "rawvideo", "-pix_fmt", "rgb24", "-"], capture_output=True, check=True).stdout
    size = 640 * 480 * 3
    return [h.Picture(raw[k * size:(k + 1) * size]) for k in range(len(indices))]


def loudness(path, window=0.5):
    """RMS of the sound track (mono, 8 kHz, full scale 1.0) per window of `window` seconds."""
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a", "-ac", "1", "-ar", "8000",
                          "-f", "s16le", "-"], capture_output=True, check=True).stdout
    samples = struct.unpack("<%dh" % (len(raw) // 2), raw)
    step = int(8000 * window)
    return [math.sqrt(sum(v * v for v in samples[i:i + step]) / step) / 32768.0
            for i in range(0, len(samples) - step + 1, step)]


def digest(path):
    """Per-frame MD5 of the decoded video and sound, as ffmpeg's framemd5 prints them."""
    return subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "framemd5", "-"], capture_output=True,
                          check=True).stdout


def difference(a, b, skip_rows=()):
    """Mean absolute channel difference of two pictures, and the share of pixels off by more than
    48 in some channel; every other pixel, rows in `skip_rows` left out."""
    total, far, count = 0, 0, 0
    for y in range(0, 480, 2):
        if any(lo <= y < hi for lo, hi in skip_rows):
            continue
        for x in range(0, 640, 2):
            d = [abs(p - q) for p, q in zip(a.pixel(x, y), b.pixel(x, y))]
            total += sum(d)
            far += max(d) > 48
            count += 1
    return total / (3.0 * count), far / float(count)


def leftovers(folder):
    """Names in `folder` that a recording could have left: videos and temporary files."""
    return sorted(n for n in os.listdir(folder) if n.endswith(".mp4") or n.endswith(".part"))
