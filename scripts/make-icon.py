#!/usr/bin/env python3
"""Draws the applet's icon (a monitor showing a gamma curve over a colour
gradient) and writes it as a Windows .ico with 32x32 and 16x16 images.

Usage: make-icon.py [output.ico]   (default: src/resources/tonalis.ico)
"""
import colorsys
import pathlib
import struct
import sys

# Geometry in a 32-unit square; the 16-pixel image halves it, so edges on even
# units land on whole pixels at both sizes.
BEZEL = (2, 4, 30, 24)
SCREEN = (4, 6, 28, 22)
NECK = (14, 24, 18, 26)
BASE = (8, 26, 24, 28)
CORNER_RADIUS = 2.0
GAMMA = 2.2
CURVE_INSET = 1.0  # keeps the curve's ends off the bezel

BEZEL_COLOUR = (58, 63, 71)
BEZEL_EDGE_COLOUR = (28, 31, 36)
STAND_COLOUR = (92, 98, 108)
SCREEN_BACKGROUND = (24, 30, 46)
CURVE_COLOUR = (255, 255, 255)

SUBSAMPLES = 4  # per axis and pixel
CURVE_HALF_WIDTH_PX = 0.8  # in output pixels, so the curve stays visible at 16x16


def inside_rect(x, y, rect):
    left, top, right, bottom = rect
    return left <= x < right and top <= y < bottom


def inside_rounded_rect(x, y, rect, radius):
    if not inside_rect(x, y, rect):
        return False
    left, top, right, bottom = rect
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def curve_y(x):
    """Vertical position, in units, of the gamma curve at horizontal position x."""
    left, top, right, bottom = SCREEN
    width = right - left - 2 * CURVE_INSET
    height = bottom - top - 2 * CURVE_INSET
    t = min(max((x - left - CURVE_INSET) / width, 0.0), 1.0)
    return bottom - CURVE_INSET - height * t ** (1.0 / GAMMA)


def curve_points(steps=64):
    left, _, right, _ = SCREEN
    width = right - left - 2 * CURVE_INSET
    xs = [left + CURVE_INSET + width * i / steps for i in range(steps + 1)]
    return [(x, curve_y(x)) for x in xs]


def distance_to_segment(px, py, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return (qx * qx + qy * qy) ** 0.5


def spectrum(t):
    """Red through green to blue across the screen."""
    r, g, b = colorsys.hsv_to_rgb(t * 2.0 / 3.0, 0.85, 1.0)
    return (r * 255, g * 255, b * 255)


def screen_colour(x, y):
    left, top, right, bottom = SCREEN
    t = (x - left) / (right - left)
    boundary = curve_y(x)
    if y < boundary:
        return SCREEN_BACKGROUND
    # Under the curve: the gradient, darkening towards the bottom edge.
    depth = (y - boundary) / max(bottom - boundary, 1e-6)
    shade = 1.0 - 0.45 * depth
    return tuple(c * shade for c in spectrum(t))


def sample(x, y, curve, curve_half_width):
    """Colour and coverage (0 or 1) of one point in unit coordinates."""
    if inside_rect(x, y, SCREEN):
        nearest = min(distance_to_segment(x, y, a, b) for a, b in zip(curve, curve[1:]))
        if nearest <= curve_half_width:
            return CURVE_COLOUR, 1.0
        return screen_colour(x, y), 1.0
    if inside_rounded_rect(x, y, BEZEL, CORNER_RADIUS):
        # A darker rim along the bottom gives the bezel some depth.
        return (BEZEL_EDGE_COLOUR if y >= BEZEL[3] - 0.75 else BEZEL_COLOUR), 1.0
    if inside_rect(x, y, NECK) or inside_rounded_rect(x, y, BASE, 1.0):
        return STAND_COLOUR, 1.0
    return (0, 0, 0), 0.0


def render_samples(size, sample):
    """Rows top to bottom of (r, g, b, a) bytes of a square image, straight (not
    premultiplied) alpha; sample(x, y) works in a 32-unit square and returns a
    colour and a coverage of 0 or 1."""
    scale = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            coverage = 0.0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = (px + (sx + 0.5) / SUBSAMPLES) * scale
                    y = (py + (sy + 0.5) / SUBSAMPLES) * scale
                    colour, alpha = sample(x, y)
                    coverage += alpha
                    for i in range(3):
                        acc[i] += colour[i] * alpha
            if coverage == 0:
                row.append((0, 0, 0, 0))
                continue
            alpha = coverage / SUBSAMPLES**2
            row.append(tuple(min(255, round(c / coverage)) for c in acc) + (round(alpha * 255),))
        rows.append(row)
    return rows


def render(size):
    curve = curve_points()
    curve_half_width = CURVE_HALF_WIDTH_PX * 32.0 / size
    return render_samples(size, lambda x, y: sample(x, y, curve, curve_half_width))


def bitmap_image(rows):
    """BITMAPINFOHEADER, bottom-up BGRA pixels and the AND mask of one icon image."""
    size = len(rows)
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            xor += bytes((b, g, r, a))
            # Systems that ignore alpha draw only where the mask bit is clear.
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0
    )
    return header + bytes(xor) + bytes(mask)


def icon_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "src/resources/tonalis.ico"
    images = [(size, bitmap_image(render(size))) for size in (32, 16)]
    output.write_bytes(icon_file(images))


if __name__ == "__main__":
    main()
