"""Full-screen pictures of the show: the logo (title art), the intro card of the demo map and the
end card. Drawn with ImageMagick at the shape they are shown in (a 640 x 380 viewport, drawn
twice as large) and stored as 1024 x 512 JPEG, which the player stretches back to that shape."""

import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from common import FONTS, TEXTURES, run  # noqa: E402

W, H = 1280, 760
SANS = os.path.join(FONTS, "DejaVuSans.ttf")
BOLD = os.path.join(FONTS, "DejaVuSans-Bold.ttf")
SERIF = os.path.join(FONTS, "DejaVuSerif-Italic.ttf")
SERIF_BOLD = os.path.join(FONTS, "DejaVuSerif-BoldItalic.ttf")


def _store(design, name):
    run(["convert", design, "-resize", "1024x512!", "-strip", "-sampling-factor", "2x2", "-quality", "90",
         os.path.join(TEXTURES, name)])
    print("make-content: textures/%s" % name)


def _gradient_text(tmp, text, font, size, top, bottom, offset, out):
    """Text filled with a vertical gradient over a soft dark shadow, on a transparent canvas."""
    mask = os.path.join(tmp, "mask.png")
    run(["convert", "-size", "%dx%d" % (W, H), "xc:black", "-font", font, "-pointsize", str(size),
         "-fill", "white", "-gravity", "center", "-annotate", offset, text, mask])
    run(["convert", "-size", "%dx%d" % (W, H), "gradient:%s-%s" % (top, bottom), mask, "-alpha", "off",
         "-compose", "CopyOpacity", "-composite", out])


def logo(tmp):
    base = os.path.join(tmp, "logo_base.png")
    # Night-blue backdrop with a faint horizon glow.
    run(["convert", "-size", "%dx%d" % (W, H), "radial-gradient:#203660-#04060c", "-gravity", "center",
         "(", "-size", "%dx%d" % (W, 260), "gradient:#000000-#3a2a48", ")", "-gravity", "south", "-compose",
         "screen", "-composite", base])
    # A cluster of crystals, the mineral the player is named after.
    crystals = [("#7a1630", "#c23a52", "#4a0c1c", 560, 330, 70, 170), ("#1d5a48", "#3fa07e", "#0f3328", 680, 345, 60, 140),
                ("#8a2a20", "#d8644a", "#501510", 620, 300, 80, 220), ("#2a4a78", "#5c8cc8", "#16284a", 735, 365, 45, 100),
                ("#6a1a3a", "#b8466e", "#3a0c20", 505, 370, 45, 95)]
    draw = []
    for dark, light, shade, cx, base_y, w, h in crystals:
        tip = (cx, base_y - h)
        l, r = (cx - w // 2, base_y - h // 3), (cx + w // 2, base_y - h // 3)
        bl, br, bm = (cx - w // 2, base_y + 40), (cx + w // 2, base_y + 40), (cx, base_y + 55)
        mid = (cx + w // 8, base_y - h // 3 + 10)
        draw += ["fill %s polygon %d,%d %d,%d %d,%d %d,%d %d,%d" % (light, *tip, *l, *bl, *bm, *mid),
                 "fill %s polygon %d,%d %d,%d %d,%d %d,%d %d,%d" % (dark, *tip, *mid, *bm, *br, *r),
                 "fill %s polygon %d,%d %d,%d %d,%d" % (shade, *tip, *l, *mid)]
    glow = os.path.join(tmp, "glow.png")
    run(["convert", "-size", "%dx%d" % (W, H), "xc:none", "-draw", " ".join(draw), glow])
    halo = os.path.join(tmp, "halo.png")
    run(["convert", glow, "-channel", "A", "-blur", "0x30", "-evaluate", "multiply", "0.8", "+channel",
         "-fill", "#ffb070", "-colorize", "100", halo])
    title = os.path.join(tmp, "title.png")
    _gradient_text(tmp, "SKARN", BOLD, 190, "#fff4c8", "#e8902a", "+0+150", title)
    shadow = os.path.join(tmp, "shadow.png")
    run(["convert", title, "-fill", "black", "-colorize", "100", "-channel", "A", "-blur", "0x10", "+channel",
         shadow])
    design = os.path.join(tmp, "logo.png")
    run(["convert", base, halo, "-compose", "over", "-composite", glow, "-composite",
         shadow, "-geometry", "+6+10", "-composite", title, "-geometry", "+0+0", "-composite",
         "-font", SANS, "-pointsize", "38", "-fill", "#aebfe0", "-gravity", "center",
         "-annotate", "+0+285", "lecteur de spectacles en temps r\u00e9el", design])
    _store(design, "quenbar.jpg")


def intro(tmp):
    sky = os.path.join(TEXTURES, "back.jpg")
    design = os.path.join(tmp, "intro.png")
    run(["convert", sky, "-resize", "%dx%d!" % (W, H * 2), "-gravity", "NorthWest", "-crop",
         "%dx%d+0+%d" % (W, H, H * 2 // 2 - H * 4 // 5), "+repage", "-gravity", "center", "-blur", "0x4", "(", "-size", "%dx%d" % (W, 330), "xc:#000000b0", ")", "-gravity", "center",
         "-compose", "over", "-composite",
         "-fill", "#ffffff", "-font", SANS, "-pointsize", "34", "-annotate", "+0-120", "carte : demo",
         "-font", SERIF_BOLD, "-pointsize", "96", "-fill", "#ffe9b0", "-annotate", "+0-20", "La vall\u00e9e du moulin",
         "-font", SANS, "-pointsize", "30", "-fill", "#e8eef8", "-annotate", "+0+80",
         "Un moulin, un pont, des ruines, un ballon et un avion de voltige.",
         "-pointsize", "26", "-fill", "#b8c8e0", "-annotate", "+0+130",
         "touches : k brouillard \u2022 L \u00e9clairage \u2022 i fil de fer \u2022 \u00c9chap quitter",
         design])
    _store(design, "intro1.jpg")


def end(tmp):
    design = os.path.join(tmp, "fin.png")
    base = os.path.join(tmp, "fin_base.png")
    run(["convert", "-size", "%dx%d" % (W, H), "gradient:#14183a-#c8643a", base])
    title = os.path.join(tmp, "fin_title.png")
    _gradient_text(tmp, "Fin", SERIF_BOLD, 260, "#fffbe8", "#f4c070", "+0-40", title)
    shadow = os.path.join(tmp, "fin_shadow.png")
    run(["convert", title, "-fill", "black", "-colorize", "100", "-channel", "A", "-blur", "0x12", "+channel",
         shadow])
    run(["convert", base, shadow, "-geometry", "+8+12", "-composite", title, "-geometry", "+0+0", "-composite",
         "-gravity", "center", "-font", SERIF, "-pointsize", "31", "-fill", "#fff0dc",
         "-annotate", "+0+150", "Merci d'avoir regard\u00e9 \u2014 le spectacle recommence dans un instant.",
         "-font", SANS, "-pointsize", "26", "-fill", "#ffe0c8",
         "-annotate", "+0+230", "Skarn \u2022 images, mod\u00e8les et musique faits par ses propres scripts",
         design])
    _store(design, "fin.jpg")


def main():
    with tempfile.TemporaryDirectory() as tmp:
        logo(tmp)
        intro(tmp)
        end(tmp)


if __name__ == "__main__":
    main()
