#!/usr/bin/env python3
"""Draws Vellumo's pictures and writes them, byte by byte, beside this script.

Writes the eight tool bar strips (new, open, save, undo, cut, copy, paste, about: 40 x 20,
24-bit BMP, normal picture left and disabled picture right, olive = transparent), the program
icon vellumo.ico (32 x 32 and 16 x 16, 24-bit with an AND mask) and the About box logo
logo.bmp (195 x 78, 16 colours). It then reads every file back and checks its headers.

Standard library only. Run from anywhere:  python3 resources/pictures/draw.py
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# --- colours (r, g, b) ---------------------------------------------------------------------

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)  # the 3D shadow colour
SILVER = (192, 192, 192)  # the button face
OLIVE = (128, 128, 0)
TRANSPARENT = OLIVE  # in tool bar pictures and the icon; never used inside a subject
NAVY = (0, 0, 128)
BLUE = (0, 0, 255)
MID_BLUE = (40, 88, 216)
LIGHT_BLUE = (128, 176, 255)
YELLOW = (255, 255, 0)
LIGHT_YELLOW = (255, 240, 120)
GOLD = (240, 192, 32)
DARK_GOLD = (176, 120, 0)
RAY = (232, 152, 0)
PINK = (255, 136, 184)
DARK_PINK = (200, 64, 120)
BROWN = (152, 88, 24)
DARK_BROWN = (96, 48, 8)
TEXT_LINE = (64, 64, 96)

# The standard 16-colour VGA palette, in the order Windows uses for 4-bit bitmaps.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


# --- masks: sets of (x, y) pixel positions -----------------------------------------------------

def rect_mask(x0, y0, x1, y1):
    """Pixels of the rectangle with inclusive corners (x0, y0) and (x1, y1)."""
    return {(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)}


def polygon_mask(points, ss=1):
    """Pixels inside a polygon (even-odd rule), sampled at pixel centres.

    With ss > 1 each pixel is sampled ss x ss times and kept when at least half are inside,
    which gives smoother slanted edges while staying crisp (no blending)."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    out = set()
    for y in range(int(min(ys)) - 1, int(max(ys)) + 2):
        for x in range(int(min(xs)) - 1, int(max(xs)) + 2):
            hits = 0
            for sy in range(ss):
                for sx in range(ss):
                    if _inside_polygon(points, x + (sx + 0.5) / ss, y + (sy + 0.5) / ss):
                        hits += 1
            if hits * 2 >= ss * ss:
                out.add((x, y))
    return out


def _inside_polygon(points, px, py):
    inside = False
    n = len(points)
    for i in range(n):
        x0, y0 = points[i]
        x1, y1 = points[(i + 1) % n]
        if (y0 > py) != (y1 > py):
            cross_x = x0 + (py - y0) * (x1 - x0) / (y1 - y0)
            if px < cross_x:
                inside = not inside
    return inside


def ellipse_mask(cx, cy, rx, ry, ss=1):
    """Pixels inside the ellipse with centre (cx, cy) and radii rx, ry (pixel-edge units)."""
    out = set()
    for y in range(int(cy - ry) - 1, int(cy + ry) + 2):
        for x in range(int(cx - rx) - 1, int(cx + rx) + 2):
            hits = 0
            for sy in range(ss):
                for sx in range(ss):
                    dx = (x + (sx + 0.5) / ss - cx) / rx
                    dy = (y + (sy + 0.5) / ss - cy) / ry
                    if dx * dx + dy * dy <= 1.0:
                        hits += 1
            if hits * 2 >= ss * ss:
                out.add((x, y))
    return out


def thick_line_mask(x0, y0, x1, y1, width, ss=2):
    """Pixels of a straight stroke of the given width between two points (square ends)."""
    dx, dy = x1 - x0, y1 - y0
    length = (dx * dx + dy * dy) ** 0.5
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return polygon_mask([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                         (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], ss)


def line_mask(x0, y0, x1, y1):
    """Pixels of a one-pixel line between two pixel positions (Bresenham)."""
    out = set()
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx = 1 if x0 < x1 else -1
    sy = 1 if y0 < y1 else -1
    err = dx + dy
    while True:
        out.add((x0, y0))
        if x0 == x1 and y0 == y1:
            return out
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


_NEIGHBOURS_4 = ((1, 0), (-1, 0), (0, 1), (0, -1))
_NEIGHBOURS_8 = _NEIGHBOURS_4 + ((1, 1), (1, -1), (-1, 1), (-1, -1))


def inner_edge(mask, diagonal=False):
    """Pixels of the mask that touch a pixel outside it: the mask's own border line."""
    steps = _NEIGHBOURS_8 if diagonal else _NEIGHBOURS_4
    return {(x, y) for (x, y) in mask
            if any((x + dx, y + dy) not in mask for dx, dy in steps)}


def outer_edge(mask, diagonal=True):
    """Pixels outside the mask that touch it: a border line drawn around the mask."""
    steps = _NEIGHBOURS_8 if diagonal else _NEIGHBOURS_4
    return {(x + dx, y + dy) for (x, y) in mask for dx, dy in steps} - mask


def shifted(mask, dx, dy):
    return {(x + dx, y + dy) for (x, y) in mask}


# --- canvas ----------------------------------------------------------------------------------

class Canvas:
    """A picture of RGB pixels, row 0 at the top."""

    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.rows = [[background] * width for _ in range(height)]

    def get(self, x, y):
        return self.rows[y][x]

    def pixel(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def paint(self, mask, colour):
        for x, y in mask:
            self.pixel(x, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        self.paint(line_mask(x0, y0, x1, y1), colour)

    def hline(self, x0, x1, y, colour):
        self.paint(rect_mask(x0, y, x1, y), colour)

    def vline(self, x, y0, y1, colour):
        self.paint(rect_mask(x, y0, x, y1), colour)

    def rect(self, x0, y0, x1, y1, colour):
        self.paint(inner_edge(rect_mask(x0, y0, x1, y1)), colour)

    def fill_rect(self, x0, y0, x1, y1, colour):
        self.paint(rect_mask(x0, y0, x1, y1), colour)

    def shape(self, mask, fill, outline=BLACK, diagonal=False):
        """Fills a mask and draws its border line, inside the mask, in the outline colour."""
        self.paint(mask, fill)
        if outline is not None:
            self.paint(inner_edge(mask, diagonal), outline)

    def blit(self, other, left, top, transparent=None):
        for y in range(other.height):
            for x in range(other.width):
                c = other.get(x, y)
                if c != transparent:
                    self.pixel(left + x, top + y, c)


def luminance(c):
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]


def disabled_form(picture, transparent=TRANSPARENT):
    """The greyed picture of a disabled button, drawn the classic way.

    The dark pixels of the subject (outlines and dark fills) form the ink; light fills vanish.
    The ink is drawn in white one pixel down and right, then in the 3D shadow grey on top,
    which gives the engraved look on the button face."""
    ink = {(x, y) for y in range(picture.height) for x in range(picture.width)
           if picture.get(x, y) != transparent and luminance(picture.get(x, y)) < 176}
    out = Canvas(picture.width, picture.height, transparent)
    out.paint(shifted(ink, 1, 1), WHITE)
    out.paint(ink, GREY)
    return out


# --- tool bar pictures (20 x 20 each) --------------------------------------------------------

def sheet_mask(x0, y0, x1, y1, fold):
    """A sheet of paper whose top-right corner is cut off for a fold of the given size."""
    return {(x, y) for (x, y) in rect_mask(x0, y0, x1, y1) if (x - x1) - (y - y0) < 1 - fold}


def draw_sheet(c, x0, y0, x1, y1, fold=4, lines=True):
    """White sheet with a black outline, a folded corner and optionally lines of text."""
    c.shape(sheet_mask(x0, y0, x1, y1, fold), WHITE)
    if fold:
        fx = x1 - fold  # left edge of the fold
        fold_mask = {(x, y) for (x, y) in rect_mask(fx, y0, x1, y0 + fold)
                     if (x - x1) - (y - y0) <= -fold}
        c.paint(fold_mask, SILVER)
        c.vline(fx, y0, y0 + fold, BLACK)
        c.hline(fx, x1, y0 + fold, BLACK)
        c.line(fx, y0, x1, y0 + fold, BLACK)
    if lines:
        top = y0 + fold + 2 if fold else y0 + 2
        lengths = [0, -2, 0, -3, -1, 0, -4]
        for i, y in enumerate(range(top, y1 - 1, 2)):
            c.hline(x0 + 2, x1 - 2 + lengths[i % len(lengths)], y, TEXT_LINE)


def picture_new():
    c = Canvas(20, 20, TRANSPARENT)
    draw_sheet(c, 5, 5, 15, 18, fold=4, lines=False)
    # short rays of light around the new sheet
    for x0, y0, x1, y1 in [(2, 2, 3, 3), (5, 1, 5, 2), (1, 5, 2, 5),
                           (9, 1, 9, 2), (13, 2, 14, 1),
                           (1, 9, 2, 9), (17, 4, 18, 3), (17, 9, 18, 9)]:
        c.line(x0, y0, x1, y1, RAY)
    return c


def picture_open():
    c = Canvas(20, 20, TRANSPARENT)
    back = rect_mask(1, 5, 14, 16) | rect_mask(2, 3, 7, 5)
    c.shape(back, GOLD)
    c.hline(2, 13, 6, LIGHT_YELLOW)  # lit top edge of the folder's back
    front = polygon_mask([(5, 9), (19.5, 9), (15.5, 17), (1, 17)])
    c.shape(front, YELLOW)
    return c


def picture_save():
    c = Canvas(20, 20, TRANSPARENT)
    body = {(x, y) for (x, y) in rect_mask(2, 2, 17, 17) if (x - 17) - (y - 2) < -1}
    c.shape(body, MID_BLUE)
    c.vline(3, 3, 16, LIGHT_BLUE)  # lit left edge
    c.shape(rect_mask(5, 2, 14, 9), WHITE, NAVY)  # label
    c.fill_rect(6, 4, 13, 4, TEXT_LINE)
    c.fill_rect(6, 6, 11, 6, TEXT_LINE)
    c.shape(rect_mask(6, 12, 13, 17), SILVER, NAVY)  # metal shutter
    c.fill_rect(10, 13, 11, 15, NAVY)  # shutter slot
    c.paint(inner_edge(body), BLACK)
    return c


def picture_undo():
    c = Canvas(20, 20, TRANSPARENT)
    # the white smudge on the paper, partly rubbed out under the eraser's tip
    smudge = (ellipse_mask(8.0, 16.5, 7.0, 2.5, ss=4) | ellipse_mask(14.0, 15.5, 4.5, 2.5, ss=4))
    c.shape(smudge, WHITE, GREY)
    c.hline(9, 12, 17, SILVER)  # streaks where it is already rubbed thin
    c.hline(14, 15, 16, SILVER)
    # the eraser: a thick block tilted 45 degrees, its pink tip down-left on the smudge
    tip = (5.0, 13.5)
    end = (15.5, 3.0)

    def block(t0, t1, a0=-1.0, a1=1.0):
        """Part of the block from t0 to t1 along it (0 tip, 1 end), a0 to a1 across it."""
        half = 3.4 / 2 ** 0.5  # half thickness, per axis, across the 45 degree block
        pts = []
        for t, a in ((t0, a0), (t1, a0), (t1, a1), (t0, a1)):
            x = tip[0] + (end[0] - tip[0]) * t + half * a
            y = tip[1] + (end[1] - tip[1]) * t + half * a
            pts.append((x, y))
        return polygon_mask(pts, ss=4)

    whole = block(0.0, 1.0)
    rubber = block(0.0, 0.4)
    edge = inner_edge(whole, diagonal=True)
    c.paint(whole, BLUE)
    c.paint(block(0.4, 1.0, -1.0, -0.1), MID_BLUE)  # the lit upper face of the sleeve
    c.paint(rubber, PINK)
    c.paint(block(0.0, 0.4, -1.0, -0.1), (255, 184, 216))  # lit upper face of the rubber
    c.paint(edge, BLACK)
    c.paint(block(0.37, 0.43) - edge, NAVY)  # the sleeve's edge
    return c


def picture_cut():
    c = Canvas(20, 20, TRANSPARENT)
    # blades: two dark strokes crossing at the pivot, their ends hidden by the handles
    c.paint(thick_line_mask(6.0, 0.5, 12.5, 13.0, 2.2), BLACK)
    c.paint(thick_line_mask(13.5, 0.5, 7.0, 13.0, 2.2), BLACK)
    c.pixel(7, 1, SILVER)  # glints on the blades
    c.pixel(12, 1, SILVER)
    # blue ring handles with open (transparent) middles
    for cx in (5.0, 15.0):
        hole = ellipse_mask(cx, 15.5, 1.8, 1.5, ss=4)
        ring = ellipse_mask(cx, 15.5, 4.2, 3.6, ss=4) - hole
        c.paint(ring, BLUE)
        c.paint(inner_edge(ring | hole), BLACK)
        c.paint(hole, TRANSPARENT)
    return c


def picture_copy():
    c = Canvas(20, 20, TRANSPARENT)
    draw_sheet(c, 1, 1, 11, 14, fold=3)
    draw_sheet(c, 7, 5, 18, 18, fold=3)
    return c


def picture_paste():
    c = Canvas(20, 20, TRANSPARENT)
    c.shape(rect_mask(1, 2, 14, 18), BROWN)
    c.rect(2, 3, 13, 17, DARK_BROWN)
    clip = rect_mask(4, 1, 11, 4) | rect_mask(6, 0, 9, 1)
    c.shape(clip, SILVER)
    c.hline(5, 10, 3, GREY)
    draw_sheet(c, 8, 7, 18, 19, fold=3)
    return c


def picture_about():
    c = Canvas(20, 20, TRANSPARENT)
    dot = ellipse_mask(10.5, 3.5, 3.5, 3.5)
    c.shape(dot, WHITE, BLACK)
    stem = rect_mask(8, 8, 12, 16) | rect_mask(6, 8, 12, 9) | rect_mask(6, 16, 14, 18)
    c.shape(stem, WHITE, BLACK)
    return c


TOOL_BAR_PICTURES = [
    ("new", picture_new),
    ("open", picture_open),
    ("save", picture_save),
    ("undo", picture_undo),
    ("cut", picture_cut),
    ("copy", picture_copy),
    ("paste", picture_paste),
    ("about", picture_about),
]


def tool_bar_strip(picture):
    """The 40 x 20 strip: the picture on the left, its disabled form on the right."""
    strip = Canvas(40, 20, TRANSPARENT)
    strip.blit(picture, 0, 0)
    strip.blit(disabled_form(picture), 20, 0)
    return strip


# --- program icon ----------------------------------------------------------------------------

def key_mask(bow_cx, bow_cy, bow_r, hole_r, shaft_x1, shaft_half, teeth):
    """A key lying horizontally: round bow on the left, shaft to the right, teeth hanging down.

    teeth is a list of (x0, x1, depth) below the shaft. Returns (key, hole)."""
    bow = ellipse_mask(bow_cx, bow_cy, bow_r, bow_r, ss=4)
    hole = ellipse_mask(bow_cx, bow_cy, hole_r, hole_r, ss=4)
    y0 = int(bow_cy - shaft_half)
    y1 = int(bow_cy + shaft_half) - 1
    shaft = rect_mask(int(bow_cx), y0, shaft_x1, y1)
    key = bow | shaft
    for x0, x1, depth in teeth:
        key |= rect_mask(x0, y1, x1, y1 + depth)
    return key - hole, hole


def paint_key(c, key, hole, fill, light, shade, outline=BLACK, shade_depth=1, rim_hole=True):
    """Draws a key mask bevelled: lit upper-left rims, shaded lower-right rims, outlined.

    light may be None for keys too thin to carry both rims."""
    rim = outer_edge(key) - key
    c.paint(rim if rim_hole else rim - hole, outline)
    c.paint(key, fill)
    c.paint(key - shifted(key, -shade_depth, -shade_depth), shade)
    if light is not None:
        c.paint(key - shifted(key, 1, 1), light)


def icon_32():
    c = Canvas(32, 32, TRANSPARENT)
    draw_sheet(c, 6, 1, 26, 26, fold=6, lines=False)
    for i, y in enumerate(range(10, 20, 3)):
        c.fill_rect(9, y, 23 - (0, 4, 1, 6)[i], y, TEXT_LINE)
    key, hole = key_mask(9.0, 23.0, 7.5, 3.0, 30, 2.5, [(21, 22, 4), (25, 27, 3)])
    paint_key(c, key, hole, GOLD, LIGHT_YELLOW, DARK_GOLD)
    return c


def icon_16():
    """Redrawn for 16 x 16 rather than scaled: fewer lines, a smaller key, a plain hole."""
    c = Canvas(16, 16, TRANSPARENT)
    draw_sheet(c, 5, 0, 14, 10, fold=3, lines=False)
    c.hline(7, 11, 4, TEXT_LINE)
    c.hline(7, 12, 6, TEXT_LINE)
    key, hole = key_mask(4.0, 12.0, 3.2, 1.0, 14, 1.0, [(10, 10, 2), (12, 13, 2)])
    paint_key(c, key, hole, GOLD, None, DARK_GOLD, rim_hole=False)
    return c


# --- About logo ------------------------------------------------------------------------------

# The word is drawn in a bold sans-serif of our own: each letter is built from masks at its left
# edge x and answers (mask, advance width). Vertical strokes are STROKE pixels wide; round
# letters are a little thinner at top and bottom, as bold type usually is.
STROKE = 7
CAP_TOP = 4  # top of V and l
X_TOP = 20  # top of the small letters
BASELINE = 46  # first row below the letters


def _ring(cx, cy, rx, ry, thin=0):
    """An elliptic ring STROKE wide at the sides and STROKE - thin at top and bottom."""
    return (ellipse_mask(cx, cy, rx, ry, ss=4)
            - ellipse_mask(cx, cy, rx - STROKE, ry - STROKE + thin, ss=4))


def _letter_v(x):
    top, base = CAP_TOP, BASELINE
    return polygon_mask([(x, top), (x + 9, top), (x + 15, base - 12), (x + 21, top),
                         (x + 30, top), (x + 19.5, base), (x + 10.5, base)], ss=4), 30


def _letter_e(x):
    w = 26
    cx, cy = x + w / 2, (X_TOP + BASELINE) / 2
    bar = rect_mask(x + 3, int(cy) - 2, x + w - 2, int(cy) + 1)
    # the opening at the right, below the bar
    cut = polygon_mask([(cx, cy + 2), (x + w + 2, cy + 2), (x + w + 2, cy + 7), (cx, cy + 4)],
                       ss=4)
    return (_ring(cx, cy, w / 2, (BASELINE - X_TOP) / 2, thin=2) | bar) - cut, w


def _letter_l(x):
    return rect_mask(x, CAP_TOP, x + STROKE, BASELINE - 1), STROKE + 1


def _letter_u(x):
    w = 25
    r = w / 2
    cy = BASELINE - r
    bowl = {(px, py) for (px, py) in _ring(x + r, cy, r, r) if py >= cy}
    left = rect_mask(x, X_TOP, x + STROKE - 1, int(cy))
    right = rect_mask(x + w - STROKE, X_TOP, x + w - 1, BASELINE - 1)
    return bowl | left | right, w


def _arch(x, w):
    """The arch of m: a stem-wide stroke bent over from one stem to the next; (mask, centre y)."""
    r = w / 2
    cy = X_TOP + r
    return {(px, py) for (px, py) in _ring(x + r, cy, r, r) if py <= cy}, cy


def _letter_m(x):
    part = 21  # one arch, from the outside of a stem to the outside of the next
    a1, cy = _arch(x, part)
    a2, _ = _arch(x + part - STROKE, part)
    m = a1 | a2 | rect_mask(x, X_TOP, x + STROKE - 1, BASELINE - 1)
    m |= rect_mask(x + part - STROKE, int(cy), x + part - 1, BASELINE - 1)
    m |= rect_mask(x + 2 * part - 2 * STROKE, int(cy), x + 2 * part - STROKE - 1, BASELINE - 1)
    return m, 2 * part - STROKE


def _letter_o(x):
    w = 26
    return _ring(x + w / 2, (X_TOP + BASELINE) / 2, w / 2, (BASELINE - X_TOP) / 2, thin=2), w


LOGO_WORD = [_letter_v, _letter_e, _letter_l, _letter_l, _letter_u, _letter_m, _letter_o]


def logo():
    c = Canvas(195, 78, SILVER)
    # the word, letters side by side with a small gap
    word = set()
    x = 0
    for letter in LOGO_WORD:
        mask, width = letter(x)
        word |= mask
        x += width + 3
    word_width = x - 3
    left = (195 - word_width) // 2
    word = shifted(word, left, 0)
    c.paint(shifted(word, 3, 3), GREY)  # shadow on the button face
    c.paint(word, NAVY)
    c.paint(word - shifted(word, 2, 2), BLUE)  # lit upper-left rims
    c.paint(outer_edge(word), BLACK)
    # a golden key lying under the word, its bow on the left
    right = left + word_width
    key, hole = key_mask(left + 12.0, 64.5, 10.0, 4.0, right - 2, 3.5,
                         [(right - 32, right - 27, 5), (right - 20, right - 16, 7),
                          (right - 10, right - 6, 4)])
    c.paint(shifted(key, 3, 3) - key, GREY)  # shadow
    paint_key(c, key, hole, YELLOW, WHITE, OLIVE, shade_depth=2)
    return c


# --- file writers ----------------------------------------------------------------------------

def _info_header(width, height, bpp, image_size, colours=0):
    # BITMAPINFOHEADER: positive height means rows are stored bottom-up.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, image_size,
                       2835, 2835, colours, colours)


def _rows_24(canvas):
    stride = (canvas.width * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.get(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        data += row
    return bytes(data)


def _file_header(info_and_palette_size, image_size):
    offset = 14 + info_and_palette_size
    return b"BM" + struct.pack("<IHHI", offset + image_size, 0, 0, offset)


def bmp_24(canvas):
    pixels = _rows_24(canvas)
    info = _info_header(canvas.width, canvas.height, 24, len(pixels))
    return _file_header(len(info), len(pixels)) + info + pixels


def bmp_4(canvas, palette):
    index = {colour: i for i, colour in enumerate(palette)}
    stride = ((canvas.width + 1) // 2 + 3) & ~3
    pixels = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(canvas.width):
            i = index[canvas.get(x, y)]  # KeyError: a colour outside the palette
            row[x // 2] |= i << 4 if x % 2 == 0 else i
        pixels += row
    info = _info_header(canvas.width, canvas.height, 4, len(pixels), len(palette))
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    return _file_header(len(info) + len(table), len(pixels)) + info + table + bytes(pixels)


def ico(images, transparent=TRANSPARENT):
    """An icon file of 24-bit images, each with an AND mask made from the transparent colour."""
    blobs = []
    for canvas in images:
        w, h = canvas.width, canvas.height
        opaque = Canvas(w, h, BLACK)  # transparent pixels are black in the colour part
        for y in range(h):
            for x in range(w):
                if canvas.get(x, y) != transparent:
                    opaque.pixel(x, y, canvas.get(x, y))
        xor = _rows_24(opaque)
        mask_stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray(mask_stride)
            for x in range(w):
                if canvas.get(x, y) == transparent:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        info = _info_header(w, h * 2, 24, len(xor) + len(mask))
        blobs.append((w, h, info + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for w, h, blob in blobs:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 24, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, _, blob in blobs)


# --- file readers, for the self-check and the preview ----------------------------------------

def parse_dib(data, offset=0, palette_size=None):
    """Reads a BITMAPINFOHEADER bitmap at offset; returns (header dict, top-down RGB rows)."""
    (size, width, height, planes, bpp, compression, image_size, _, _, used,
     _) = struct.unpack_from("<IiiHHIIiiII", data, offset)
    header = dict(size=size, width=width, height=height, planes=planes, bpp=bpp,
                  compression=compression, image_size=image_size, colours=used)
    palette = []
    if bpp <= 8:
        count = used or (1 << bpp)
        for i in range(count):
            b, g, r, _ = data[offset + size + 4 * i: offset + size + 4 * i + 4]
            palette.append((r, g, b))
    header["palette"] = palette
    header["pixel_offset"] = offset + size + 4 * len(palette)
    return header


def read_rows(data, pixel_offset, width, height, bpp, palette):
    stride = ((width * bpp + 31) // 32) * 4
    if bpp not in (1, 4, 24):
        raise ValueError(f"{bpp} bits per pixel is not read here")
    if pixel_offset + stride * height > len(data):
        raise ValueError("pixel data runs past the end of the file")
    rows = []
    for y in range(height):
        start = pixel_offset + (height - 1 - y) * stride
        row = []
        for x in range(width):
            if bpp == 24:
                b, g, r = data[start + 3 * x: start + 3 * x + 3]
                row.append((r, g, b))
            elif bpp == 4:
                byte = data[start + x // 2]
                row.append(palette[byte >> 4 if x % 2 == 0 else byte & 15])
            elif bpp == 1:
                row.append((data[start + x // 8] >> (7 - x % 8)) & 1)
        rows.append(row)
    return rows


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    file_size, _, _, pixel_offset = struct.unpack_from("<IHHI", data, 2)
    header = parse_dib(data, 14)
    header.update(file_size=file_size, actual_size=len(data), declared_offset=pixel_offset)
    rows = read_rows(data, pixel_offset, header["width"], abs(header["height"]), header["bpp"],
                     header["palette"])
    return header, rows


def read_ico(path):
    """Returns a list of (entry dict, header dict, colour rows, mask rows)."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError(f"{path}: not an icon file")
    images = []
    for i in range(count):
        w, h, colours, _, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", data,
                                                                        6 + 16 * i)
        if offset + size > len(data):
            raise ValueError(f"image {i} runs past the end of the file")
        entry = dict(width=w or 256, height=h or 256, planes=planes, bpp=bpp, size=size,
                     offset=offset)
        header = parse_dib(data, offset)
        width, height = header["width"], header["height"] // 2
        colour = read_rows(data, header["pixel_offset"], width, height, header["bpp"], [])
        mask_offset = header["pixel_offset"] + ((width * header["bpp"] + 31) // 32) * 4 * height
        mask = read_rows(data, mask_offset, width, height, 1, [])
        images.append((entry, header, colour, mask))
    return images


# --- self-check ------------------------------------------------------------------------------

def _check_bmp_header(expect, name, h, width, height, bpp):
    expect(h["width"] == width and h["height"] == height,
           f"{name}: size {h['width']} x {h['height']}, want {width} x {height} bottom-up")
    expect(h["size"] == 40, f"{name}: info header of {h['size']} bytes, want 40")
    expect(h["planes"] == 1, f"{name}: {h['planes']} planes")
    expect(h["bpp"] == bpp, f"{name}: {h['bpp']} bits per pixel, want {bpp}")
    expect(h["compression"] == 0, f"{name}: compressed")
    expect(h["file_size"] == h["actual_size"], f"{name}: file size field is wrong")
    expect(h["declared_offset"] == h["pixel_offset"], f"{name}: pixel offset is wrong")
    stride = ((width * bpp + 31) // 32) * 4
    expect(h["image_size"] == stride * height, f"{name}: image size field is wrong")
    expect(h["pixel_offset"] + stride * height == h["actual_size"],
           f"{name}: pixel data is not exactly {height} rows of {stride} bytes")


def _check_tool_bar(expect, name):
    h, rows = read_bmp(os.path.join(HERE, name))
    _check_bmp_header(expect, name, h, 40, 20, 24)
    if h["width"] != 40 or h["height"] != 20:
        return
    expect(rows[19][0] == TRANSPARENT, f"{name}: bottom-left pixel is not olive")
    for half in (0, 20):
        cells = [rows[y][x] for y in range(20) for x in range(half, half + 20)]
        expect(any(c != TRANSPARENT for c in cells), f"{name}: half at {half} is empty")
        expect(TRANSPARENT in cells, f"{name}: half at {half} has no transparent pixel")
    disabled = {rows[y][x] for y in range(20) for x in range(20, 40)}
    expect(disabled <= {TRANSPARENT, WHITE, GREY},
           f"{name}: disabled half holds colours other than white and grey")


def _check_icon(expect, name):
    images = read_ico(os.path.join(HERE, name))
    expect([e["width"] for e, _, _, _ in images] == [32, 16], f"{name}: want 32 and 16")
    for entry, h, colour, mask in images:
        label = f"{name} {entry['width']}"
        expect(entry["bpp"] == 24 and h["bpp"] == 24, f"{label}: not 24-bit")
        expect(h["size"] == 40 and h["compression"] == 0,
               f"{label}: not a plain BITMAPINFOHEADER")
        expect(h["width"] == entry["width"] and h["height"] == 2 * entry["height"],
               f"{label}: header height is not doubled for the mask")
        w = entry["width"]
        xor_size = ((w * 24 + 31) // 32) * 4 * w
        and_size = ((w + 31) // 32) * 4 * w
        expect(entry["size"] == 40 + xor_size + and_size, f"{label}: entry size is wrong")
        flat_mask = [m for row in mask for m in row]
        expect(0 in flat_mask and 1 in flat_mask, f"{label}: mask is all opaque or all clear")
        expect(all(colour[y][x] == BLACK for y in range(w) for x in range(w) if mask[y][x]),
               f"{label}: transparent pixels are not black in the colour part")


def _check_logo(expect, name):
    h, rows = read_bmp(os.path.join(HERE, name))
    _check_bmp_header(expect, name, h, 195, 78, 4)
    expect(h["palette"] == VGA16, f"{name}: palette is not the 16-colour VGA palette")
    expect(h["pixel_offset"] == 14 + 40 + 64, f"{name}: palette is not 16 entries")
    if h["width"] == 195 and h["height"] == 78:
        corners = {rows[0][0], rows[0][194], rows[77][0], rows[77][194]}
        expect(corners == {SILVER}, f"{name}: background is not button-face grey")


def self_check():
    """Reads every written file back and checks what the program relies on. Returns problems."""
    problems = []

    def expect(condition, text):
        if not condition:
            problems.append(text)

    checks = [(_check_tool_bar, name + ".bmp") for name, _ in TOOL_BAR_PICTURES]
    checks += [(_check_icon, "vellumo.ico"), (_check_logo, "logo.bmp")]
    for check, name in checks:
        try:
            check(expect, name)
        except (OSError, ValueError, IndexError, struct.error) as e:
            problems.append(f"{name}: unreadable: {e}")
    return problems


# --- main ------------------------------------------------------------------------------------

def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    for name, draw in TOOL_BAR_PICTURES:
        write(name + ".bmp", bmp_24(tool_bar_strip(draw())))
    write("vellumo.ico", ico([icon_32(), icon_16()]))
    write("logo.bmp", bmp_4(logo(), VGA16))
    problems = self_check()
    for problem in problems:
        print("problem:", problem, file=sys.stderr)
    if problems:
        return 1
    print(f"wrote and checked {len(TOOL_BAR_PICTURES)} tool bar pictures, vellumo.ico, logo.bmp")
    return 0


if __name__ == "__main__":
    sys.exit(main())
