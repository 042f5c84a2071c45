#!/usr/bin/env python3
"""Draws the toolbar icons of the KASTEL extension (16 and 26 pixels square) with Pillow.
Simple shapes on a sheet motif: a plus for a new sheet, circling arrows for the table list, a
page with a downward arrow for script output, a database drum with an arrow into the sheet
for the import, an eye for showing and hiding the template sheet."""
import os
import sys

from PIL import Image, ImageDraw

BLUE = (38, 94, 160, 255)
GREEN = (46, 139, 87, 255)
ORANGE = (214, 120, 32, 255)
GREY = (90, 90, 90, 255)
PAPER = (255, 255, 255, 255)


def sheet(d, s, c):
    """A table sheet: a framed page with grid lines."""
    m = s * 0.1
    d.rectangle([m, m, s - m - 1, s - m - 1], fill=PAPER, outline=c, width=max(1, s // 16))
    for k in (0.35, 0.6):
        y = s * k
        d.line([m, y, s - m - 1, y], fill=c, width=1)
    d.line([s * 0.4, m, s * 0.4, s - m - 1], fill=c, width=1)


def add_sheet(d, s):
    sheet(d, s, BLUE)
    w = max(2, s // 8)
    cx, cy, r = s * 0.68, s * 0.68, s * 0.28
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=GREEN)
    d.line([cx - r * 0.6, cy, cx + r * 0.6, cy], fill=PAPER, width=w)
    d.line([cx, cy - r * 0.6, cx, cy + r * 0.6], fill=PAPER, width=w)


def refresh(d, s):
    sheet(d, s, BLUE)
    w = max(2, s // 10)
    box = [s * 0.3, s * 0.3, s * 0.95, s * 0.95]
    d.arc(box, 200, 340, fill=GREEN, width=w)
    d.arc(box, 20, 160, fill=GREEN, width=w)
    t = s * 0.12
    d.polygon([(s * 0.93, s * 0.5), (s * 0.93 - t, s * 0.5 - t), (s * 0.93 + t, s * 0.5 - t)],
              fill=GREEN)
    d.polygon([(s * 0.32, s * 0.75), (s * 0.32 - t, s * 0.75 + t), (s * 0.32 + t, s * 0.75 + t)],
              fill=GREEN)


def script_out(d, s):
    m = s * 0.12
    d.rectangle([m, m, s * 0.7, s - m - 1], fill=PAPER, outline=GREY, width=max(1, s // 16))
    for k in (0.3, 0.45, 0.6, 0.75):
        d.line([m * 2, s * k, s * 0.6, s * k], fill=GREY, width=1)
    w = max(2, s // 8)
    d.line([s * 0.8, s * 0.2, s * 0.8, s * 0.75], fill=ORANGE, width=w)
    t = s * 0.16
    d.polygon([(s * 0.8, s * 0.95), (s * 0.8 - t, s * 0.7), (s * 0.8 + t, s * 0.7)], fill=ORANGE)


def reverse(d, s):
    c = ORANGE
    x0, x1 = s * 0.08, s * 0.55
    h = s * 0.14
    d.rectangle([x0, s * 0.2, x1, s * 0.8], fill=c)
    d.ellipse([x0, s * 0.8 - h, x1, s * 0.8 + h], fill=c)
    d.ellipse([x0, s * 0.2 - h, x1, s * 0.2 + h], fill=(240, 180, 110, 255), outline=c)
    w = max(2, s // 8)
    d.line([s * 0.55, s * 0.5, s * 0.85, s * 0.5], fill=BLUE, width=w)
    t = s * 0.15
    d.polygon([(s * 0.98, s * 0.5), (s * 0.8, s * 0.5 - t), (s * 0.8, s * 0.5 + t)], fill=BLUE)


def template(d, s):
    sheet(d, s, GREY)
    cx, cy = s * 0.5, s * 0.55
    rx, ry = s * 0.42, s * 0.24
    d.ellipse([cx - rx, cy - ry, cx + rx, cy + ry], fill=PAPER, outline=BLUE,
              width=max(1, s // 12))
    r = s * 0.13
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=BLUE)


ICONS = {
    "add_sheet": add_sheet,
    "refresh": refresh,
    "script_out": script_out,
    "reverse": reverse,
    "template": template,
}


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw_icons.py FOLDER")
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, draw in ICONS.items():
        for size in (16, 26):
            # Drawn four times larger and scaled down, for smooth edges at toolbar sizes.
            big = size * 4
            image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
            draw(ImageDraw.Draw(image), big)
            image = image.resize((size, size), Image.LANCZOS)
            image.save(os.path.join(folder, f"{name}_{size}.png"))


if __name__ == "__main__":
    main()
