#!/usr/bin/env python3
"""Draws the installer's pictures: the wizard picture (bitmap resource 129) and the program icon.

    make_wizard_art.py WIZARD.bmp ICON.ico

Everything is computed from the shapes below, with no randomness and no input files, so the
same script always writes the same bytes. The wizard picture is 228 x 312 pixels, 24 bits,
uncompressed, 3779 pixels per metre: at 96 dots per inch and the pages' 8-point shell font
that is exactly the picture control's 152 x 192 dialog units.

Shapes are signed distance functions in pixels; a shape covers a pixel by 0.5 minus its
distance, clamped, which gives one pixel of smooth edge without supersampling.
"""

import math
import struct
import sys

WIDTH, HEIGHT = 228, 312
PIXELS_PER_METRE = 3779


def clamp(value, low=0.0, high=1.0):
    return max(low, min(high, value))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def rounded_box(x, y, left, top, right, bottom, radius):
    """Distance from (x, y) to a rectangle with rounded corners (negative inside)."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - radius


def circle(x, y, cx, cy, radius):
    return math.hypot(x - cx, y - cy) - radius


def coverage(distance):
    return clamp(0.5 - distance)


class Canvas:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background(x + 0.5, y + 0.5) for x in range(width)] for y in range(height)]

    def paint(self, bounds, distance, colour, opacity=1.0):
        """Blends colour over the pixels inside bounds wherever the shape covers them."""
        left, top, right, bottom = (int(v) for v in bounds)
        for y in range(max(top - 1, 0), min(bottom + 2, self.height)):
            row = self.pixels[y]
            for x in range(max(left - 1, 0), min(right + 2, self.width)):
                px, py = x + 0.5, y + 0.5
                amount = coverage(distance(px, py)) * opacity
                if amount > 0.0:
                    shade = colour(px, py) if callable(colour) else colour
                    row[x] = mix(row[x], shade, amount)

    def box(self, left, top, right, bottom, radius, colour, opacity=1.0):
        self.paint((left, top, right, bottom),
                   lambda x, y: rounded_box(x, y, left, top, right, bottom, radius), colour, opacity)

    def dot(self, cx, cy, radius, colour, opacity=1.0):
        self.paint((cx - radius, cy - radius, cx + radius, cy + radius),
                   lambda x, y: circle(x, y, cx, cy, radius), colour, opacity)

    def rgb(self, x, y):
        return tuple(int(round(clamp(c, 0, 255))) for c in self.pixels[y][x])


# A calm palette: deep blue sky into pale mist, a light printer, white continuous paper.
SKY_TOP = hex_colour("24507A")
SKY_BOTTOM = hex_colour("A9CBE0")
GLOW = hex_colour("F4F8FB")
PAPER = hex_colour("FBFBF8")
PAPER_EDGE = hex_colour("D9DEE3")
INK = hex_colour("3A4A5C")
BODY_TOP = hex_colour("EEF1F4")
BODY_BOTTOM = hex_colour("C3CCD5")
OUTLINE = hex_colour("7D8C9A")
SLOT = hex_colour("36424D")
LED = hex_colour("4CC38A")
SHADOW = hex_colour("1B3550")


def sky(x, y):
    base = mix(SKY_TOP, SKY_BOTTOM, (y / HEIGHT) ** 0.8)
    glow = clamp(1.0 - math.hypot(x - 40, y - 70) / 190.0) ** 2
    return mix(base, GLOW, 0.35 * glow)


def dot_matrix_row(row, columns):
    """Which dots of one printed line are set: a fixed pattern that reads like small text."""
    words = [(4 + (row * 7) % 5), 3 + (row * 3) % 4, 5 + (row * 5) % 3, 2 + row % 3]
    dots, column = [], 0
    for length in words:
        for offset in range(length):
            if column + offset < columns:
                dots.append(column + offset)
        column += length + 2
    return [c for c in dots if (c * 31 + row * 17) % 7 != 0]


def draw_wizard():
    canvas = Canvas(WIDTH, HEIGHT, sky)
    # Soft hills of mist at the bottom.
    for top, colour, opacity in ((262, GLOW, 0.25), (280, GLOW, 0.35), (296, GLOW, 0.45)):
        canvas.paint((0, top - 20, WIDTH, HEIGHT),
                     lambda x, y, t=top: (t + 9 * math.sin(x / 37.0 + t)) - y, colour, opacity)

    # Continuous form paper leaving the printer, with tractor holes and dot-matrix lines.
    left, right, top, bottom = 58, 170, 34, 196
    canvas.box(left + 3, top + 4, right + 3, bottom, 2, SHADOW, 0.25)
    canvas.box(left, top, right, bottom, 2, PAPER)
    for x in (left + 13, right - 13):
        for y in range(top + 2, bottom, 4):
            canvas.box(x - 0.5, y, x + 0.5, y + 2, 0.5, PAPER_EDGE)
    for y in range(top + 8, bottom, 12):
        for x in (left + 6, right - 6):
            canvas.dot(x, y, 2.6, mix(SKY_TOP, SKY_BOTTOM, y / HEIGHT))
            canvas.dot(x, y, 2.6, PAPER_EDGE, 0.4)
    for row, y in enumerate(range(top + 14, bottom - 14, 11)):
        for column in dot_matrix_row(row, 22):
            canvas.dot(left + 20 + column * 3.4, y, 1.05, INK, 0.85)

    # The printer: a shadow, the body, the paper slot, a front panel with a lit LED.
    canvas.paint((20, 248, 208, 270),
                 lambda x, y: (((x - 114) / 96) ** 2 + ((y - 258) / 9) ** 2 - 1) * 9, SHADOW, 0.3)
    body = (30, 186, 198, 256)
    canvas.box(*body, 11, OUTLINE)
    canvas.box(body[0] + 1.5, body[1] + 1.5, body[2] - 1.5, body[3] - 1.5, 9.5,
               lambda x, y: mix(BODY_TOP, BODY_BOTTOM, (y - body[1]) / (body[3] - body[1])))
    canvas.box(48, 190, 180, 198, 3, SLOT)
    canvas.box(left, 190, right, 193, 1, PAPER, 0.9)
    canvas.box(40, 212, 188, 213.2, 0.6, OUTLINE, 0.5)
    for x in range(52, 132, 8):
        canvas.box(x, 224, x + 4, 244, 2, OUTLINE, 0.35)
    canvas.box(146, 226, 166, 236, 3, OUTLINE, 0.55)
    canvas.dot(178, 231, 3.2, LED)
    canvas.dot(177, 230, 1.2, GLOW, 0.7)
    return canvas


def draw_icon(size):
    """The program icon at one size: the printer with its paper, on a transparent ground."""
    scale = size / 32.0
    canvas = Canvas(size, size, lambda x, y: (0.0, 0.0, 0.0))
    alpha = Canvas(size, size, lambda x, y: (0.0, 0.0, 0.0))

    def layer(left, top, right, bottom, radius, colour):
        shape = [v * scale for v in (left, top, right, bottom)]
        canvas.box(*shape, radius * scale, colour)
        alpha.box(*shape, radius * scale, (255.0, 255.0, 255.0))

    layer(9, 2, 23, 17, 1, PAPER_EDGE)
    layer(10, 3, 22, 17, 0.5, PAPER)
    for y in (6, 9, 12):
        layer(12, y, 20, y + 1.2, 0.5, INK)
    layer(2, 15, 30, 28, 3, OUTLINE)
    layer(3, 16, 29, 27, 2.2, BODY_TOP)
    layer(7, 17, 25, 19, 0.8, SLOT)
    layer(23, 22, 26, 25, 1.5, LED)
    return canvas, alpha


def bitmap_rows(canvas):
    """Bottom-up rows of BGR bytes, each padded to a multiple of four bytes."""
    rows = []
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.rgb(x, y)
            row += bytes((b, g, r))
        row += bytes(-len(row) % 4)
        rows.append(bytes(row))
    return b"".join(rows)


def info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size,
                       PIXELS_PER_METRE, PIXELS_PER_METRE, 0, 0)


def write_bitmap(path, canvas):
    pixels = bitmap_rows(canvas)
    header = info_header(canvas.width, canvas.height, 24, len(pixels))
    offset = 14 + len(header)
    with open(path, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset))
        out.write(header)
        out.write(pixels)


def icon_image(size):
    canvas, alpha = draw_icon(size)
    colour = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b = canvas.rgb(x, y)
            colour += bytes((b, g, r, alpha.rgb(x, y)[0]))
    mask_row = (size + 31) // 32 * 4
    mask = bytes(mask_row * size)  # all zero: the alpha channel decides
    return info_header(size, size * 2, 32, len(colour) + len(mask)) + bytes(colour) + mask


def write_icon(path, sizes=(32, 16)):
    images = [icon_image(size) for size in sizes]
    offset = 6 + 16 * len(images)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)))
        for size, image in zip(sizes, images):
            out.write(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset))
            offset += len(image)
        for image in images:
            out.write(image)


def main(argv):
    if len(argv) != 3:
        sys.exit("usage: make_wizard_art.py WIZARD.bmp ICON.ico")
    write_bitmap(argv[1], draw_wizard())
    write_icon(argv[2])


if __name__ == "__main__":
    main(sys.argv)
