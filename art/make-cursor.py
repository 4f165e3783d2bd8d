#!/usr/bin/env python3
"""Writes hand.cur beside this script: the pointing-hand cursor the links show on
Windows 95 and NT 4.0, whose systems have none of their own. A 32 x 32 two-colour
cursor drawn below as text ('#' black, '.' white, ' ' clear), hot spot on the tip
of the pointing finger. The build embeds the committed file; run this only to change it."""
import os
import struct

HOT_SPOT = (5, 0)
ROWS = [
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..##",
    "    #..#..#..#.#",
    " ## #..#..#..#..#",
    "#..##........#..#",
    "#...#...........#",
    " #..............#",
    "  #.............#",
    "  #.............#",
    "   #............#",
    "   #...........#",
    "    #..........#",
    "    #.........#",
    "     #........#",
    "     #........#",
    "     ##########",
]
SIZE = 32


def masks():
    """The XOR (colour) and AND (transparency) planes, bottom row first, 4 bytes a row."""
    xor_rows, and_rows = [], []
    for y in range(SIZE):
        line = ROWS[y] if y < len(ROWS) else ""
        xor_bits = and_bits = 0
        for x in range(SIZE):
            cell = line[x] if x < len(line) else " "
            bit = 1 << (SIZE - 1 - x)
            if cell == " ":
                and_bits |= bit
            elif cell == ".":
                xor_bits |= bit
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    return b"".join(reversed(xor_rows)), b"".join(reversed(and_rows))


def cursor_file():
    xor_plane, and_plane = masks()
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0,
                         len(xor_plane) + len(and_plane), 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + xor_plane + and_plane
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "hand.cur"), "wb") as out:
        out.write(cursor_file())
