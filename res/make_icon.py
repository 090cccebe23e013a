"""Turns the icon's text grid into a 32x32, 16-colour .ico file.

Usage: make_icon.py GRID ICO

The grid is 32 lines of 32 characters, top row first: a hexadecimal digit is
an index into the 16-colour palette below, '.' is a transparent pixel. Lines
starting with '#' are comments. The output depends on nothing but the grid,
so every build writes the same bytes.
"""
import struct
import sys

SIZE = 32

# Blue, green, red, 0 for each index, in this order: black, dark red, dark
# green, dark yellow, dark blue, dark magenta, dark cyan, dark grey, light
# grey, red, green, yellow, blue, magenta, cyan, white.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00),
    (0x80, 0x80, 0x00), (0x00, 0x00, 0x80), (0x80, 0x00, 0x80),
    (0x00, 0x80, 0x80), (0x80, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF),
    (0xFF, 0xFF, 0xFF),
]  # as (red, green, blue)

COLOUR_MASK_SIZE = SIZE * SIZE // 2        # 4 bits a pixel
TRANSPARENCY_ROW = SIZE // 8               # 1 bit a pixel, rows of 4 bytes
TRANSPARENCY_MASK_SIZE = TRANSPARENCY_ROW * SIZE
IMAGE_SIZE = 40 + 16 * 4 + COLOUR_MASK_SIZE + TRANSPARENCY_MASK_SIZE  # 744


def read_grid(path):
    with open(path) as f:
        rows = [line.rstrip("\n") for line in f if not line.startswith("#")]
    if len(rows) != SIZE:
        sys.exit(f"{path}: {len(rows)} rows, expected {SIZE}")
    for number, row in enumerate(rows, 1):
        if len(row) != SIZE or any(c not in "0123456789ABCDEF." for c in row):
            sys.exit(f"{path}: row {number} is not {SIZE} of 0-9, A-F or '.'")
    return rows


def image(rows):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         COLOUR_MASK_SIZE, 0, 0, 0, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    colours = bytearray()
    transparency = bytearray()
    # Bitmaps are stored bottom row first.
    for row in reversed(rows):
        indices = [0 if c == "." else int(c, 16) for c in row]
        colours += bytes(indices[x] << 4 | indices[x + 1]
                         for x in range(0, SIZE, 2))
        bits = 0
        for c in row:
            bits = bits << 1 | (c == ".")
        transparency += bits.to_bytes(TRANSPARENCY_ROW, "big")
    data = header + palette + bytes(colours) + bytes(transparency)
    assert len(data) == IMAGE_SIZE
    return data


def main():
    grid, ico = sys.argv[1:3]
    data = image(read_grid(grid))
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(data),
                        len(directory) + 16)
    with open(ico, "wb") as f:
        f.write(directory + entry + data)


if __name__ == "__main__":
    main()
