#!/usr/bin/python3
"""Draws every picture of zelvane.exe into resources/.

Small images are drawn pixel by pixel (no scaling, no anti-aliasing), so that
they stay sharp at 16 x 16. Image lists are 24-bit strips on the mask colour
magenta; the title pictures are 24-bit on white. The about picture is the only
one rendered large and scaled down, as befits a photo-like JPEG.

    tools/make_pictures.py [--preview DIR]

writes resources/*.bmp, app.ico, about.jpg and, with --preview, enlarged PNGs.
"""

import argparse
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFilter

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


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


# ------------------------------------------------------------- tool bar (16 px)

GREEN = ((112, 216, 72), (40, 150, 32), (16, 88, 16))      # light, fill, outline
BLUE = ((120, 176, 248), (40, 104, 216), (16, 48, 128))
RED = ((255, 120, 104), (216, 32, 24), (120, 8, 8))
GREY = ((232, 232, 232), (176, 176, 184), (72, 72, 80))


# A ring 2-3 pixels wide around the centre of a 16 x 16 cell (rows and columns 2..13).
RING16 = {(x, y) for x in range(16) for y in range(16) if 3.6 <= math.hypot(x - 7.5, y - 7.5) <= 5.9}


def tube(c, pixels, colours):
    """Paints a ring-shaped stroke: lit on its outer upper-left half, outlined."""
    light, fill, outline = colours
    c.put(pixels, fill)
    c.put({(x, y) for (x, y) in pixels
           if math.hypot(x - 7.5, y - 7.5) >= 4.8 and (x - 7.5) + (y - 7.5) < 0}, light)
    c.put(outline_of(pixels), outline)


def rotate180(pixels):
    return {(15 - x, 15 - y) for (x, y) in pixels}


def icon_refresh():
    """Two arrows chasing each other round a circle: the upper one runs clockwise
    from the left to a head pointing down on the right; the lower one is the same
    arrow turned half round."""
    upper = {(x, y) for (x, y) in RING16 if y <= 6 and (x >= 8 or y <= 4)}
    head = rect(10, 7, 15, 7) | rect(11, 8, 14, 8) | rect(12, 9, 13, 9)
    arrow = upper | head
    c = Canvas(16, 16, MAGENTA)
    for a in (arrow, rotate180(arrow)):
        tube(c, a, GREEN)
    return c.img


def icon_auto_refresh():
    """One arrow round a circle, open at the top right, its head pointing right."""
    arc = {(x, y) for (x, y) in RING16 if not (x >= 8 and y <= 6)}
    head = rect(8, 0, 8, 5) | rect(9, 1, 9, 4) | rect(10, 2, 10, 3)
    c = Canvas(16, 16, MAGENTA)
    tube(c, arc | head, BLUE)
    return c.img


def icon_kill():
    c = Canvas(16, 16, MAGENTA)
    cross = thick_line(3, 3, 12.9, 12.9, 3.2) | thick_line(12.9, 3, 3, 12.9, 3.2)
    light, fill, outline = RED
    c.shape(cross, fill, outline=outline, light=light)
    return c.img


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


def icon_settings():
    c = Canvas(16, 16, MAGENTA)
    # A small window: navy frame, blue title bar, white client area.
    c.put(rect(0, 1, 12, 11), (16, 48, 128))
    c.put(rect(1, 2, 11, 3), (40, 104, 216))
    c.put(rect(9, 2, 10, 2), WHITE)
    c.put(rect(1, 4, 11, 10), WHITE)
    c.put(rect(2, 5, 6, 5), (176, 176, 184))
    c.put(rect(2, 7, 5, 7), (176, 176, 184))
    # A gear over its lower right corner.
    g = gear(10.5, 10.5, 3.6, 5.4, 8, 1.3)
    light, fill, outline = GREY
    c.shape(g, fill, outline=outline, light=light, dark=(120, 120, 128))
    return c.img


QUESTION = [".###.",
            "#...#",
            "....#",
            "...#.",
            "..#..",
            ".....",
            "..#.."]


def icon_about():
    c = Canvas(16, 16, MAGENTA)
    navy = (16, 40, 112)
    # Pages (right and bottom edges), then the cover.
    c.put(rect(3, 2, 14, 15), navy)
    c.put(rect(4, 13, 13, 14), WHITE)
    c.put(rect(13, 3, 13, 14), WHITE)
    c.put(rect(4, 14, 12, 14), (200, 200, 208))
    cover = rect(3, 1, 12, 12)
    c.put(outline_of(cover) - rect(0, 13, 15, 15), navy)
    c.put(cover, (40, 96, 208))
    c.put(rect(3, 1, 4, 12), (24, 64, 160))           # spine
    c.put(rect(5, 1, 12, 1), (112, 160, 240))          # top light edge
    mark = glyph(QUESTION, 6, 3)
    c.put(outline_of(mark, diagonal=False) & rect(5, 2, 12, 12), (24, 56, 150))
    c.put(mark, (255, 224, 32))
    c.put({(7, 3), (10, 4)}, (255, 248, 176))
    return c.img


def magnifier(c, cx, cy, r, handle):
    """A lens of radius r with a dark rim and a handle of the given length
    going down to the right."""
    lens = disc(cx, cy, r - 1.2)
    rim = disc(cx, cy, r + 0.3) - lens
    d = r * 0.72
    grip = thick_line(cx + d, cy + d, cx + d + handle, cy + d + handle, 2.6)
    c.shape(grip - rim, (88, 64, 48), outline=(40, 24, 16))
    c.put(rim, (48, 48, 56))
    c.put(lens, (196, 228, 252))
    c.put(edge_of(lens, "down") | edge_of(lens, "right"), (136, 184, 232))
    hx, hy = round(cx - r * 0.45), round(cy - r * 0.45)
    c.put({(hx, hy), (hx + 1, hy), (hx, hy + 1)}, WHITE)


def icon_search():
    c = Canvas(16, 16, MAGENTA)
    magnifier(c, 6, 6, 5, 4.6)
    return c.img


def icon_properties():
    c = Canvas(16, 16, MAGENTA)
    magnifier(c, 9, 5, 4.4, 3.4)
    tick = thick_line(1.0, 10.8, 3.6, 13.6, 2.2) | thick_line(3.0, 13.6, 7.8, 8.8, 2.2)
    light, fill, outline = RED
    c.shape(tick, fill, outline=outline, light=light)
    return c.img


TOOLBAR = [icon_refresh, icon_auto_refresh, icon_kill, icon_settings,
           icon_about, icon_search, icon_properties]


# ------------------------------------------------------------ tray gauge (16 px)
# A grey outer ring (columns 1..14, rows 1..15) and a white inner ring around a
# black well of 10 x 11 pixels; row 0 and columns 0 and 15 stay transparent.
# One fill step is one row, so 11 steps fill the well exactly.

GAUGE_WELL_X = (3, 12)      # inclusive columns of the black well
GAUGE_WELL_Y = (3, 13)      # inclusive rows: 11 rows, one per fill step
GAUGE_ROWS = GAUGE_WELL_Y[1] - GAUGE_WELL_Y[0] + 1
GRID = (0, 104, 40)


def gauge_fill_colour(k):
    if k <= 7:
        return (0, 255, 0)
    if k <= 9:
        return (255, 255, 0)
    return (255, 0, 0)


def gauge_image(k):
    c = Canvas(16, 16, MAGENTA)
    x0, x1 = GAUGE_WELL_X
    y0, y1 = GAUGE_WELL_Y
    c.put(rect(x0 - 2, y0 - 2, x1 + 2, y1 + 2), (128, 128, 128))
    c.put(rect(x0 - 1, y0 - 1, x1 + 1, y1 + 1), WHITE)
    c.put(rect(x0, y0, x1, y1), BLACK)
    c.put({(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)
           if (x - x0) % 2 == 1 and (y1 - y) % 2 == 1}, GRID)
    if k:
        c.put(rect(x0, y1 - k + 1, x1, y1), gauge_fill_colour(k))
    return c.img


def gauge_strip():
    assert GAUGE_ROWS == 11
    strip = Image.new("RGB", (16 * 13, 16), MAGENTA)
    for k in range(12):
        strip.paste(gauge_image(k), (16 * k, 0))
    return strip


# ------------------------------------------------------- title pictures (15 px)

def round_button(base, dark):
    """A 15 x 15 round button on white with a vertical shine and a dark rim."""
    c = Canvas(15, 15, WHITE)
    body = disc(7, 7, 6.9)
    for (x, y) in body:
        t = y / 14.0
        light = tuple(min(255, int(b + (255 - b) * (0.55 - t) * 0.9)) if t < 0.55 else
                      int(b * (1 - (t - 0.55) * 0.45)) for b in base)
        c.put({(x, y)}, light)
    c.put(edge_of(body, "up") | edge_of(body, "down") | edge_of(body, "left") | edge_of(body, "right"), dark)
    return c


def title_min():
    c = round_button((248, 200, 32), (168, 120, 0))
    c.put(rect(4, 7, 10, 8), (112, 72, 0))
    return c.img


def title_max():
    c = round_button((72, 184, 56), (24, 112, 24))
    ink = (8, 72, 8)
    back = rect(6, 3, 10, 7) - rect(7, 5, 9, 6)           # a window: thick top edge
    front = rect(4, 6, 8, 10) - rect(5, 8, 7, 9)
    c.put(back - rect(4, 6, 8, 10), ink)
    c.put(front, ink)
    return c.img


def close_picture():
    c = round_button((232, 48, 40), (136, 16, 16))
    ink = (128, 0, 0)
    cross = thick_line(4.2, 4.2, 10.8, 10.8, 1.9) | thick_line(10.8, 4.2, 4.2, 10.8, 1.9)
    c.put(cross, ink)
    return c.img


# ------------------------------------------------------------ application icon

def app_icon_image(n):
    """An n x n RGBA gauge: bevelled grey frame, black well with a dark green
    grid, and a rising CPU history in green with a yellow peak."""
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    s = n / 16.0
    b = max(1, round(s))                  # frame thickness
    m = 0 if n == 16 else round(s * 0.5)  # margin
    x0, y0, x1, y1 = m, m, n - 1 - m, n - 1 - m
    px = img.putpixel
    for x in range(x0, x1 + 1):
        for y in range(y0, y1 + 1):
            px((x, y), (150, 150, 156, 255))
    for i in range(b):
        for x in range(x0 + i, x1 - i + 1):
            px((x, y0 + i), (232, 232, 236, 255))
            px((x, y1 - i), (88, 88, 96, 255))
        for y in range(y0 + i, y1 - i + 1):
            px((x0 + i, y), (232, 232, 236, 255))
            px((x1 - i, y), (88, 88, 96, 255))
    wx0, wy0, wx1, wy1 = x0 + 2 * b, y0 + 2 * b, x1 - 2 * b, y1 - 2 * b
    step = max(2, round(2 * s))
    for x in range(wx0, wx1 + 1):
        for y in range(wy0, wy1 + 1):
            on_grid = ((x - wx0) % (2 * step) == 2 * step - 1 and (y - wy0) % 2 == 1) or \
                      ((y1 - y) % (2 * step) == 0 and (x - wx0) % 2 == 1)
            px((x, y), (0, 110, 44, 255) if on_grid else (0, 0, 0, 255))
    heights = [0.30, 0.45, 0.38, 0.62, 0.52, 0.78, 0.66, 0.90]
    w = wx1 - wx0 + 1
    h = wy1 - wy0 + 1
    for x in range(wx0, wx1 + 1):
        i = min(len(heights) - 1, (x - wx0) * len(heights) // w)
        top = wy1 + 1 - max(1, round(heights[i] * h))
        for y in range(top, wy1 + 1):
            colour = (255, 255, 0, 255) if heights[i] > 0.85 and y < wy0 + h * 0.35 else (0, 230, 0, 255)
            if y == top:
                colour = (200, 255, 160, 255) if colour[0] == 0 else (255, 255, 200, 255)
            px((x, y), colour)
    return img


def write_ico(path, images):
    """An .ico with one 32-bit BGRA DIB per image plus its AND mask."""
    header = struct.pack("<HHH", 0, 1, len(images))
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for img in images:
        w, h = img.size
        xor = bytearray()
        for y in range(h - 1, -1, -1):
            for x in range(w):
                r, g, bl, a = img.getpixel((x, y))
                xor += bytes((bl, g, r, a))
        row = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            bits = bytearray(row)
            for x in range(w):
                if img.getpixel((x, y))[3] < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        bih = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = bih + bytes(xor) + bytes(mask)
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(header + entries + blobs)


# ---------------------------------------------------------------- about picture

def about_picture():
    """64 x 74: a glowing red-orange emblem (a turtle shell of hexagons) on a dark
    ground, rendered eight times larger and scaled down."""
    k = 8
    W, H = 64 * k, 74 * k
    ground = Image.new("RGB", (W, H), (14, 10, 12))
    # Faint vertical shading of the ground.
    shade = ImageDraw.Draw(ground)
    for y in range(H):
        t = y / H
        shade.line([(0, y), (W, y)], fill=(int(12 + 10 * t), int(9 + 4 * t), int(14 + 4 * (1 - t))))
    cx, cy = W / 2, H * 0.47
    glow = Image.new("L", (W, H), 0)
    gd = ImageDraw.Draw(glow)
    gd.ellipse([cx - 21 * k, cy - 23 * k, cx + 21 * k, cy + 23 * k], fill=255)
    glow = glow.filter(ImageFilter.GaussianBlur(9 * k))
    ground.paste(Image.new("RGB", (W, H), (200, 60, 10)), (0, 0), glow.point(lambda v: int(v * 0.75)))

    emblem = Image.new("RGB", (W, H), (0, 0, 0))
    ed = ImageDraw.Draw(emblem)
    mask = Image.new("L", (W, H), 0)
    md = ImageDraw.Draw(mask)

    def hexagon(x, y, r):
        return [(x + r * math.cos(math.radians(60 * i)), y + r * math.sin(math.radians(60 * i)))
                for i in range(6)]

    # Head, legs, shell outline, then shell plates.
    md.ellipse([cx - 5 * k, cy - 25 * k, cx + 5 * k, cy - 14 * k], fill=255)
    for sx in (-1, 1):
        for sy in (-1, 1):
            lx, ly = cx + sx * 15 * k, cy + sy * 12 * k
            md.ellipse([lx - 4.5 * k, ly - 4.5 * k, lx + 4.5 * k, ly + 4.5 * k], fill=255)
    md.polygon([(cx - 2 * k, cy + 17 * k), (cx + 2 * k, cy + 17 * k), (cx, cy + 23 * k)], fill=255)
    md.ellipse([cx - 16 * k, cy - 18 * k, cx + 16 * k, cy + 19 * k], fill=255)
    ed.rectangle([0, 0, W, H], fill=(255, 120, 24))

    plates = Image.new("L", (W, H), 0)
    pd = ImageDraw.Draw(plates)
    r = 6.2 * k
    q = math.sqrt(3)
    centres = [(0, 0), (0, -q), (0, q)] + [(sx * 1.5, sy * q / 2) for sx in (-1, 1) for sy in (-1, 1)]
    for (hx, hy) in centres:
        pd.polygon(hexagon(cx + hx * r, cy + hy * r, r), fill=255)
    plates = plates.filter(ImageFilter.MinFilter(2 * k + 1))
    seams = Image.new("RGB", (W, H), (150, 36, 6))
    emblem.paste(seams, (0, 0), Image.eval(plates, lambda v: 255 - v))
    emblem_mask = mask.filter(ImageFilter.GaussianBlur(k * 0.6))
    shell_seams_mask = Image.new("L", (W, H), 0)
    ImageDraw.Draw(shell_seams_mask).ellipse([cx - 15 * k, cy - 17 * k, cx + 15 * k, cy + 18 * k], fill=255)
    base = Image.new("RGB", (W, H), (255, 120, 24))
    base.paste(emblem, (0, 0), shell_seams_mask)
    # Hot centre: a brighter core fading out towards the rim.
    core = Image.new("L", (W, H), 0)
    ImageDraw.Draw(core).ellipse([cx - 8 * k, cy - 8 * k, cx + 8 * k, cy + 8 * k], fill=255)
    core = core.filter(ImageFilter.GaussianBlur(6 * k))
    core = Image.composite(core, Image.new("L", (W, H), 0), plates)
    base.paste(Image.new("RGB", (W, H), (255, 200, 90)), (0, 0), core.point(lambda v: int(v * 0.8)))
    ground.paste(base, (0, 0), emblem_mask)
    return ground.resize((64, 74), Image.LANCZOS)


# ----------------------------------------------------------------------- output

def save_bmp(img, name):
    img.convert("RGB").save(os.path.join(RES, name), format="BMP")


def preview(img, name, out, scale):
    if img.mode == "RGBA":
        back = Image.new("RGBA", img.size, (212, 208, 200, 255))
        back.alpha_composite(img)
        img = back
    img.convert("RGB").resize((img.size[0] * scale, img.size[1] * scale), Image.NEAREST) \
        .save(os.path.join(out, name + ".png"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNG previews here")
    args = parser.parse_args()

    toolbar = Image.new("RGB", (16 * len(TOOLBAR), 16), MAGENTA)
    for i, draw in enumerate(TOOLBAR):
        toolbar.paste(draw(), (16 * i, 0))
    gauge = gauge_strip()
    titles = {"title_min": title_min(), "title_max": title_max(), "close": close_picture()}
    icons = [app_icon_image(n) for n in (16, 32, 48)]
    about = about_picture()

    save_bmp(toolbar, "toolbar.bmp")
    save_bmp(gauge, "gauge.bmp")
    for name, img in titles.items():
        save_bmp(img, name + ".bmp")
    write_ico(os.path.join(RES, "app.ico"), icons)
    about.save(os.path.join(RES, "about.jpg"), format="JPEG", quality=90, subsampling=0, optimize=True)

    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        preview(toolbar, "toolbar", args.preview, 12)
        preview(gauge, "gauge", args.preview, 8)
        for name, img in titles.items():
            preview(img, name, args.preview, 16)
        for img in icons:
            preview(img, "app%d" % img.size[0], args.preview, 384 // img.size[0])
        preview(Image.open(os.path.join(RES, "about.jpg")), "about", args.preview, 6)
    return 0


if __name__ == "__main__":
    sys.exit(main())
