#!/usr/bin/env python3
"""Draws the demonstration form's two pictures and writes them into its stored layout.

The icon is a 24 x 24 sixteen-colour bitmap, the banner a 24-bit bitmap of 223 x 134 pixels,
both in the classic picture data form: a length byte, "TBitmap", the 32-bit size, the BMP file.
Run it after changing fRich.lay.in; it writes fRich.lay beside it.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(width, height, pixels, bits):
    """pixels[y][x] is an (r, g, b) tuple; bits 4 uses the classic 16-colour palette."""
    palette16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
                 (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
                 (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        if bits == 24:
            for x in range(width):
                r, g, b = pixels[y][x]
                row += bytes((b, g, r))
        else:
            idx = [palette16.index(pixels[y][x]) for x in range(width)]
            for x in range(0, width, 2):
                hi = idx[x]
                lo = idx[x + 1] if x + 1 < width else 0
                row.append((hi << 4) | lo)
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    data = b"".join(rows)
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette16) if bits == 4 else b""
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835,
                       16 if bits == 4 else 0, 0)
    body = header + info + pal + data
    return bytes((7,)) + b"TBitmap" + struct.pack("<I", len(body)) + body


def icon():
    """A page with text lines and a pen: the rich text editor."""
    W = (255, 255, 255)
    px = [[(192, 192, 192)] * 24 for _ in range(24)]
    for y in range(2, 22):
        for x in range(4, 18):
            px[y][x] = W
    for x in range(4, 18):
        px[2][x] = px[21][x] = (0, 0, 0)
    for y in range(2, 22):
        px[y][4] = px[y][17] = (0, 0, 0)
    colours = [(0, 0, 128), (255, 0, 0), (0, 0, 128), (0, 128, 0), (0, 0, 128)]
    for i, y in enumerate(range(5, 20, 3)):
        for x in range(6, 16 - (i % 2) * 3):
            px[y][x] = colours[i]
    for i in range(9):
        x, y = 13 + i, 19 - i * 2
        for dy in range(2):
            if 0 <= y + dy < 24 and x < 24:
                px[y + dy][x] = (128, 0, 0) if i else (0, 0, 0)
    return bmp(24, 24, px, 4)


def banner():
    """A gradient with a database drum and a page of formatted text."""
    w, h = 223, 134
    px = [[(0, 0, 0)] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            t = (x + y) / (w + h)
            px[y][x] = (int(20 + 60 * t), int(40 + 90 * t), int(110 + 120 * t))
    cx, top, rx, ry, height = 60, 30, 34, 10, 70

    def inside_ellipse(x, y, cy):
        return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1

    for y in range(h):
        for x in range(w):
            if cx - rx <= x <= cx + rx and top <= y <= top + height:
                shade = 1 - abs(x - cx) / rx * 0.5
                px[y][x] = (int(230 * shade), int(200 * shade), int(60 * shade))
            if inside_ellipse(x, y, top + height):
                px[y][x] = (int(200), int(170), int(40))
            for band in (top + 23, top + 46):
                if cx - rx <= x <= cx + rx and abs(y - (band + ry * math.sqrt(max(0, 1 - ((x - cx) / rx) ** 2)))) < 1.2:
                    px[y][x] = (120, 90, 10)
            if inside_ellipse(x, y, top):
                px[y][x] = (250, 230, 120)
    # The page.
    for y in range(22, 118):
        for x in range(118, 200):
            px[y][x] = (255, 255, 255)
    for y in range(22, 118):
        px[y][118] = px[y][199] = (90, 90, 90)
    for x in range(118, 200):
        px[22][x] = px[117][x] = (90, 90, 90)
    lines = [((190, 0, 0), 60, True), ((0, 0, 0), 70, False), ((0, 0, 0), 64, False),
             ((0, 100, 0), 52, False), ((0, 0, 0), 68, False), ((0, 0, 150), 40, True),
             ((0, 0, 0), 66, False), ((0, 0, 0), 58, False)]
    y = 30
    for colour, length, bold in lines:
        for dy in range(3 if bold else 2):
            for x in range(126, 126 + length):
                px[y + dy][x] = colour
        y += 10
    return bmp(w, h, px, 24)


def hexlines(data, indent):
    text = data.hex().upper()
    return "\n".join(indent + text[i:i + 64] for i in range(0, len(text), 64))


def main():
    with open(os.path.join(HERE, "..", "fRich.lay.in"), encoding="utf-8") as f:
        layout = f.read()
    layout = layout.replace("{ICON}", "{\n" + hexlines(icon(), "      ") + "}")
    layout = layout.replace("{BANNER}", "{\n" + hexlines(banner(), "        ") + "}")
    with open(os.path.join(HERE, "..", "fRich.lay"), "w", encoding="utf-8") as f:
        f.write(layout)


if __name__ == "__main__":
    main()
