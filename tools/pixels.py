"""Pixel shapes and a canvas for drawing small pictures pixel by pixel: no
scaling, no anti-aliasing. A shape is a set of (x, y) pixels; coordinates of
centres and ends are in pixel-index space (pixel (x, y) has its centre at x, y).
Shared by tools/make_pictures.py and tools/pictures_dpi.py."""

import math

from PIL import Image, ImageDraw

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# Stroke colours of the tool bar pictures: light, fill, outline.
GREEN = ((112, 216, 72), (40, 150, 32), (16, 88, 16))
BLUE = ((120, 176, 248), (40, 104, 216), (16, 48, 128))
RED = ((255, 120, 104), (216, 32, 24), (120, 8, 8))
GREY = ((232, 232, 232), (176, 176, 184), (72, 72, 80))

# ---------------------------------------------------------------- pixel shapes
# A shape is a set of (x, y) pixels. Painting a shape fills it and, on request,
# rings it with a one-pixel outline outside the shape.

def disc(cx, cy, r):
    return {(x, y) for x in range(64) for y in range(64)
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r}


def polygon(points):
    img = Image.new("1", (64, 64), 0)
    ImageDraw.Draw(img).polygon(points, fill=1)
    return {(x, y) for x in range(64) for y in range(64) if img.getpixel((x, y))}


def rect(x0, y0, x1, y1):
    """Inclusive rectangle."""
    return {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


def thick_line(x0, y0, x1, y1, w):
    """A straight stroke w pixels across, as a polygon."""
    dx, dy = x1 - x0, y1 - y0
    n = math.hypot(dx, dy)
    px, py = -dy / n * w / 2, dx / n * w / 2
    return polygon([(x0 + px, y0 + py), (x1 + px, y1 + py),
                    (x1 - px, y1 - py), (x0 - px, y0 - py)])


def outline_of(shape, diagonal=False):
    steps = [(1, 0), (-1, 0), (0, 1), (0, -1)]
    if diagonal:
        steps += [(1, 1), (1, -1), (-1, 1), (-1, -1)]
    return {(x + dx, y + dy) for (x, y) in shape for dx, dy in steps} - shape


def edge_of(shape, side):
    """Pixels of the shape whose neighbour towards side ('up', 'left' ...) is outside."""
    dx, dy = {"up": (0, -1), "down": (0, 1), "left": (-1, 0), "right": (1, 0)}[side]
    return {(x, y) for (x, y) in shape if (x + dx, y + dy) not in shape}


class Canvas:
    def __init__(self, w, h, ground):
        self.img = Image.new("RGB", (w, h), ground)

    def put(self, pixels, colour):
        w, h = self.img.size
        for x, y in pixels:
            if 0 <= x < w and 0 <= y < h:
                self.img.putpixel((x, y), colour)

    def shape(self, pixels, fill, outline=None, light=None, dark=None, diagonal=False):
        """Fill pixels; light on the top-left edge, dark on the bottom-right edge,
        and an outline ring around it."""
        self.put(pixels, fill)
        if light:
            self.put(edge_of(pixels, "up") | edge_of(pixels, "left"), light)
        if dark:
            self.put(edge_of(pixels, "down") | edge_of(pixels, "right"), dark)
        if outline:
            self.put(outline_of(pixels, diagonal), outline)


def glyph(rows, x0, y0):
    """Pixels of a small bitmap given as strings ('#' = set)."""
    return {(x0 + x, y0 + y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == "#"}


# The pixels of a gear wheel centred at (cx, cy): a ring from r_hole to
# r_body, and `teeth` teeth out to r_teeth.
def gear(cx, cy, r_body, r_teeth, teeth, r_hole):
    out = set()
    for x in range(64):
        for y in range(64):
            dx, dy = x - cx, y - cy
            d = math.hypot(dx, dy)
            a = (math.degrees(math.atan2(dy, dx)) + 360 / teeth / 4) % (360 / teeth)
            on_tooth = a < 360 / teeth / 2
            if r_hole < d <= r_body or (on_tooth and d <= r_teeth and d > r_hole):
                out.add((x, y))
    return out


# The tray gauge: the dotted grid in its black well, and the colour of a well
# filled k steps of 11 (green, then yellow, then red).
GAUGE_GRID = (0, 104, 40)


def gauge_fill_colour(k):
    if k <= 7:
        return (0, 255, 0)
    if k <= 9:
        return (255, 255, 0)
    return (255, 0, 0)
