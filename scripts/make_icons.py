#!/usr/bin/env python3
"""Draws the program's icons and cursor from the text sources of resources/.

    make_icons.py icon   SOURCE.txt OUT.ico   # every size of SIZES, and the 16-colour 32 x 32 first
    make_icons.py cursor MAP.txt    OUT.cur   # 32, 48 and 64 pixels, monochrome, with a hot spot

An icon source is a drawing on a 32 x 32 grid, painted in order at every
size of SIZES with 8 x 8 samples a pixel (4 x 4 above 64 pixels), so
that the edges get alpha:

    rect    COLOUR X0 Y0 X1 Y1          filled rectangle, corners on the grid
    polygon COLOUR X Y X Y ...          filled polygon
    line    COLOUR WIDTH X Y X Y ...    lines of WIDTH through the points

X runs to the right, Y down, 0 to 32. COLOUR is a letter of PALETTE. It may
also hold a 32 x 32 pixel map, the drawing hinted by hand for 32 pixels:
lines of 32 characters, '.' transparent, other characters letters of
PALETTE. The map is the 32-pixel image then (in 16 colours and in 32-bit
colour), and the build checks that it stays the drawing: at most HINT_SLACK
of its pixels may differ from the drawing's. Without a map the 16-colour
image is the drawing's 32-pixel one in the nearest palette colours.

The images of the .ico: first the 16-colour 32 x 32 for old shells, then
32-bit colour with alpha at every size of SIZES, the 256-pixel one stored
as PNG.

A cursor map is up to 32 lines of up to 32 characters: '.' transparent,
'X' black, 'o' white, and the line "hotspot X Y". The 48 and 64-pixel
cursors are the map scaled by 1.5 and 2 (each pixel to whole pixels).
Lines starting with '#' are comments in both.
"""
import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
CURSOR_SIZES = [32, 48, 64]
GRID = 32
SAMPLES = 8
HINT_SLACK = 24

# The standard 16-colour palette, by letter: (red, green, blue).
PALETTE = [
    ('K', (0, 0, 0)), ('m', (128, 0, 0)), ('g', (0, 128, 0)), ('y', (128, 128, 0)),
    ('n', (0, 0, 128)), ('p', (128, 0, 128)), ('t', (0, 128, 128)), ('s', (192, 192, 192)),
    ('d', (128, 128, 128)), ('R', (255, 0, 0)), ('G', (0, 255, 0)), ('Y', (255, 255, 0)),
    ('B', (0, 0, 255)), ('M', (255, 0, 255)), ('C', (0, 255, 255)), ('W', (255, 255, 255)),
]
COLOURS = dict(PALETTE)
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}


def fail(message):
    sys.exit(f'make_icons.py: {message}')


def read_lines(path):
    with open(path, encoding='ascii') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\r\n')
            if line.strip() and not line.startswith('#'):
                yield number, line


# --- drawing -----------------------------------------------------------------

def read_drawing(path):
    shapes, hint = [], []
    for number, line in read_lines(path):
        words = line.split()
        if words[0] in ('rect', 'polygon', 'line'):
            colour = words[1]
            if colour not in COLOURS:
                fail(f'{path}:{number}: unknown colour {colour!r}')
            numbers = [float(w) for w in words[2:]]
            if words[0] == 'line':
                width, numbers = numbers[0], numbers[1:]
            if len(numbers) % 2 or len(numbers) < 4:
                fail(f'{path}:{number}: points come in pairs')
            points = list(zip(numbers[0::2], numbers[1::2]))
            if words[0] == 'rect':
                shapes.append(('rect', colour, points))
            elif words[0] == 'line':
                shapes.append(('line', colour, points, width))
            else:
                shapes.append(('polygon', colour, points))
        else:
            if len(line) != GRID or any(c != '.' and c not in COLOURS for c in line):
                fail(f'{path}:{number}: a map line is {GRID} characters of "." and palette letters')
            hint.append(line)
    if hint and len(hint) != GRID:
        fail(f'{path}: the map has {len(hint)} lines, not {GRID}')
    if not shapes:
        fail(f'{path}: nothing to draw')
    return shapes, hint


def inside_polygon(points, x, y):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def near_line(points, half, x, y):
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        dx, dy = x1 - x0, y1 - y0
        length = dx * dx + dy * dy
        t = 0 if length == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        if px * px + py * py <= half * half:
            return True
    return False


def coverage(shape, size):
    """{(x, y): covered fraction} of one shape at size pixels."""
    scale = size / GRID
    if shape[0] == 'rect':
        # Exact: the share of each pixel the rectangle covers.
        (x0, y0), (x1, y1) = [(x * scale, y * scale) for x, y in shape[2]]
        covered = {}
        for y in range(max(0, int(y0)), min(size, int(y1) + 1)):
            h = min(y + 1, y1) - max(y, y0)
            for x in range(max(0, int(x0)), min(size, int(x1) + 1)):
                w = min(x + 1, x1) - max(x, x0)
                if w > 0 and h > 0:
                    covered[(x, y)] = w * h
        return covered
    if shape[0] == 'line':
        points = [(x * scale, y * scale) for x, y in shape[2]]
        half = shape[3] * scale / 2
        hit = lambda x, y: near_line(points, half, x, y)
        pad = half
    else:
        points = [(x * scale, y * scale) for x, y in shape[2]]
        hit = lambda x, y: inside_polygon(points, x, y)
        pad = 0
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    left, right = max(0, int(min(xs) - pad)), min(size, int(max(xs) + pad) + 1)
    top, bottom = max(0, int(min(ys) - pad)), min(size, int(max(ys) + pad) + 1)
    samples = SAMPLES if size <= 64 else SAMPLES // 2
    step = 1 / samples
    covered = {}
    for y in range(top, bottom):
        for x in range(left, right):
            n = sum(hit(x + (i + 0.5) * step, y + (j + 0.5) * step)
                    for j in range(samples) for i in range(samples))
            if n:
                covered[(x, y)] = n / (samples * samples)
    return covered


def render(shapes, size):
    """Rows of (r, g, b, a) pixels, top row first, 0-255."""
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for shape in shapes:
        r, g, b = COLOURS[shape[1]]
        for (x, y), a in coverage(shape, size).items():
            pr, pg, pb, pa = pixels[y][x]
            out = a + pa * (1 - a)
            mix = lambda c, pc: (c * a + pc * pa * (1 - a)) / out
            pixels[y][x] = (mix(r, pr), mix(g, pg), mix(b, pb), out)
    return [[tuple(int(round(v * 255 if i == 3 else v)) for i, v in enumerate(p)) for p in row] for row in pixels]


def nearest_letter(pixel):
    r, g, b, a = pixel
    if a < 128:
        return '.'
    return min(PALETTE, key=lambda e: sum((c - d) ** 2 for c, d in zip(e[1], (r, g, b))))[0]


def map_pixels(rows):
    return [[(*COLOURS[c], 255) if c != '.' else (0, 0, 0, 0) for c in row] for row in rows]


# --- files -------------------------------------------------------------------

def pack_bits(values, bits):
    """Packs one row of pixel values, most significant bits first, padded to 4 bytes."""
    out, acc, n = bytearray(), 0, 0
    for v in values:
        acc = (acc << bits) | v
        n += bits
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    if n:
        out.append(acc << (8 - n))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def dib(width, height, bits, palette, xor_rows, mask_rows):
    """BITMAPINFOHEADER (height doubled for the mask), palette, colour rows and AND mask, bottom-up."""
    xor = b''.join(reversed(xor_rows))
    mask = b''.join(pack_bits(row, 1) for row in reversed(mask_rows))
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bits, 0, len(xor) + len(mask), 0, 0,
                         len(palette), 0)
    return header + b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette) + xor + mask


def sixteen_colour(rows):
    xor = [pack_bits([INDEX.get(c, 0) for c in row], 4) for row in rows]
    mask = [[1 if c == '.' else 0 for c in row] for row in rows]
    return dib(GRID, GRID, 4, [rgb for _, rgb in PALETTE], xor, mask)


def true_colour(pixels):
    size = len(pixels)
    xor = [b''.join(struct.pack('<BBBB', b, g, r, a) for r, g, b, a in row) for row in pixels]
    mask = [[1 if p[3] == 0 else 0 for p in row] for row in pixels]
    return dib(size, size, 32, [], xor, mask)


def png(pixels):
    size = len(pixels)
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def directory(kind, entries):
    """An .ico (kind 1) or .cur (kind 2) file of (width, colours, field1, field2, data) entries."""
    out = struct.pack('<HHH', 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    for width, colours, one, two, data in entries:
        out += struct.pack('<BBBBHHII', width % 256, width % 256, colours, 0, one, two, len(data), offset)
        offset += len(data)
    return out + b''.join(e[4] for e in entries)


def make_icon(path):
    shapes, hint = read_drawing(path)
    drawn32 = render(shapes, GRID)
    if hint:
        differ = sum(nearest_letter(p) != c for row, hrow in zip(drawn32, hint) for p, c in zip(row, hrow))
        if differ > HINT_SLACK:
            fail(f'{path}: the 32-pixel map differs from the drawing in {differ} pixels (at most {HINT_SLACK})')
        old = hint
    else:
        old = [''.join(nearest_letter(p) for p in row) for row in drawn32]
    entries = [(GRID, 16, 1, 4, sixteen_colour(old))]
    for size in SIZES:
        if size == GRID:
            pixels = map_pixels(hint) if hint else drawn32
        else:
            pixels = render(shapes, size)
        data = png(pixels) if size == 256 else true_colour(pixels)
        entries.append((size, 0, 1, 32, data))
    return directory(1, entries)


def read_cursor(path):
    rows, hotspot = [], (0, 0)
    for number, line in read_lines(path):
        if line.startswith('hotspot'):
            _, x, y = line.split()
            hotspot = (int(x), int(y))
            continue
        if len(line) > GRID or any(c not in '.Xo' for c in line):
            fail(f'{path}:{number}: a cursor line is up to {GRID} characters of ".", "X" and "o"')
        rows.append(line.ljust(GRID, '.'))
    if len(rows) > GRID:
        fail(f'{path}: more than {GRID} lines')
    return rows + ['.' * GRID] * (GRID - len(rows)), hotspot


def make_cursor(path):
    rows, (hx, hy) = read_cursor(path)
    pixels = {'.': (0, 1), 'X': (0, 0), 'o': (1, 0)}
    entries = []
    for size in CURSOR_SIZES:
        # Source pixel i covers target pixels i * size // 32 up to (i + 1) * size // 32.
        source = [i * GRID // size for i in range(size)]
        scaled = [[rows[sy][sx] for sx in source] for sy in source]
        xor = [pack_bits([pixels[c][0] for c in row], 1) for row in scaled]
        mask = [[pixels[c][1] for c in row] for row in scaled]
        data = dib(size, size, 1, [(0, 0, 0), (255, 255, 255)], xor, mask)
        entries.append((size, 2, hx * size // GRID, hy * size // GRID, data))
    return directory(2, entries)


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ('icon', 'cursor'):
        sys.exit(__doc__)
    kind, source, target = sys.argv[1:]
    data = make_icon(source) if kind == 'icon' else make_cursor(source)
    with open(target, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
