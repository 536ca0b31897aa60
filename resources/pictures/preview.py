#!/usr/bin/env python3
"""Composes a PNG contact sheet of Vellumo's pictures, read back from the written files.

Shows each tool bar strip on the button face at 1x and 8x, a mock tool bar of the eight buttons
at 1x and 3x (normal and disabled), the icon's two images at 1x and 8x on three backgrounds,
and the About logo at 1x and 8x. Nothing here is committed output; the sheet goes to /tmp.

Run after draw.py:  python3 resources/pictures/preview.py [output.png]
"""

import os
import struct
import sys
import zlib

sys.dont_write_bytecode = True  # keep the source folder free of caches
import draw  # noqa: E402  (the file readers and colour names)

FACE = draw.SILVER
SHEET_BACKGROUND = (160, 160, 160)


class Image:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def put(self, rows, left, top, zoom=1, transparent=None, replace=None):
        """Copies rows of colours in, zoomed; transparent pixels become `replace` or are skipped."""
        for y, row in enumerate(rows):
            for x, c in enumerate(row):
                if c == transparent:
                    if replace is None:
                        continue
                    c = replace
                for dy in range(zoom):
                    for dx in range(zoom):
                        px, py = left + x * zoom + dx, top + y * zoom + dy
                        if 0 <= px < self.width and 0 <= py < self.height:
                            self.rows[py][px] = c

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.rows[y][x] = colour


def png(image):
    raw = b"".join(b"\x00" + bytes(v for c in row for v in c) for row in image.rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def half(rows, left):
    return [row[left:left + 20] for row in rows]


def button(image, left, top, picture_rows):
    """A 25 x 25 raised push button with the picture centred, drawn like the classic frame."""
    image.fill(left, top, left + 24, top + 24, FACE)
    image.fill(left, top, left + 24, top, draw.WHITE)
    image.fill(left, top, left, top + 24, draw.WHITE)
    image.fill(left, top + 24, left + 24, top + 24, draw.BLACK)
    image.fill(left + 24, top, left + 24, top + 24, draw.BLACK)
    image.fill(left + 1, top + 23, left + 23, top + 23, draw.GREY)
    image.fill(left + 23, top + 1, left + 23, top + 23, draw.GREY)
    image.put(picture_rows, left + 2, top + 2, transparent=draw.TRANSPARENT)


def tool_bar(strips, disabled):
    """The tool bar as the main window lays it out: 472 x 33, buttons 25 x 25 at top 4."""
    bar = Image(230, 33, FACE)
    for (name, rows), left in zip(strips, (8, 32, 56, 84, 108, 132, 156, 184)):
        button(bar, left, 4, half(rows, 20 if disabled else 0))
    return bar.rows


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "/tmp/vellumo_pictures.png"
    here = draw.HERE
    strips = [(name, draw.read_bmp(os.path.join(here, name + ".bmp"))[1])
              for name, _ in draw.TOOL_BAR_PICTURES]
    icons = draw.read_ico(os.path.join(here, "vellumo.ico"))
    _, logo_rows = draw.read_bmp(os.path.join(here, "logo.bmp"))

    sheet = Image(1600, 8 + 4 * 168 + 280 + 78 + 8 + 624 + 8, SHEET_BACKGROUND)
    y = 8
    # tool bar strips: two columns of four, 1x then 8x, on the button face
    for i, (name, rows) in enumerate(strips):
        left = 8 + (i // 4) * 400
        top = y + (i % 4) * 168
        sheet.put(rows, left, top, transparent=draw.TRANSPARENT, replace=FACE)
        sheet.put(rows, left + 56, top, zoom=8, transparent=draw.TRANSPARENT, replace=FACE)
    # the tool bar itself, normal and disabled, at 1x and 3x
    for j, disabled in enumerate((False, True)):
        bar = tool_bar(strips, disabled)
        sheet.put(bar, 816, y + j * 40)
        sheet.put(bar, 816, y + 100 + j * 107, zoom=3)
    y += 4 * 168
    # icon: 32 and 16 at 1x and 8x on the face, on white and on dark blue
    x = 8
    for backdrop in (FACE, draw.WHITE, (0, 64, 128)):
        for entry, _, colour, mask in icons:
            w = entry["width"]
            rows = [[colour[r][c] if not mask[r][c] else backdrop for c in range(w)]
                    for r in range(w)]
            sheet.fill(x, y, x + w * 9 + 15, y + w * 8 + 15, backdrop)
            sheet.put(rows, x + 4, y + 4)
            sheet.put(rows, x + w + 12, y + 4, zoom=8)
            x += w * 9 + 24
    y += 280
    # About logo at 1x and 8x
    sheet.put(logo_rows, 8, y)
    y += 78 + 8
    sheet.put(logo_rows, 8, y, zoom=8)
    with open(out, "wb") as f:
        f.write(png(sheet))
    print("wrote", out)


if __name__ == "__main__":
    main()
