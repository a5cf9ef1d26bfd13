#!/usr/bin/env python3
"""Draws the wizard picture and the dialog icons from code:

  src/resources/wizard.bmp      bitmap 133: 104 x 190, 24 bits per pixel, bottom-up
  src/resources/welcome.ico     icon 127: a monitor showing colour bars
  src/resources/save.ico        icon 130: a profile document with its gamut, being saved
  src/resources/contrast.ico    icon 140: the contrast symbol, a half-dark disc
  src/resources/brightness.ico  icon 141: the brightness symbol, a sun

Each icon holds a 32x32 and a 16x16 image (32 bits with alpha, plus a mask).
Usage: make-artwork.py [output folder]   (default: src/resources)
"""
import importlib.util
import math
import pathlib
import struct
import sys

HERE = pathlib.Path(__file__).resolve().parent

# The icon file writer is shared with the applet's icon.
_spec = importlib.util.spec_from_file_location("make_icon", HERE / "make-icon.py")
make_icon = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(make_icon)

inside_rect = make_icon.inside_rect
inside_rounded_rect = make_icon.inside_rounded_rect
distance_to_segment = make_icon.distance_to_segment
SUBSAMPLES = make_icon.SUBSAMPLES


# ---------------------------------------------------------------- shapes


def inside_circle(x, y, cx, cy, radius):
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def inside_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def barycentric(x, y, a, b, c):
    """Weights of a, b and c at (x, y); all three are >= 0 inside the triangle."""
    (ax, ay), (bx, by), (cx, cy) = a, b, c
    det = (by - cy) * (ax - cx) + (cx - bx) * (ay - cy)
    wa = ((by - cy) * (x - cx) + (cx - bx) * (y - cy)) / det
    wb = ((cy - ay) * (x - cx) + (ax - cx) * (y - cy)) / det
    return wa, wb, 1.0 - wa - wb


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def over(top, alpha, bottom):
    """Colour of top laid over bottom with the given opacity."""
    return mix(bottom, top, alpha)


# ---------------------------------------------------------------- rendering


def icon(sample):
    images = []
    for size in (32, 16):
        images.append((size, make_icon.bitmap_image(make_icon.render_samples(size, sample))))
    return make_icon.icon_file(images)


def bmp_24(rows):
    """A bottom-up 24-bit BMP file of rows of (r, g, b)."""
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


# ---------------------------------------------------------------- the wizard picture

PICTURE_SIZE = (104, 190)
SKY_TOP = (196, 211, 223)
SKY_BOTTOM = (232, 237, 241)
DESK_TOP = (205, 212, 218)
DESK_BOTTOM = (224, 229, 233)
DESK_Y = 128
BEZEL = (12, 36, 92, 104)
SCREEN = (17, 41, 87, 99)
NECK = (46, 104, 58, 116)
BASE = (30, 115, 74, 121)
BEZEL_COLOUR = (62, 68, 78)
BEZEL_RIM = (40, 44, 52)
STAND_COLOUR = (96, 103, 114)
WEDGE_BOTTOM = 63  # the grey wedge fills the screen above this row
WEDGE_STEPS = 10
# White point swatches: warm, neutral (chosen), cool.
SWATCHES = [
    ((17, 142, 37, 162), (255, 226, 190)),
    ((42, 142, 62, 162), (244, 244, 244)),
    ((67, 142, 87, 162), (208, 222, 255)),
]
SWATCH_EDGE = (120, 128, 138)
CHOSEN_RING = (52, 96, 160)


def background(x, y):
    if y < DESK_Y:
        return mix(SKY_TOP, SKY_BOTTOM, y / DESK_Y)
    return mix(DESK_TOP, DESK_BOTTOM, (y - DESK_Y) / (PICTURE_SIZE[1] - DESK_Y))


def screen(x, y):
    left, top, right, bottom = SCREEN
    t = (x - left) / (right - left)
    if y < WEDGE_BOTTOM:
        step = min(int(t * WEDGE_STEPS), WEDGE_STEPS - 1)
        level = 255 * step / (WEDGE_STEPS - 1)
        return (level, level, level)
    if y < WEDGE_BOTTOM + 1:
        return (20, 20, 24)
    band = (y - WEDGE_BOTTOM - 1) / (bottom - WEDGE_BOTTOM - 1)
    level = 255 * t ** (1 / 2.2) if t > 0 else 0
    channel = min(int(band * 3), 2)
    colour = [0.0, 0.0, 0.0]
    colour[channel] = level
    return tuple(colour)


def picture(x, y):
    colour = background(x, y)
    # Soft shadows under the stand and the swatches.
    if inside_ellipse(x, y, 52, 122, 32, 3.5):
        colour = over((120, 128, 136), 0.35, colour)
    for rect, _ in SWATCHES:
        left, top, right, bottom = rect
        if inside_rect(x, y, (left + 2, top + 2, right + 2, bottom + 2)):
            colour = over((150, 158, 166), 0.45, colour)
    if inside_rect(x, y, NECK) or inside_rounded_rect(x, y, BASE, 2.0):
        colour = STAND_COLOUR
    if inside_rounded_rect(x, y, BEZEL, 4.0):
        colour = BEZEL_RIM if y >= BEZEL[3] - 1.5 else BEZEL_COLOUR
    if inside_rect(x, y, SCREEN):
        colour = screen(x, y)
    for index, (rect, fill) in enumerate(SWATCHES):
        left, top, right, bottom = rect
        if index == 1 and inside_rect(x, y, (left - 3, top - 3, right + 3, bottom + 3)) and not inside_rect(
            x, y, (left - 1.5, top - 1.5, right + 1.5, bottom + 1.5)
        ):
            colour = CHOSEN_RING
        if inside_rect(x, y, rect):
            inner = (left + 1, top + 1, right - 1, bottom - 1)
            colour = fill if inside_rect(x, y, inner) else SWATCH_EDGE
    return colour, 1.0


def wizard_picture():
    """One unit per pixel, averaged over the subsamples of each pixel."""
    width, height = PICTURE_SIZE
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    colour, _ = picture(px + (sx + 0.5) / SUBSAMPLES, py + (sy + 0.5) / SUBSAMPLES)
                    for i in range(3):
                        acc[i] += colour[i]
            row.append(tuple(min(255, round(c / SUBSAMPLES**2)) for c in acc))
        rows.append(row)
    return bmp_24(rows)


# ---------------------------------------------------------------- icons

ICON_BEZEL = (2, 4, 30, 24)
ICON_SCREEN = (4, 6, 28, 22)
ICON_NECK = (14, 24, 18, 26)
ICON_BASE = (8, 26, 24, 28)
ICON_BEZEL_COLOUR = (58, 63, 71)
ICON_BEZEL_EDGE = (28, 31, 36)
ICON_STAND = (92, 98, 108)
# 75 % colour bars: white, yellow, cyan, green, magenta, red, blue.
BARS = [(191, 191, 191), (191, 191, 0), (0, 191, 191), (0, 191, 0), (191, 0, 191), (191, 0, 0), (0, 0, 191)]
OUTLINE = (40, 44, 52)


def welcome(x, y):
    if inside_rect(x, y, ICON_SCREEN):
        left, top, right, bottom = ICON_SCREEN
        t = (x - left) / (right - left)
        if y < top + (bottom - top) * 2 / 3:
            return BARS[min(int(t * len(BARS)), len(BARS) - 1)], 1.0
        level = 255 * t
        return (level, level, level), 1.0
    if inside_rounded_rect(x, y, ICON_BEZEL, 2.0):
        return (ICON_BEZEL_EDGE if y >= ICON_BEZEL[3] - 0.75 else ICON_BEZEL_COLOUR), 1.0
    if inside_rect(x, y, ICON_NECK) or inside_rounded_rect(x, y, ICON_BASE, 1.0):
        return ICON_STAND, 1.0
    return (0, 0, 0), 0.0


PAGE = (5, 1, 25, 29)
FOLD = 6
GAMUT = ((15, 9), (21, 22), (9, 22))  # green at the top, red right, blue left
BADGE = (23.5, 24.5, 7.0)  # centre and radius


def save(x, y):
    bx, by, radius = BADGE
    if inside_circle(x, y, bx, by, radius):
        if not inside_circle(x, y, bx, by, radius - 1.2):
            return (24, 70, 130), 1.0
        # A down arrow: shaft and head.
        if inside_rect(x, y, (bx - 1.2, by - 4.5, bx + 1.2, by + 0.5)):
            return (255, 255, 255), 1.0
        if by - 0.5 <= y <= by + 4.0 and abs(x - bx) <= (by + 4.0 - y) * 0.9:
            return (255, 255, 255), 1.0
        return (48, 112, 196), 1.0
    left, top, right, bottom = PAGE
    if not inside_rect(x, y, PAGE):
        return (0, 0, 0), 0.0
    # The folded corner: cut along the diagonal, with the flap drawn inside.
    corner_x = right - FOLD
    if x >= corner_x and y < top + FOLD:
        if (x - corner_x) > (y - top):
            return (0, 0, 0), 0.0
        edge = (x - corner_x) > (y - top) - 1.0 or x >= right - 1 or y >= top + FOLD - 1 or x < corner_x + 1
        return ((120, 126, 136) if edge else (214, 220, 228)), 1.0
    if x < left + 1 or x >= right - 1 or y < top + 1 or y >= bottom - 1:
        return (110, 116, 126), 1.0
    wr, wg, wb = barycentric(x, y, GAMUT[1], GAMUT[0], GAMUT[2])
    if min(wr, wg, wb) >= 0:
        peak = max(wr, wg, wb)
        return (255 * wr / peak, 255 * wg / peak, 255 * wb / peak), 1.0
    return (255, 255, 255), 1.0


def contrast(x, y):
    cx = cy = 16.0
    if not inside_circle(x, y, cx, cy, 13.5):
        return (0, 0, 0), 0.0
    if not inside_circle(x, y, cx, cy, 11.5):
        return OUTLINE, 1.0
    return ((255, 255, 255) if x < cx else (24, 26, 30)), 1.0


SUN_CORE = (255, 200, 48)
SUN_EDGE = (196, 120, 0)


def brightness(x, y):
    cx = cy = 16.0
    if inside_circle(x, y, cx, cy, 7.0):
        return (SUN_EDGE if not inside_circle(x, y, cx, cy, 5.8) else SUN_CORE), 1.0
    for ray in range(8):
        angle = ray * math.pi / 4
        a = (cx + 10.0 * math.cos(angle), cy + 10.0 * math.sin(angle))
        b = (cx + 14.0 * math.cos(angle), cy + 14.0 * math.sin(angle))
        if distance_to_segment(x, y, a, b) <= 1.3:
            return SUN_EDGE, 1.0
    return (0, 0, 0), 0.0


def main():
    root = HERE.parent
    folder = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "src/resources"
    (folder / "wizard.bmp").write_bytes(wizard_picture())
    (folder / "welcome.ico").write_bytes(icon(welcome))
    (folder / "save.ico").write_bytes(icon(save))
    (folder / "contrast.ico").write_bytes(icon(contrast))
    (folder / "brightness.ico").write_bytes(icon(brightness))


if __name__ == "__main__":
    main()
