"""The show's music: an original piece of about two minutes (a chord pad, a bass line, a bell
melody and soft percussion) synthesised sample by sample from wavetables, given some room with
sox's reverb and encoded by lame as a small mono MP3 (22050 Hz, 48 kbit/s)."""

import array
import math
import os
import random
import sys
import tempfile
import wave

sys.path.insert(0, os.path.dirname(__file__))
from common import MEDIA, run  # noqa: E402

RATE = 22050
BPM = 96
BEAT = 60.0 / BPM
TABLE = 2048

# Chords as MIDI notes of the pad (one chord a bar), by section.
AM, F, C, G, DM, E, EM = [57, 60, 64], [53, 57, 60], [48, 55, 64], [55, 59, 62], [50, 57, 62], [52, 56, 59], [52, 55, 59]
INTRO = [AM, F, C, G] * 2
VERSE = [AM, F, C, G, AM, F, G, G] * 2
BRIDGE = [DM, AM, F, E, DM, AM, EM, E]
OUTRO = [AM, F, C, AM]
BARS = [("intro", c) for c in INTRO] + [("verse", c) for c in VERSE] + [("bridge", c) for c in BRIDGE] + \
       [("verse", c) for c in VERSE[:12]] + [("outro", c) for c in OUTRO]


def freq(note):
    return 440.0 * 2 ** ((note - 69) / 12.0)


def wavetable(partials):
    """One cycle of a sum of harmonics [(harmonic, amplitude)], peak-normalised."""
    t = [sum(a * math.sin(2 * math.pi * h * i / TABLE) for h, a in partials) for i in range(TABLE)]
    peak = max(abs(v) for v in t)
    return [v / peak for v in t]


PAD = wavetable([(1, 1.0), (2, 0.45), (3, 0.28), (4, 0.16), (5, 0.1), (6, 0.06)])
BASS = wavetable([(1, 1.0), (2, 0.35), (3, 0.12)])
BELL = wavetable([(1, 1.0), (2, 0.25), (3, 0.3), (5, 0.08)])


def add_note(buf, start, length, hz, table, gain, attack, release, decay=0.0, detune=0.0):
    """Mixes one note into buf: wavetable oscillator with an attack, optional exponential decay
    and a release at the end."""
    i0 = int(start * RATE)
    n = min(int((length + release) * RATE), len(buf) - i0)
    if n <= 0:
        return
    step = hz * (1.0 + detune) * TABLE / RATE
    a_n, l_n, r_n = max(1, int(attack * RATE)), int(length * RATE), max(1, int(release * RATE))
    k = math.exp(-decay / RATE) if decay else 1.0
    phase, env_d = 0.0, 1.0
    for j in range(n):
        env = j / a_n if j < a_n else 1.0
        if j >= l_n:
            env *= max(0.0, 1.0 - (j - l_n) / r_n)
        buf[i0 + j] += table[int(phase) & (TABLE - 1)] * env * env_d * gain
        phase += step
        env_d *= k


def add_kick(buf, start, gain):
    i0 = int(start * RATE)
    phase = 0.0
    for j in range(min(int(0.25 * RATE), len(buf) - i0)):
        t = j / RATE
        phase += 2 * math.pi * (45.0 + 70.0 * math.exp(-t * 30.0)) / RATE
        buf[i0 + j] += math.sin(phase) * math.exp(-t * 14.0) * gain


def add_hat(buf, start, gain, rnd):
    i0 = int(start * RATE)
    last = 0.0
    for j in range(min(int(0.06 * RATE), len(buf) - i0)):
        white = rnd.uniform(-1.0, 1.0)
        high = white - last  # a crude high-pass keeps the hiss bright
        last = white
        buf[i0 + j] += high * math.exp(-j / RATE * 70.0) * gain


# The melody: scale degrees of A minor pentatonic, one phrase per bar, chosen per chord.
SCALE = [57, 60, 62, 64, 67, 69, 72, 74, 76, 79]
PHRASES = [[(0, 1.0, 5), (1, 0.5, 4), (1.5, 0.5, 3), (2, 1.5, 4), (3.5, 0.5, 2)],
           [(0, 0.5, 6), (0.5, 0.5, 5), (1, 1.0, 4), (2, 0.5, 3), (2.5, 0.5, 4), (3, 1.0, 5)],
           [(0, 1.5, 7), (1.5, 0.5, 6), (2, 1.0, 5), (3, 1.0, 3)],
           [(0, 0.5, 4), (0.5, 0.5, 5), (1, 0.5, 7), (1.5, 1.5, 6), (3, 0.5, 5), (3.5, 0.5, 4)]]


def nearest_in_chord(degree, chord):
    """Moves a scale note to the nearest chord tone (octave-free) when it would clash on a beat."""
    note = SCALE[degree % len(SCALE)]
    pcs = [c % 12 for c in chord]
    if note % 12 in pcs:
        return note
    return min((note + d for d in (-2, -1, 1, 2) if (note + d) % 12 in pcs), key=lambda n: abs(n - note),
               default=note)


def compose():
    bar = 4 * BEAT
    total = len(BARS) * bar + 3.0
    buf = array.array("f", bytes(4 * int(total * RATE)))
    rnd = random.Random(12)
    for b, (section, chord) in enumerate(BARS):
        t0 = b * bar
        fade = 1.0 if section != "outro" else 1.0 - 0.2 * (b - (len(BARS) - len(OUTRO)))
        # Pad: the chord held for the bar, each voice slightly detuned for width.
        for k, note in enumerate(chord):
            add_note(buf, t0, bar, freq(note), PAD, 0.055 * fade, 0.6, 0.8, detune=0.002 * (k - 1))
            add_note(buf, t0, bar, freq(note + 12), PAD, 0.02 * fade, 0.9, 0.8, detune=-0.003)
        if section == "intro" and b < 4:
            continue
        # Bass: root on the beat, octave on the off-beat of beats 2 and 4.
        root = chord[0] - 12 if chord[0] >= 52 else chord[0]
        root = root - 12 if root > 50 else root
        for beat in range(4):
            add_note(buf, t0 + beat * BEAT, BEAT * 0.7, freq(root), BASS, 0.16 * fade, 0.01, 0.08, decay=3.0)
            if beat % 2 == 1:
                add_note(buf, t0 + (beat + 0.5) * BEAT, BEAT * 0.35, freq(root + 12), BASS, 0.08 * fade, 0.01, 0.06,
                         decay=4.0)
        # Percussion after the intro.
        if section != "intro":
            for beat in range(4):
                if beat % 2 == 0 or section == "bridge":
                    add_kick(buf, t0 + beat * BEAT, 0.22 * fade)
                add_hat(buf, t0 + (beat + 0.5) * BEAT, 0.035 * fade, rnd)
        # Melody: a phrase per bar in the verses and the bridge, an octave lower in the bridge.
        if section in ("verse", "bridge"):
            phrase = PHRASES[(b + (1 if section == "bridge" else 0)) % len(PHRASES)]
            shift = -12 if section == "bridge" else 0
            for start, length, degree in phrase:
                note = nearest_in_chord(degree, chord) if start == int(start) else SCALE[degree]
                add_note(buf, t0 + start * BEAT, length * BEAT, freq(note + shift + 12), BELL, 0.11 * fade, 0.005,
                         0.25, decay=2.2)
    peak = max(abs(v) for v in buf)
    return array.array("h", (int(v / peak * 30000) for v in buf))


def main():
    samples = compose()
    os.makedirs(MEDIA, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "dry.wav")
        with wave.open(raw, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(samples.tobytes())
        wet = os.path.join(tmp, "wet.wav")
        run(["sox", "-R", raw, wet, "reverb", "35", "50", "70", "gain", "-n", "-1"])
        run(["lame", "--quiet", "-m", "m", "-b", "48", "--resample", "22.05", "--noreplaygain", wet,
             os.path.join(MEDIA, "musique.mp3")])
    print("make-content: media/musique.mp3 (%.0f s)" % (len(samples) / RATE))


if __name__ == "__main__":
    main()
