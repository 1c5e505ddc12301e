#!/usr/bin/env python3
"""Draws the program's bell icon and writes it as a Windows icon file with two 256-colour
images, 32x32 and 16x16. Usage: make_icon.py OUT.ico"""
import math
import struct
import sys

# Palette entries used by the drawing; the rest of the 256 stay black.
TRANSPARENT, OUTLINE, BODY, SHINE, CLAPPER, WAVE = range(6)
PALETTE = {
    TRANSPARENT: (0, 0, 0),
    OUTLINE: (90, 55, 0),
    BODY: (240, 180, 20),
    SHINE: (255, 236, 150),
    CLAPPER: (120, 70, 10),
    WAVE: (30, 110, 220),
}


def bell_pixel(x, y):
    """Colour index at (x, y) in a unit square, y growing downwards."""
    cx = 0.5
    # Sound waves either side of the bell.
    for side in (-1, 1):
        r = math.hypot(x - cx, y - 0.45)
        if 0.43 < r < 0.49 and side * (x - cx) > 0.3 and abs(y - 0.45) < 0.2:
            return WAVE
    # Knob on top.
    if math.hypot(x - cx, y - 0.13) < 0.06:
        return OUTLINE
    # Bell body: a dome narrowing to the top, flaring at the rim.
    if 0.16 <= y <= 0.76:
        t = (y - 0.16) / 0.6
        half = 0.14 + 0.17 * t + 0.09 * t ** 4
        d = abs(x - cx)
        if d <= half:
            if d > half - 0.06 or y > 0.70:
                return OUTLINE
            if x - cx < -half * 0.35 and y < 0.6:
                return SHINE
            return BODY
    # Clapper below the rim.
    if math.hypot(x - cx, y - 0.83) < 0.08:
        return CLAPPER
    return TRANSPARENT


def image(size):
    rows = []
    for row in range(size):
        y = (row + 0.5) / size
        rows.append([bell_pixel((col + 0.5) / size, y) for col in range(size)])
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(
        struct.pack("<BBBB", b, g, r, 0) for r, g, b in (PALETTE.get(i, (0, 0, 0)) for i in range(256))
    )
    xor = b"".join(bytes(r) for r in reversed(rows))  # bottom-up, rows already 4-byte aligned
    mask_row = (size + 31) // 32 * 4
    mask = b""
    for r in reversed(rows):
        out = bytearray(mask_row)
        for col, v in enumerate(r):
            if v == TRANSPARENT:
                out[col // 8] |= 0x80 >> (col % 8)
        mask += bytes(out)
    return header + palette + xor + mask


def main():
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
