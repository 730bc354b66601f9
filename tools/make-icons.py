#!/usr/bin/env python3
"""Draws the programs' pictures and writes them to resources/icons/ (same bytes on every run).

  TrayIcon.ico          the tray icon "TRAYICON": a key cap, 16x16
  Hotkeys.ico           the program icon: 16x16, 32x32 and 48x48
  KeyPressed16.icons    "Key being pressed": 8 frames of 16x16, 5/100 s each
  KeyPressed32.icons    "Key being pressed (32x32)": 21 frames of 32x32, 11 x 3/100 s then 10 x 4/100 s

The .icons files hold an "Icons" block (title, author, size flag, frames with display time and .ico data)
as binary-data text of a form description: hexadecimal digit pairs, 32 bytes per line.

  SortAscending.bmp     "BMP_ASCENDING": an upward triangle, 9x9, 16 colours
  SortDescending.bmp    "BMP_DESCENDING": a downward triangle, 9x9, 16 colours
The arrows' lower-left pixel has the background colour, which is left out when they are drawn.

Usage: tools/make-icons.py [output folder]   (default: resources/icons beside this script's parent)
"""
import os
import struct
import sys

# Colours (R, G, B).
OUTLINE = (40, 44, 52)
SKIRT = (120, 128, 140)
FACE = (236, 238, 242)
FACE_DOWN = (150, 196, 250)
GLYPH = (30, 70, 150)
SHINE = (255, 255, 255)

# A 5x5 "H" drawn on the key cap.
LETTER = ["#...#",
          "#...#",
          "#####",
          "#...#",
          "#...#"]


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def draw_key(size, press, max_press):
    """RGBA rows (top first) of a key cap pressed down by `press` pixels (0..max_press)."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    unit = max(1, size // 16)
    margin = unit
    left, right = margin, size - margin          # [left, right)
    bottom = size - margin                        # exclusive
    top = margin + press
    skirt = max_press + unit - press              # front face height left visible
    corner = unit                                  # cut corners

    def put(x, y, rgb):
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = rgb + (255,)

    for y in range(top, bottom):
        for x in range(left, right):
            dx = min(x - left, right - 1 - x)
            dy = min(y - top, bottom - 1 - y)
            if dx < corner and dy < corner and dx + dy < corner:
                continue  # rounded corner stays transparent
            if dx < unit or dy < unit or (dx < corner + unit and dy < corner + unit and dx + dy < corner + unit):
                put(x, y, OUTLINE)
            elif y >= bottom - unit - skirt:
                put(x, y, SKIRT)
            else:
                put(x, y, mix(FACE, FACE_DOWN, press / max_press if max_press else 0))
    # A highlight along the top of the face.
    for x in range(left + 2 * unit, right - 2 * unit):
        for k in range(unit):
            put(x, top + unit + k, SHINE)
    # The letter, centred on the face.
    face_top = top + 2 * unit
    face_bottom = bottom - unit - skirt
    scale = unit
    gw, gh = 5 * scale, 5 * scale
    gx = left + (right - left - gw) // 2
    gy = face_top + max(0, (face_bottom - face_top - gh) // 2)
    for row, line in enumerate(LETTER):
        for col, ch in enumerate(line):
            if ch == "#":
                for sy in range(scale):
                    for sx in range(scale):
                        put(gx + col * scale + sx, gy + row * scale + sy, GLYPH)
    return px


def ico_image(px):
    """The image of an icon file entry: header, 32-bit BGRA pixels bottom-up, then the AND mask."""
    size = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(px):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(xor) + bytes(mask)


def ico_file(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for px in images:
        size = len(px)
        blob = ico_image(px)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def icons_block(title, author, large, frames):
    """frames: (display time in hundredths, .ico bytes)."""
    t = title.encode("ascii")
    a = author.encode("ascii")
    out = struct.pack("<i", len(t)) + t + struct.pack("<i", len(a)) + a
    out += bytes((1 if large else 0,)) + struct.pack("<i", len(frames))
    for time, ico in frames:
        out += struct.pack("<ii", time, len(ico)) + ico
    return out


def hex_text(data):
    lines = [data[i:i + 32].hex().upper() for i in range(0, len(data), 32)]
    return "\n".join(lines) + "\n"


# The sort arrows: palette index 0 is the background, 1 the arrow.
ARROW_BACK = (255, 0, 255)
ARROW_FACE = (64, 64, 64)


def draw_arrow(up):
    """Rows (top first) of palette indices: a triangle four rows high, seven pixels at its base."""
    px = [[0] * 9 for _ in range(9)]
    for k in range(4):
        y = 2 + k if up else 6 - k
        for x in range(4 - k, 5 + k):
            px[y][x] = 1
    return px


def bmp4_file(px, palette):
    """A 4-bit BMP file: file header, 40-byte info header, 16-entry colour table, bottom-up rows."""
    height, width = len(px), len(px[0])
    stride = ((width * 4 + 31) // 32) * 4
    rows = bytearray()
    for row in reversed(px):
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        rows += line
    table = bytearray()
    for i in range(16):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    offset = 14 + 40 + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(rows), 0, 0, 16, 0)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + bytes(table) + bytes(rows)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "icons")
    os.makedirs(out_dir, exist_ok=True)

    write(os.path.join(out_dir, "TrayIcon.ico"), ico_file([draw_key(16, 0, 3)]))
    write(os.path.join(out_dir, "Hotkeys.ico"),
          ico_file([draw_key(16, 0, 3), draw_key(32, 0, 6), draw_key(48, 0, 9)]))

    # 16x16: down in four steps, up in four.
    presses16 = [0, 1, 2, 3, 3, 2, 1, 0]
    frames16 = [(5, ico_file([draw_key(16, p, 3)])) for p in presses16]
    write(os.path.join(out_dir, "KeyPressed16.icons"),
          hex_text(icons_block("Key being pressed", "", False, frames16)).encode("ascii"))

    # 32x32: eleven quick frames down, ten slower ones back up.
    down = [round(i * 6 / 10) for i in range(11)]
    up = [round(6 - j * 6 / 10) for j in range(1, 11)]
    frames32 = [(3, ico_file([draw_key(32, p, 6)])) for p in down]
    frames32 += [(4, ico_file([draw_key(32, p, 6)])) for p in up]
    write(os.path.join(out_dir, "KeyPressed32.icons"),
          hex_text(icons_block("Key being pressed (32x32)", "", True, frames32)).encode("ascii"))

    arrow_palette = [ARROW_BACK, ARROW_FACE]
    write(os.path.join(out_dir, "SortAscending.bmp"), bmp4_file(draw_arrow(True), arrow_palette))
    write(os.path.join(out_dir, "SortDescending.bmp"), bmp4_file(draw_arrow(False), arrow_palette))


if __name__ == "__main__":
    main()
