#!/usr/bin/env python3
"""Writes toolbox.bmp, the control's 16 x 16, 16-colour toolbox image: a page
with a folded corner and four list lines. Run it after changing the picture."""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# '.' is the background (silver): containers take the bottom-left pixel as transparent.
INDEX = {".": 7, "K": 0, "W": 15, "G": 8, "B": 12, "N": 4}
PICTURE = [
    "................",
    "..KKKKKKKKK.....",
    "..KWWWWWWWKK....",
    "..KWWWWWWWKWK...",
    "..KWWWWWWWKKKK..",
    "..KWWWWWWWGGGK..",
    "..KWBWNNNNNWWK..",
    "..KWWWWWWWWWWK..",
    "..KWBWNNNNNNWK..",
    "..KWWWWWWWWWWK..",
    "..KWBWNNNNWWWK..",
    "..KWWWWWWWWWWK..",
    "..KWBWNNNNNWWK..",
    "..KWWWWWWWWWWK..",
    "..KKKKKKKKKKKK..",
    "................",
]


def bitmap_bytes():
    assert len(PICTURE) == 16 and all(len(row) == 16 for row in PICTURE)
    pixels = bytearray()
    for row in reversed(PICTURE):  # bottom-up rows
        indices = [INDEX[c] for c in row]
        pixels += bytes((indices[i] << 4) | indices[i + 1] for i in range(0, 16, 2))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + bytes(pixels)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "toolbox.bmp"
    with open(target, "wb") as out:
        out.write(bitmap_bytes())
