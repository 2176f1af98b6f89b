#!/usr/bin/env python3
"""Turns the text pixel maps of resources/ into Windows icon and cursor files.

    make_icons.py icon   MAP.txt OUT.ico   # 32 x 32, 16 colours, with transparency
    make_icons.py cursor MAP.txt OUT.cur   # 32 x 32, monochrome, with a hot spot

A map is up to 32 lines of up to 32 characters, one character a pixel; lines
starting with '#' are comments, and short lines or a short map are padded
with transparent pixels. Icon pixels: '.' transparent, and the letters of
PALETTE below. Cursor pixels: '.' transparent, 'X' black, 'o' white; the
line "hotspot X Y" gives the hot spot.
"""
import struct
import sys

SIZE = 32

# The standard 16-colour palette, by letter: (red, green, blue).
PALETTE = [
    ('K', (0, 0, 0)), ('m', (128, 0, 0)), ('g', (0, 128, 0)), ('y', (128, 128, 0)),
    ('n', (0, 0, 128)), ('p', (128, 0, 128)), ('t', (0, 128, 128)), ('s', (192, 192, 192)),
    ('d', (128, 128, 128)), ('R', (255, 0, 0)), ('G', (0, 255, 0)), ('Y', (255, 255, 0)),
    ('B', (0, 0, 255)), ('M', (255, 0, 255)), ('C', (0, 255, 255)), ('W', (255, 255, 255)),
]


def read_map(path):
    rows, hotspot = [], (0, 0)
    with open(path, encoding='ascii') as f:
        for line in f:
            line = line.rstrip('\r\n')
            if line.startswith('#') or not line.strip():
                continue
            if line.startswith('hotspot'):
                _, x, y = line.split()
                hotspot = (int(x), int(y))
                continue
            if len(line) > SIZE:
                sys.exit(f'{path}: line longer than {SIZE} pixels: {line!r}')
            rows.append(line.ljust(SIZE, '.'))
    if len(rows) > SIZE:
        sys.exit(f'{path}: more than {SIZE} lines')
    rows += ['.' * SIZE] * (SIZE - len(rows))
    return rows, hotspot


def pack_bits(values, bits):
    """Packs one row of pixel values, most significant bits first, padded to 4 bytes."""
    out, acc, n = bytearray(), 0, 0
    for v in values:
        acc = (acc << bits) | v
        n += bits
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def bitmap(rows, bits, colours, pixel):
    """BITMAPINFOHEADER, palette, colour bits and AND mask, rows bottom-up."""
    xor = b''.join(pack_bits([pixel(c)[0] for c in row], bits) for row in reversed(rows))
    mask = b''.join(pack_bits([pixel(c)[1] for c in row], 1) for row in reversed(rows))
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, bits, 0, len(xor) + len(mask), 0, 0,
                         len(colours), 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in colours)
    return header + palette + xor + mask


def make_icon(rows):
    index = {letter: i for i, (letter, _) in enumerate(PALETTE)}

    def pixel(c):
        if c == '.':
            return 0, 1
        if c not in index:
            sys.exit(f'unknown icon pixel {c!r}')
        return index[c], 0

    image = bitmap(rows, 4, [rgb for _, rgb in PALETTE], pixel)
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', SIZE, SIZE, 16, 0, 1, 4, len(image), 22) + image


def make_cursor(rows, hotspot):
    pixels = {'.': (0, 1), 'X': (0, 0), 'o': (1, 0)}

    def pixel(c):
        if c not in pixels:
            sys.exit(f'unknown cursor pixel {c!r}')
        return pixels[c]

    image = bitmap(rows, 1, [(0, 0, 0), (255, 255, 255)], pixel)
    x, y = hotspot
    return struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, x, y, len(image), 22) + image


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ('icon', 'cursor'):
        sys.exit(__doc__)
    kind, source, target = sys.argv[1:]
    rows, hotspot = read_map(source)
    data = make_icon(rows) if kind == 'icon' else make_cursor(rows, hotspot)
    with open(target, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
