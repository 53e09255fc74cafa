#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files, standard library only.

    draw_icons.py                  writes app.ico (48, 32, 16 px) and tray.ico (16 px)
    draw_icons.py --preview DIR    also writes enlarged PNG previews into DIR

Every image is 32 bpp BGRA with alpha, stored as a bitmap (BITMAPINFOHEADER with
doubled height, colour rows bottom-up, then a 1-bit AND mask); nothing is PNG-compressed
inside the .ico files. The output is deterministic, so the checked-in files can be
compared with a fresh run.
"""

import argparse
import math
import os
import struct
import sys
import zlib

GREY = (232, 232, 232)
ORANGE = (240, 132, 24)
WHITE = (255, 255, 255)
OUTLINE = (28, 28, 28)
BLUE = (30, 92, 210)

SUBSAMPLES = 8  # per axis, for smooth edges

# The pointer, tip at (0, 0), about 18 units tall.
ARROW = [(0.0, 0.0), (0.0, 15.0), (3.6, 11.6), (6.3, 17.6), (8.9, 16.5), (6.2, 10.6), (10.8, 10.6)]
ARROW_HEIGHT = 17.6

# Pixel geometry per image size: the picture's origin, the window square (left, top, size,
# corner radius, frame width, title bar height) and either a drawn pointer (tip x, tip y,
# height, outline width) or the top left of the pixel pointer, relative to the origin;
# text_top is the first row of the brand word.
LAYOUTS = {
    48: {"origin": (4.0, 0.0), "window": (1.0, 1.0, 29.0, 4.0, 2.0, 6.0),
         "arrow": (18.0, 17.0, 21.0, 1.5), "text_top": 40},
    32: {"origin": (0.0, 0.0), "window": (1.0, 1.0, 24.0, 3.5, 2.0, 5.0),
         "arrow": (14.0, 13.0, 16.5, 1.5)},
    16: {"origin": (0.0, 0.0), "window": (0.0, 0.0, 13.0, 2.0, 1.0, 3.0),
         "pixel_arrow": (7, 4)},
}

# At 16 pixels a smooth pointer blurs; this one is set pixel by pixel (K outline, W fill).
PIXEL_ARROW = [
    "K......",
    "KK.....",
    "KWK....",
    "KWWK...",
    "KWWWK..",
    "KWWWWK.",
    "KWWWWWK",
    "KWWWKKK",
    "KWKWK..",
    "KK.KWK.",
    "....KWK",
    ".....K.",
]

# A tiny pixel font: 7 rows, capitals fill all of them, lower case the bottom five.
GLYPHS = {
    "C": [".###", "#...", "#...", "#...", "#...", "#...", ".###"],
    "o": ["....", "....", ".##.", "#..#", "#..#", "#..#", ".##."],
    "r": ["....", "....", "#.##", "##..", "#...", "#...", "#..."],
    "v": [".....", ".....", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "a": ["....", "....", ".##.", "...#", ".###", "#..#", ".###"],
    "n": ["....", "....", "#.#.", "##.#", "#..#", "#..#", "#..#"],
    "e": ["....", "....", ".##.", "#..#", "####", "#...", ".###"],
}
BRAND = "Corvane"


def rounded_square_distance(x, y, left, top, size, radius):
    """Signed distance from (x, y) to a rounded square, negative inside."""
    half = size / 2.0
    qx = abs(x - (left + half)) - (half - radius)
    qy = abs(y - (top + half)) - (half - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def polygon_distance(x, y, points):
    """Signed distance from (x, y) to a closed polygon, negative inside."""
    best = float("inf")
    inside = False
    count = len(points)
    for i in range(count):
        ax, ay = points[i]
        bx, by = points[(i + 1) % count]
        ex, ey = bx - ax, by - ay
        t = ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey)
        t = min(max(t, 0.0), 1.0)
        best = min(best, math.hypot(x - (ax + t * ex), y - (ay + t * ey)))
        if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (by - ay):
            inside = not inside
    return -best if inside else best


def over(dst, colour, alpha):
    """Composites a straight colour with the given alpha over a premultiplied pixel."""
    r, g, b, a = dst
    keep = 1.0 - alpha
    return (colour[0] * alpha + r * keep, colour[1] * alpha + g * keep,
            colour[2] * alpha + b * keep, alpha + a * keep)


def sample(x, y, layout):
    """Premultiplied RGBA of the picture at one point."""
    ox, oy = layout["origin"]
    px, py = x - ox, y - oy
    left, top, size, radius, frame, title = layout["window"]
    pixel = (0.0, 0.0, 0.0, 0.0)
    if rounded_square_distance(px, py, left, top, size, radius) <= 0.0:
        inner = rounded_square_distance(px, py, left, top, size, radius) <= -frame
        in_title = py < top + title
        pixel = over(pixel, GREY if inner and not in_title else ORANGE, 1.0)

    if "arrow" not in layout:
        return pixel
    tip_x, tip_y, height, outline = layout["arrow"]
    scale = height / ARROW_HEIGHT
    arrow = [(tip_x + ax * scale, tip_y + ay * scale) for ax, ay in ARROW]
    distance = polygon_distance(px, py, arrow)
    if distance <= 0.0:
        pixel = over(pixel, WHITE, 1.0)
    elif distance <= outline:
        pixel = over(pixel, OUTLINE, 1.0)
    return pixel


def render(size):
    """Rows of straight (r, g, b, a) tuples, top row first."""
    layout = LAYOUTS[size]
    step = 1.0 / SUBSAMPLES
    rows = []
    for row in range(size):
        line = []
        for col in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    p = sample(col + (sx + 0.5) * step, row + (sy + 0.5) * step, layout)
                    for i in range(4):
                        acc[i] += p[i]
            n = SUBSAMPLES * SUBSAMPLES
            alpha = acc[3] / n
            if alpha <= 0.0:
                line.append((0, 0, 0, 0))
                continue
            line.append(tuple(min(255, round(acc[i] / n / alpha)) for i in range(3))
                        + (min(255, round(alpha * 255)),))
        rows.append(line)
    if "pixel_arrow" in layout:
        draw_pixels(rows, PIXEL_ARROW, layout["pixel_arrow"], {"K": OUTLINE, "W": WHITE})
    if "text_top" in layout:
        draw_text(rows, BRAND, layout["text_top"])
    return rows


def draw_pixels(rows, pattern, origin, colours):
    x, y = origin
    for dy, line in enumerate(pattern):
        for dx, key in enumerate(line):
            if key in colours:
                rows[y + dy][x + dx] = colours[key] + (255,)


def draw_text(rows, text, top):
    width = sum(len(GLYPHS[c][0]) for c in text) + len(text) - 1
    x = (len(rows[0]) - width) // 2
    for c in text:
        draw_pixels(rows, GLYPHS[c], (x, top), {"#": BLUE})
        x += len(GLYPHS[c][0]) + 1


def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask bottom-up."""
    size = len(rows)
    colour = bytearray()
    mask = bytearray()
    mask_stride = (size + 31) // 32 * 4
    for line in reversed(rows):
        bits = bytearray(mask_stride)
        for col, (r, g, b, a) in enumerate(line):
            colour += bytes((b, g, r, a))
            if a < 128:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def ico_file(images):
    """An .ico file from (size, image bytes) pairs."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def png_file(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for line in rows:
        raw.append(0)
        for pixel in line:
            raw += bytes(pixel)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def preview(rows, zoom):
    """The image enlarged, once over white and once over dark grey, side by side."""
    out = []
    for line in rows:
        big = []
        for background in ((255, 255, 255), (64, 64, 64)):
            for r, g, b, a in line:
                k = a / 255.0
                pixel = tuple(round(c * k + bg * (1.0 - k)) for c, bg in zip((r, g, b), background))
                big += [pixel + (255,)] * zoom
            big += [(255, 0, 255, 255)] * 2
        out += [big] * zoom
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNG previews here")
    parser.add_argument("--out", metavar="DIR", default=os.path.dirname(os.path.abspath(__file__)),
                        help="folder for app.ico and tray.ico (default: next to this script)")
    args = parser.parse_args()

    pictures = {size: render(size) for size in (48, 32, 16)}
    images = {size: icon_image(rows) for size, rows in pictures.items()}
    with open(os.path.join(args.out, "app.ico"), "wb") as f:
        f.write(ico_file([(s, images[s]) for s in (48, 32, 16)]))
    with open(os.path.join(args.out, "tray.ico"), "wb") as f:
        f.write(ico_file([(16, images[16])]))

    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for size, rows in pictures.items():
            path = os.path.join(args.preview, "icon%d.png" % size)
            with open(path, "wb") as f:
                f.write(png_file(preview(rows, 256 // size * 2)))
            print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
