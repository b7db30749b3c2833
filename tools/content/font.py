"""The bitmap font picture: a 16 x 16 grid of cells, rows 0-7 a regular face and rows 8-15 a bold
face, each for the character codes 32 to 159 read as Windows-1252; white glyphs on transparent
alpha, row 0 at the top of the picture. A glyph cell is shown 10 x 16 units of a 640 x 480 view
through a 640 x 380 viewport, so the glyphs are drawn at that shape and then squeezed into the
square cells of the picture."""

import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from common import FONTS, TEXTURES, read_rgba, run, write_tga  # noqa: E402

SIZE = 256                   # picture side: 16-pixel cells, about the size a glyph is shown at
CELL_W, CELL_H = 60, 76      # drawing cell, in the proportions a glyph is shown in (10 : 16 * 380 / 480)
FACES = [os.path.join(FONTS, "DejaVuSansMono.ttf"), os.path.join(FONTS, "DejaVuSansMono-Bold.ttf")]
POINTS = 70


def glyph(code):
    """The character of a Windows-1252 code, or None where the code page has none."""
    try:
        ch = bytes([code]).decode("cp1252")
    except UnicodeDecodeError:
        return None
    return ch if ch.isprintable() or ch == " " else None


def _escape(ch):
    return ch.replace("\\", "\\\\").replace('"', '\\"')


def main():
    draw = []
    for face, font in enumerate(FACES):
        draw.append('font "%s"' % font)
        for k in range(128):
            ch = glyph(32 + k)
            if ch is None or ch == " ":
                continue
            index = k + 128 * face
            col, row = index % 16, index // 16
            # Mono glyphs advance 0.6 em: centre them; the baseline leaves room for descenders.
            x = col * CELL_W + (CELL_W - 0.602 * POINTS) / 2
            y = row * CELL_H + CELL_H * 0.75
            draw.append('text %.1f,%.1f "%s"' % (x, y, _escape(ch)))
    with tempfile.TemporaryDirectory() as tmp:
        mvg = "fill white\nfont-size %d\n" % POINTS + "\n".join(draw) + "\n"
        sheet = os.path.join(tmp, "sheet.png")
        run(["convert", "-size", "%dx%d" % (16 * CELL_W, 16 * CELL_H), "xc:none", "-draw", mvg, sheet])
        rgba = bytearray(read_rgba(sheet, SIZE, SIZE))
    # White everywhere: only alpha carries the glyphs, so filtering never darkens their edges.
    rgba[0::4] = rgba[1::4] = rgba[2::4] = b"\xff" * (SIZE * SIZE)
    write_tga(os.path.join(TEXTURES, "Font.tga"), SIZE, SIZE, bytes(rgba))
    print("make-content: textures/Font.tga")


if __name__ == "__main__":
    main()
