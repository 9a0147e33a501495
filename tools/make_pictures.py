#!/usr/bin/python3
"""Draws the pictures of zelvane.exe into resources/.

Small images are drawn pixel by pixel (no scaling, no anti-aliasing), so that
they stay sharp: the 96-DPI ones at 16 x 16 (tool bar, gauge) and 15 x 15
(title pictures) here, and every larger size on its own grid in
tools/pictures_dpi.py. Image lists are 24-bit strips on the mask colour
magenta; the title pictures are 24-bit on white. The about picture is the only
one rendered large and scaled down, as befits a photo-like JPEG.

    tools/make_pictures.py [--preview DIR]

writes the pictures for 120, 144 and 192 DPI and app.ico (only files whose
bytes change) and, with --preview, enlarged contact sheets of every size. The
96-DPI pictures and the about picture are never rewritten: the code that drew
them is kept, and the run ends with status 1 when a file differs from it.
"""

import argparse
import io
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "resources")
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import pictures_dpi  # noqa: E402
from picture_files import (bmp_bytes, gauge_titles_sheet, ico_bytes, ico_image,  # noqa: E402
                           ico_image_16colours, ico_images, indexed_bmp_bytes, on_face, sheet, toolbar_sheet)
from pixels import (gear, gauge_fill_colour, GAUGE_GRID, BLACK, BLUE, GREEN, GREY, MAGENTA, RED, WHITE, Canvas,  # noqa: E402
                    disc, edge_of, glyph, outline_of, rect, thick_line)

APP_ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
KEPT_ICON_SIZES = (16, 32, 48)


# ------------------------------------------------------------- tool bar (16 px)

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
def gauge_image(k):
    c = Canvas(16, 16, MAGENTA)
    x0, x1 = GAUGE_WELL_X
    y0, y1 = GAUGE_WELL_Y
    c.put(rect(x0 - 2, y0 - 2, x1 + 2, y1 + 2), (128, 128, 128))
    c.put(rect(x0 - 1, y0 - 1, x1 + 1, y1 + 1), WHITE)
    c.put(rect(x0, y0, x1, y1), BLACK)
    c.put({(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)
           if (x - x0) % 2 == 1 and (y1 - y) % 2 == 1}, GAUGE_GRID)
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

def jpeg_bytes(img):
    out = io.BytesIO()
    img.save(out, format="JPEG", quality=90, subsampling=0, optimize=True)
    return out.getvalue()


def res_bytes(name):
    path = os.path.join(RES, name)
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def kept_pictures():
    """The 96-DPI pictures as this code draws them, by file name. The files
    themselves are never rewritten: the program's look at 100 % is fixed."""
    toolbar = Image.new("RGB", (16 * len(TOOLBAR), 16), MAGENTA)
    for i, draw in enumerate(TOOLBAR):
        toolbar.paste(draw(), (16 * i, 0))
    pictures = {"toolbar.bmp": toolbar, "gauge.bmp": gauge_strip(),
                "title_min.bmp": title_min(), "title_max.bmp": title_max(), "close.bmp": close_picture()}
    files = {name: bmp_bytes(img) for name, img in pictures.items()}
    files["about.jpg"] = jpeg_bytes(about_picture())
    return pictures, files


def new_pictures():
    """The drawn larger sizes, by file name."""
    pictures = {}
    for n in pictures_dpi.TOOLBAR_SIZES:
        pictures["toolbar_%d.bmp" % n] = pictures_dpi.toolbar_strip(n)
        pictures["gauge_%d.bmp" % n] = pictures_dpi.gauge_strip(n)
    for name, draw in pictures_dpi.TITLES.items():
        for n in pictures_dpi.TITLE_SIZES:
            pictures["%s_%d.bmp" % (name, n)] = draw(n)
    return pictures


def app_icon():
    """app.ico: the 16, 32 and 48 pixel images as they are in the file, and
    the other customary sizes drawn for their grid: 16 colours each (all the
    picture has), 256 as a PNG."""
    icons = {n: pictures_dpi.app_icon_image(n) for n in APP_ICON_SIZES}
    old = ico_images(res_bytes("app.ico"))
    blobs = {n: old[n] if n in KEPT_ICON_SIZES else ico_image(img) if n == 256 else ico_image_16colours(img)
             for n, img in icons.items()}
    return icons, ico_bytes(blobs), {n: old[n] == ico_image(icons[n]) for n in KEPT_ICON_SIZES}


def write_sheets(out, kept, new, icons):
    os.makedirs(out, exist_ok=True)
    names = [f.__name__.replace("icon_", "") for f in TOOLBAR]
    strips = {16: kept["toolbar.bmp"]}
    strips.update({n: new["toolbar_%d.bmp" % n] for n in pictures_dpi.TOOLBAR_SIZES})
    toolbar_sheet(strips, names, 8).save(os.path.join(out, "sheet_toolbar.png"))
    gauges = {16: kept["gauge.bmp"]}
    gauges.update({n: new["gauge_%d.bmp" % n] for n in pictures_dpi.TOOLBAR_SIZES})
    titles = {}
    for name in pictures_dpi.TITLES:
        titles[name] = {15: kept[name + ".bmp"]}
        titles[name].update({n: new["%s_%d.bmp" % (name, n)] for n in pictures_dpi.TITLE_SIZES})
    gauge_titles_sheet(gauges, titles, 8).save(os.path.join(out, "sheet_gauge_titles.png"))
    small = [on_face(icons[n], None) for n in APP_ICON_SIZES if n <= 64]
    sheet([("app.ico", small)], 4).save(os.path.join(out, "sheet_icon.png"))
    on_face(icons[256], None).save(os.path.join(out, "sheet_icon256.png"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged contact sheets here")
    args = parser.parse_args()

    kept, kept_files = kept_pictures()
    new = new_pictures()
    icons, ico, icon_same = app_icon()
    files = {name: indexed_bmp_bytes(img) for name, img in new.items()}
    files["app.ico"] = ico
    for name, data in sorted(files.items()):
        if res_bytes(name) != data:
            with open(os.path.join(RES, name), "wb") as f:
                f.write(data)
            print("wrote resources/" + name)
    status = 0
    for name, data in sorted(kept_files.items()):
        if res_bytes(name) != data:
            print("resources/%s differs from what this code draws; left as it is" % name)
            status = 1
    for n, same in icon_same.items():
        if not same:
            print("the %d-pixel image of resources/app.ico differs from what this code draws; kept" % n)
            status = 1
    if args.preview:
        write_sheets(args.preview, kept, new, icons)
    return status


if __name__ == "__main__":
    sys.exit(main())
