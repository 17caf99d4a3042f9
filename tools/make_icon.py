#!/usr/bin/env python3
"""Draws the program icon (32x32, 16 colours): two speech balloons, one with
lines of text, as in a comic strip. Writes resources/mirthtool.ico."""
import struct
import sys

# The standard 16-colour palette as (R, G, B), in the order Windows uses.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, RED, YELLOW, BLUE, WHITE = 0, 9, 11, 12, 15


def inside(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def draw():
    size = 32
    pixels = [[None] * size for _ in range(size)]  # None: transparent

    def balloon(cx, cy, rx, ry, fill, tail):
        shape = set()
        for y in range(size):
            for x in range(size):
                if inside(x + 0.5, y + 0.5, cx, cy, rx, ry):
                    shape.add((x, y))
        shape |= set(tail)
        for (x, y) in shape:
            edge = any((x + dx, y + dy) not in shape
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            pixels[y][x] = BLACK if edge else fill

    # The quoted speaker's balloon, behind, yellow, tail to the lower right.
    balloon(21.5, 20.5, 10.5, 7.5, YELLOW,
            [(x, y) for y in range(25, 31) for x in range(22, 31) if 22 + (y - 25) <= x <= 26 + (y - 25) // 2])
    # The writer's balloon, in front, white, tail to the lower left.
    balloon(13.0, 10.5, 12.5, 9.0, WHITE,
            [(x, y) for y in range(17, 25) for x in range(3, 10) if 9 - x >= (y - 17) and x >= 3 + (y - 17) // 2])
    # Lines of text in the white balloon, and one red mark in the yellow one.
    for y, (x0, x1) in ((7, (6, 20)), (10, (5, 21)), (13, (7, 17))):
        for x in range(x0, x1):
            if pixels[y][x] == WHITE:
                pixels[y][x] = BLUE
    for x in range(23, 28):
        if pixels[23][x] == YELLOW:
            pixels[23][x] = RED
    return pixels


def ico(pixels):
    size = 32
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor, mask = b'', b''
    for y in reversed(range(size)):  # bottom-up rows
        row = pixels[y]
        colour = [0 if p is None else p for p in row]
        xor += bytes((colour[x] << 4) | colour[x + 1] for x in range(0, size, 2))
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack('>I', bits)
    image = header + palette + xor + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'resources/mirthtool.ico'
    with open(out, 'wb') as f:
        f.write(ico(draw()))
    for row in draw():
        print(''.join('.' if p is None else 'KmgoNptsgRlYBfcW'[p] for p in row))
