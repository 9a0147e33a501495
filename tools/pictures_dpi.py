"""The tool bar, gauge and title pictures drawn again for 125, 150 and 200 %,
and the application icon at each of its sizes.

Each size is drawn on its own pixel grid, never scaled from the 16-pixel
picture: the shapes of the 16-pixel design are laid out again with centres and
radii scaled to the new grid, rectangles snapped to whole pixels by their
edges, strokes made wider where the size allows, outlines and highlights kept
one pixel wide, and glyphs and small details placed by hand per size. Colours
and mask conventions are those of the 16-pixel pictures.
"""

import math

from PIL import Image

from pixels import (gear, gauge_fill_colour, GAUGE_GRID, BLACK, BLUE, GREEN, GREY, MAGENTA, RED, WHITE, Canvas,
                    disc, edge_of, glyph, outline_of, rect, thick_line)

TOOLBAR_SIZES = (20, 24, 32)     # tool bar and gauge cells at 120, 144, 192 DPI
TITLE_SIZES = (18, 22, 30)       # the 15-pixel title pictures at 120, 144, 192 DPI


def half_up(v):
    return math.floor(v + 0.5)


class Grid:
    """The design grid of `base` pixels laid over an n-pixel picture."""

    def __init__(self, n, base=16):
        self.n = n
        self.s = n / base

    def p(self, u):
        """A point (pixel-index coordinate) of the design on this grid."""
        return (u + 0.5) * self.s - 0.5

    def len(self, d):
        return d * self.s

    def edge(self, e):
        """A pixel edge of the design (0 .. base) on this grid."""
        return half_up(e * self.s)

    def rect(self, x0, y0, x1, y1):
        """An inclusive rectangle of the design, snapped by its edges."""
        return rect(self.edge(x0), self.edge(y0), self.edge(x1 + 1) - 1, self.edge(y1 + 1) - 1)

    def centre(self):
        return (self.n - 1) / 2


def flip(pixels, n):
    return {(n - 1 - x, n - 1 - y) for (x, y) in pixels}


# ---------------------------------------------------------------- tool bar

def ring(g):
    c = g.centre()
    return {(x, y) for x in range(g.n) for y in range(g.n)
            if g.len(3.6) <= math.hypot(x - c, y - c) <= g.len(5.9)}


def tube(cv, g, pixels, colours):
    """A ring-shaped stroke: lit on its outer upper-left half, outlined."""
    light, fill, outline = colours
    c = g.centre()
    cv.put(pixels, fill)
    lit_from = g.len(5.9) - max(1.0, g.len(1.1))
    cv.put({(x, y) for (x, y) in pixels
            if math.hypot(x - c, y - c) >= lit_from and (x - c) + (y - c) < 0}, light)
    cv.put(outline_of(pixels), outline)


def head_down(top, xc, half):
    """An arrow head pointing down: rows from `top`, each one pixel narrower
    on both sides; xc is a half-pixel centre so the rows have even widths."""
    return {(x, top + i) for i in range(half) for x in range(math.ceil(xc - half + i), math.floor(xc + half - i) + 1)}


def head_right(left, yc, half):
    return {(y, x) for (x, y) in head_down(left, yc, half)}


def icon_refresh(n):
    g = Grid(n)
    c = g.centre()
    upper = {(x, y) for (x, y) in ring(g)
             if y <= c - g.len(1.5) and (x >= c + g.len(0.5) or y <= c - g.len(3.5))}
    top = max(y for (_, y) in upper) + 1
    head = head_down(top, math.floor(c + g.len(5)) + 0.5, half_up(g.len(3)))
    cv = Canvas(n, n, MAGENTA)
    arrow = upper | head
    for a in (arrow, flip(arrow, n)):
        tube(cv, g, a, GREEN)
    return cv.img


def icon_auto_refresh(n):
    g = Grid(n)
    c = g.centre()
    arc = {(x, y) for (x, y) in ring(g) if not (x >= c + g.len(0.5) and y <= c - g.len(1.5))}
    left = math.ceil(c + g.len(0.5))
    head = head_right(left, math.floor(c - g.len(5)) + 0.5, half_up(g.len(3)))
    cv = Canvas(n, n, MAGENTA)
    tube(cv, g, arc | head, BLUE)
    return cv.img


def icon_kill(n):
    g = Grid(n)
    a, b, w = g.p(3), g.p(12.9), g.len(3.2)
    cross = thick_line(a, a, b, b, w) | thick_line(b, a, a, b, w)
    cv = Canvas(n, n, MAGENTA)
    light, fill, outline = RED
    cv.shape(cross, fill, outline=outline, light=light)
    return cv.img



def icon_settings(n):
    g = Grid(n)
    cv = Canvas(n, n, MAGENTA)
    # A small window: navy frame, blue title bar with a white button, white
    # client area with two grey lines of text.
    cv.put(g.rect(0, 1, 12, 11), (16, 48, 128))
    cv.put(g.rect(1, 2, 11, 3), (40, 104, 216))
    cv.put(g.rect(9, 2, 10, 2), WHITE)
    cv.put(g.rect(1, 4, 11, 10), WHITE)
    cv.put(g.rect(2, 5, 6, 5), (176, 176, 184))
    cv.put(g.rect(2, 7, 5, 7), (176, 176, 184))
    if n >= 24:
        cv.put(g.rect(2, 9, 4, 9), (176, 176, 184))
    # A gear over its lower right corner; its body is fuller than at 16
    # pixels, so that the teeth stay as wide as they are long.
    gr = gear(g.p(10.5), g.p(10.5), g.len(4.2), g.len(5.6), 8, g.len(1.3))
    light, fill, outline = GREY
    cv.shape(gr, fill, outline=outline, light=light, dark=(120, 120, 128))
    return cv.img


# Question marks for the book, by size: '#' ink, 'o' its lit pixels.
QUESTION = {
    20: [".o###.",
         "##..##",
         "....##",
         "...##.",
         "..##..",
         "..##..",
         "......",
         "..##..",
         "..##.."],
    24: [".o#####.",
         "o#...###",
         "......##",
         ".....##.",
         "....##..",
         "...##...",
         "...##...",
         "........",
         "...##...",
         "...##..."],
    32: ["..o#####..",
         ".o#######.",
         "###....###",
         "##......##",
         "........##",
         ".......###",
         "......###.",
         ".....###..",
         "....###...",
         "....##....",
         "....##....",
         "..........",
         "....##....",
         "....##...."],
}


# By size: rows of pages under the cover, and columns of the back cover's
# edge right of them (2 and 1 at 16 pixels).
PAGES = {20: (2, 1), 24: (3, 1), 32: (4, 2)}


def icon_about(n):
    g = Grid(n)
    cv = Canvas(n, n, MAGENTA)
    navy = (16, 40, 112)
    cover = g.rect(3, 1, 12, 12)
    x0, x1 = min(x for (x, _) in cover), max(x for (x, _) in cover)
    y0, y1 = min(y for (_, y) in cover), max(y for (_, y) in cover)
    pages, back = PAGES[n]
    # The back cover, the pages under the front cover (their last row in
    # shadow), then the front cover with its spine and lit top edge.
    cv.put(rect(x0, y0 + 1, x1 + 1 + back, y1 + pages + back), navy)
    cv.put(rect(x0 + 1, y1 + 1, x1 + 1, y1 + pages), WHITE)
    cv.put(rect(x0 + 1, y1 + pages, x1, y1 + pages), (200, 200, 208))
    cv.put({(x, y) for (x, y) in outline_of(cover) if y <= y1}, navy)
    cv.put(cover, (40, 96, 208))
    spine = g.rect(3, 1, 4, 12)
    cv.put(spine, (24, 64, 160))
    cv.put(edge_of(cover, "up") - spine, (112, 160, 240))
    # The question mark, centred on the cover right of the spine.
    rows = QUESTION[n]
    left = max(x for (x, _) in spine) + 1
    gx = left + (x1 - left + 1 - len(rows[0])) // 2
    gy = y0 + 1 + (y1 - y0 - len(rows)) // 2
    ink = glyph([r.replace("o", "#") for r in rows], gx, gy)
    cv.put(outline_of(ink) & cover - spine, (24, 56, 150))
    cv.put(ink, (255, 224, 32))
    cv.put(glyph([r.replace("#", ".").replace("o", "#") for r in rows], gx, gy), (255, 248, 176))
    return cv.img


def magnifier(cv, g, cx, cy, r, handle):
    """A lens of radius r with a dark rim and a handle going down to the right,
    all in design units of the 16-pixel grid."""
    rim_w = 1.2 if g.n < 24 else 1.6 if g.n < 32 else 2.2
    x, y, rr = g.p(cx), g.p(cy), g.len(r)
    lens = disc(x, y, rr - rim_w)
    rim = disc(x, y, rr + 0.3) - lens
    d = rr * 0.72
    h = g.len(handle)
    grip = thick_line(x + d, y + d, x + d + h, y + d + h, g.len(2.6))
    cv.shape(grip - rim, (88, 64, 48), outline=(40, 24, 16))
    cv.put(rim, (48, 48, 56))
    cv.put(lens, (196, 228, 252))
    cv.put(edge_of(lens, "down") | edge_of(lens, "right"), (136, 184, 232))
    # A glint on the upper left of the glass, larger on larger lenses.
    hx, hy = half_up(x - rr * 0.45), half_up(y - rr * 0.45)
    glint = {(hx, hy), (hx + 1, hy), (hx, hy + 1)}
    if g.n >= 24:
        glint |= {(hx + 2, hy), (hx, hy + 2), (hx + 1, hy + 1)}
    cv.put(glint & lens, WHITE)


def icon_search(n):
    g = Grid(n)
    cv = Canvas(n, n, MAGENTA)
    magnifier(cv, g, 6, 6, 5, 4.6)
    return cv.img


def icon_properties(n):
    g = Grid(n)
    cv = Canvas(n, n, MAGENTA)
    magnifier(cv, g, 9, 5, 4.4, 3.4)
    w = g.len(2.2)
    tick = thick_line(g.p(1.0), g.p(10.8), g.p(3.6), g.p(13.6), w) | \
        thick_line(g.p(3.0), g.p(13.6), g.p(7.8), g.p(8.8), w)
    light, fill, outline = RED
    cv.shape(tick, fill, outline=outline, light=light)
    return cv.img


TOOLBAR = [icon_refresh, icon_auto_refresh, icon_kill, icon_settings,
           icon_about, icon_search, icon_properties]


def toolbar_strip(n):
    strip = Image.new("RGB", (n * len(TOOLBAR), n), MAGENTA)
    for i, draw in enumerate(TOOLBAR):
        strip.paste(draw(n), (n * i, 0))
    return strip


# ------------------------------------------------------------------ tray gauge
# The 16-pixel gauge: row 0 and columns 0 and 15 transparent, a grey ring and a
# white ring one pixel each, a black well of 10 x 11 with a dark green dot grid,
# filled from the bottom one row per step. Here by size: (top margin, side
# margin, grey ring, white ring, well width, well height, grid pitch). The
# well's rows are shared out among the 11 steps as evenly as whole rows allow.

GAUGE_LAYOUT = {
    20: (1, 1, 1, 1, 14, 15, 2),
    24: (1, 1, 2, 1, 16, 17, 2),
    32: (2, 2, 2, 2, 20, 22, 2),
}
GAUGE_STEPS = 11
def gauge_image(n, k):
    top, side, grey, white, w, h, pitch = GAUGE_LAYOUT[n]
    assert top + 2 * (grey + white) + h == n and 2 * (side + grey + white) + w == n
    cv = Canvas(n, n, MAGENTA)
    x0, y0 = side + grey + white, top + grey + white
    x1, y1 = x0 + w - 1, y0 + h - 1
    cv.put(rect(x0 - grey - white, y0 - grey - white, x1 + grey + white, y1 + grey + white), (128, 128, 128))
    cv.put(rect(x0 - white, y0 - white, x1 + white, y1 + white), WHITE)
    cv.put(rect(x0, y0, x1, y1), BLACK)
    cv.put({(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)
            if (x - x0) % pitch == pitch - 1 and (y1 - y) % pitch == pitch - 1}, GAUGE_GRID)
    rows = half_up(k * h / GAUGE_STEPS)
    if rows:
        cv.put(rect(x0, y1 - rows + 1, x1, y1), gauge_fill_colour(k))
    return cv.img


def gauge_strip(n):
    """Images 0..11 filled k steps; image 12 blank, as in the 16-pixel strip."""
    strip = Image.new("RGB", (n * 13, n), MAGENTA)
    for k in range(GAUGE_STEPS + 1):
        strip.paste(gauge_image(n, k), (n * k, 0))
    return strip


# -------------------------------------------------------------- title pictures

def round_button(n, base, dark):
    """An n x n round button on white with a vertical shine and a dark rim,
    one pixel wide up to 22 pixels and two at 30."""
    cv = Canvas(n, n, WHITE)
    c = (n - 1) / 2
    body = disc(c, c, n / 2 - 0.6)
    for (x, y) in body:
        t = y / (n - 1)
        light = tuple(min(255, int(b + (255 - b) * (0.55 - t) * 0.9)) if t < 0.55 else
                      int(b * (1 - (t - 0.55) * 0.45)) for b in base)
        cv.put({(x, y)}, light)
    inner = body
    for _ in range(1 if n < 30 else 2):
        inner = inner - (edge_of(inner, "up") | edge_of(inner, "down") |
                         edge_of(inner, "left") | edge_of(inner, "right"))
    rim = body - inner
    cv.put(rim, dark)
    return cv


# By size: the minus sign's (left, top, width, height).
MINUS = {18: (5, 8, 8, 2), 22: (6, 10, 10, 3), 30: (8, 13, 14, 4)}


def title_min(n):
    cv = round_button(n, (248, 200, 32), (168, 120, 0))
    x, y, w, h = MINUS[n]
    cv.put(rect(x, y, x + w - 1, y + h - 1), (112, 72, 0))
    return cv.img


# By size: two overlapping windows, each (side, thick top edge, other edges),
# the back one up and to the right of the front one by (dx, dy), the pair
# placed from (x, y).
WINDOWS = {18: (6, 2, 1, 2, 3, 5, 4), 22: (8, 3, 1, 4, 4, 5, 5), 30: (10, 4, 2, 4, 5, 8, 7)}


def title_max(n):
    cv = round_button(n, (72, 184, 56), (24, 112, 24))
    ink = (8, 72, 8)
    side, top, edge, dx, dy, x, y = WINDOWS[n]

    def window(left, upper):
        outer = rect(left, upper, left + side - 1, upper + side - 1)
        return outer - rect(left + edge, upper + top, left + side - 1 - edge, upper + side - 1 - edge), outer

    back, _ = window(x + dx, y)
    front, front_area = window(x, y + dy)
    cv.put(back - front_area, ink)
    cv.put(front, ink)
    return cv.img


def close_picture(n):
    cv = round_button(n, (232, 48, 40), (136, 16, 16))
    # The cross of the 15-pixel picture, 6.6 across, centred on this grid.
    g = Grid(n, base=15)
    a, b, w = g.centre() - g.len(3.3), g.centre() + g.len(3.3), g.len(1.9)
    cv.put(thick_line(a, a, b, b, w) | thick_line(b, a, a, b, w), (128, 0, 0))
    return cv.img


TITLES = {"title_min": title_min, "title_max": title_max, "close": close_picture}


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
