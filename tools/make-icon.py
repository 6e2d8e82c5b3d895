#!/usr/bin/env python3
"""Draws the application icon (a small television set) as a 16-colour .ico
with a 32x32 and a 16x16 image. Usage: make-icon.py OUTPUT.ico"""
import struct
import sys

# The standard 16-colour palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, GREY, WHITE = 0, 8, 7, 15
BARS = [15, 11, 14, 10, 13, 9, 12]  # white, yellow, cyan, green, magenta, red, blue
CLEAR = None


def television(size):
    """Rows of palette indices (None = transparent), top row first."""
    s = size / 32.0
    px = [[CLEAR] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    # Antenna: two rods meeting above the cabinet.
    for i in range(8):
        rect(9 + i, 1 + i, 10 + i, 2 + i, DARK_GREY)
        rect(22 - i, 1 + i, 23 - i, 2 + i, DARK_GREY)
    rect(1, 8, 31, 29, DARK_GREY)     # cabinet
    rect(2, 9, 30, 28, GREY)
    rect(3, 10, 24, 27, BLACK)        # screen bezel
    bar_width = 20.0 / len(BARS)
    for i, colour in enumerate(BARS):  # colour bars on the screen
        rect(4 + i * bar_width, 11, 4 + (i + 1) * bar_width, 26, colour)
    rect(25, 11, 29, 14, BLACK)       # knobs
    rect(25, 16, 29, 19, BLACK)
    rect(26, 22, 28, 26, WHITE)       # speaker
    rect(4, 29, 8, 31, DARK_GREY)     # feet
    rect(24, 29, 28, 31, DARK_GREY)
    return px


def image(size):
    px = television(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = b''
    mask = b''
    for row in reversed(px):  # bottom-up
        nibbles = [c if c is not None else 0 for c in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += line.ljust(xor_stride, b'\0')
        bits = 0
        line = b''
        for x, c in enumerate(row):
            bits = (bits << 1) | (1 if c is None else 0)
            if x % 8 == 7:
                line += bytes([bits])
                bits = 0
        mask += line.ljust(and_stride, b'\0')
    return header + palette + xor + mask


def main():
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
