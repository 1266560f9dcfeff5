#!/usr/bin/env python3
"""Draw the Quillmark icon (a quill pen over a written page) and write it as a
Windows .ico file holding two 16-colour images, 32 x 32 and 16 x 16.

    make_icon.py OUT.ico [PREVIEW_DIR]

The picture is computed, not read from anywhere, so the same bytes come out on
every run.  With PREVIEW_DIR, each image is also written there as a plain PPM
file for looking at.
"""
import os
import struct
import sys

# The standard 16-colour palette, in the order the display driver knows it.
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
BLACK, DKRED, OLIVE, NAVY, SILVER, GREY, RED, YELLOW, WHITE = 0, 1, 3, 4, 7, 8, 9, 11, 15

# Hand-placed pixels.  '.' is transparent; every other letter is a palette
# index: k black, r dark red, R red, o olive, Y yellow, n navy, s silver,
# g grey, w white.
KEY = {'k': BLACK, 'r': DKRED, 'R': RED, 'o': OLIVE, 'Y': YELLOW,
       'n': NAVY, 's': SILVER, 'g': GREY, 'w': WHITE}

ICON_32 = """
................................
..........................rr....
........................rrRRr...
.......................rRRRRr...
......................rRRRRRr...
..kkkkkkkkkkkkkk.....rRRRRRr....
..kwwwwwwwwwwwwkk...rRRRRRRr....
..kwwwwwwwwwwwwkwk.rRRRRRRr.....
..kwnnnnnwwwwwwkwwrRRRRRRr......
..kwwwwwwwwwwwwkkrRRRRRRYr......
..kwnnnnnnnnnnwwrRRRRRRYr.......
..kwnnnnnnnnnwwrRRRRRRYRr.......
..kwwwwwwwwwwwrRRRRRRYRr........
..kwwwwwnnnnnrRRRRRRYRrkg.......
..kwwwwwwwwwrRRRRRRYRrwkg.......
..kwwwnnnnnnrRRRRRYRrwwkg.......
..kwwwwwwwwrRRRRRYRrwwwkg.......
..kwnnnnnnnrRRRRYRrnnwwkg.......
..kwwwwwwwwrRRRYRrwwwwwkg.......
..kwnnnnnnrRRRYRrwwwwwwkg.......
..kwwwwwwwrRRYRrnnwwwwwkg.......
..kwwwwwwwwrYRrwwwwwwwwkg.......
..kwnnnnnnwwYrnnnnnwwwwkg.......
..kwwwwwwwwYowwwwwwwwwwkg.......
..kwwwwwwwYowwwwwwwwwwwkg.......
..kwnnnnnYownnnnnwwwwwwkg.......
..kwwwwwkkwwwwwwwwwwwwwkg.......
..kwwwwwkwwwwwwwwwwwwwwkg.......
..kwwwwwwwwwwwwwwwwwwwwkg.......
..kkkkkkkkkkkkkkkkkkkkkkg.......
...gggggggggggggggggggggg.......
................................
"""

ICON_16 = """
.............rr.
...........rRRr.
.kkkkkkk..rRRRr.
.kwwwwwkkrRRRr..
.kwnnnwwrRRRr...
.kwwwwwrRRRYr...
.kwnnnrRRRYrkg..
.kwwwwrRRYrwkg..
.kwnnnrRYrnwkg..
.kwwwwwYrwwwkg..
.kwnnnYonnwwkg..
.kwwwYowwwwwkg..
.kwwkkwwwwwwkg..
.kwwwwwwwwwwkg..
.kkkkkkkkkkkkg..
..gggggggggggg..
"""


def parse(art, size):
    rows = [line for line in art.strip('\n').split('\n')]
    if len(rows) != size or any(len(r) != size for r in rows):
        raise SystemExit('icon art is not %dx%d' % (size, size))
    return [[None if ch == '.' else KEY[ch] for ch in row] for row in rows]


def image_bytes(pixels):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows and the
    1-bit transparency mask, both bottom-up with rows padded to 4 bytes."""
    size = len(pixels)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            index = 0 if c is None else c
            if x % 2 == 0:
                line[x // 2] |= index << 4
            else:
                line[x // 2] |= index
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def ico_bytes(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
        blobs.append(data)
    return out + b''.join(blobs)


def write_ppm(path, pixels, background=(0x00, 0x80, 0x80)):
    size = len(pixels)
    body = bytearray()
    for row in pixels:
        for c in row:
            body += bytes(background if c is None else PALETTE[c])
    with open(path, 'wb') as f:
        f.write(b'P6\n%d %d\n255\n' % (size, size) + bytes(body))


def main(argv):
    if len(argv) not in (2, 3):
        raise SystemExit('usage: make_icon.py OUT.ico [PREVIEW_DIR]')
    big = parse(ICON_32, 32)
    small = parse(ICON_16, 16)
    data = ico_bytes([(32, image_bytes(big)), (16, image_bytes(small))])
    tmp = argv[1] + '.part'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, argv[1])
    if len(argv) == 3:
        os.makedirs(argv[2], exist_ok=True)
        write_ppm(os.path.join(argv[2], 'icon32.ppm'), big)
        write_ppm(os.path.join(argv[2], 'icon16.ppm'), small)


if __name__ == '__main__':
    main(sys.argv)
