"""The help file (Quillmark.hlp).

Layout, little-endian:
    0   8  "QMHELP" 1A 01
    8   2  number of topics
   10   2  number of the contents topic
   12   4  offset of the topic directory
   16   4  offset of the keyword index
   20   4  number of keywords
   24   4  offset of the picture directory
   28   2  number of pictures
   30   2  reserved
   32  32  title of the help file, NUL-padded
   64      topic directory: per topic its number, flags, the offsets of its
           title and body, the body's length, and the numbers of the topics
           before and after it in browse order (2+2+4+4+4+2+2 bytes)
           then the titles (NUL-terminated) and bodies.
A body is text whose paragraphs end in CR LF, with these codes inside:
    01 / 02          bold on / off
    03 nn nn ... 04  a jump to topic nnnn; the text between is the hot spot
    05 nn nn         picture nnnn of the picture directory
The keyword index holds, sorted, each keyword (length byte, letters), the
number of its topics (one byte) and their numbers (two bytes each).  The
picture directory holds offset and length of each picture, and the pictures
are 16-colour device-independent bitmaps (header, palette, bottom-up rows).
"""
import re
import struct

import helptext
import pages
import qmrand

TITLE = 'Quillmark Help'
PIXELS_PER_INCH = 24
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
           (128, 0, 128), (0, 128, 128), (192, 192, 192), (128, 128, 128),
           (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, SILVER, GREY, BLUE, WHITE = 0, 4, 7, 8, 12, 15

# Which elements a sample page shows, in order, and how many lines each.
SAMPLE_PAGE = [(pages.H, 1), (pages.A, 3), (pages.C, 1), (pages.P, 1),
               (pages.D, 3), (pages.A, 2), (pages.C, 1), (pages.D, 2),
               (pages.T, 1), (pages.H, 1), (pages.A, 4), (pages.S, 1),
               (pages.A, 2), (pages.C, 1), (pages.D, 4), (pages.C, 1),
               (pages.P, 1), (pages.D, 2), (pages.A, 3), (pages.T, 1)]


def dib(pixels):
    height = len(pixels)
    width = len(pixels[0])
    stride = ((width * 4 + 31) // 32) * 4
    bits = bytearray()
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, c in enumerate(row):
            line[x // 2] |= c << 4 if x % 2 == 0 else c
        bits += line
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(bits),
                         2835, 2835, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + bytes(bits)


def page_picture(name):
    """A picture of a page laid out with page setup `name`."""
    (_, margins, _, lpi, _, _, _, elements, _) = pages.PAGE_SETUPS[name]
    scale = PIXELS_PER_INCH / 1000.0
    border = 8
    pw = int(pages.PAPER[0] * scale)
    ph = int(pages.PAPER[1] * scale)
    width, height = pw + 2 * border + 4, ph + 2 * border + 4
    px = [[SILVER] * width for _ in range(height)]

    def fill(x0, y0, x1, y1, c):
        for y in range(max(y0, 0), min(y1, height)):
            row = px[y]
            for x in range(max(x0, 0), min(x1, width)):
                row[x] = c
    fill(border + 3, border + 3, border + pw + 3, border + ph + 3, GREY)
    fill(border, border, border + pw, border + ph, WHITE)
    for x in range(border, border + pw):
        px[border][x] = px[border + ph - 1][x] = BLACK
    for y in range(border, border + ph):
        px[y][border] = px[y][border + pw - 1] = BLACK
    top, bottom, left, right = (int(v * scale) for v in margins)
    for y in range(border + 1, border + ph - 1, 2):
        px[y][border + left] = BLUE
        px[y][border + pw - right] = BLUE
    for x in range(border + 1, border + pw - 1, 2):
        px[border + top][x] = BLUE
        px[border + ph - bottom][x] = BLUE

    rng = qmrand.Rng(sum(name.encode('ascii')) * 7919)
    line_px = PIXELS_PER_INCH // lpi
    y = border + top + line_px
    limit = border + ph - bottom
    first = True
    for kind, lines in SAMPLE_PAGE:
        e = elements[kind]
        l0, r0 = int(e[0] * scale), int(e[1] * scale)
        if not first:
            y += e[2] * line_px
        first = False
        for n in range(lines):
            if y + line_px > limit:
                return dib(px)
            if kind in (pages.C, pages.T, pages.H, pages.S, pages.B):
                length = min(r0 - l0, rng.between(10, 26))
            elif n == lines - 1:
                length = rng.between((r0 - l0) // 3, r0 - l0)
            else:
                length = r0 - l0 - rng.between(0, 6)
            align = e[5] & 0x0F
            x0 = border + l0
            if align == pages.CENTRE:
                x0 += (r0 - l0 - length) // 2
            elif align == pages.RIGHT:
                x0 += r0 - l0 - length
            colour = BLACK if e[4] else GREY
            x = x0
            while x < x0 + length:
                word = rng.between(2, 8)
                fill(x, y, min(x + word, x0 + length), y + 2, colour)
                x += word + 2
            if e[6] & pages.UNDERLINE:
                fill(x0, y + 3, x0 + length, y + 4, NAVY)
            y += line_px * e[3]
    return dib(px)


def inline(text, keys):
    """Body markup to the help file's codes."""
    out = bytearray()
    pos = 0
    pattern = re.compile(r'\*\*(.+?)\*\*|\[\[([a-z0-9_-]+)\|(.+?)\]\]|\{bmp:(\d+)\}')
    for m in pattern.finditer(text):
        out += text[pos:m.start()].encode('ascii')
        if m.group(1) is not None:
            out += b'\x01' + m.group(1).encode('ascii') + b'\x02'
        elif m.group(2) is not None:
            if m.group(2) not in keys:
                raise ValueError('jump to unknown topic %r' % m.group(2))
            out += b'\x03' + struct.pack('<H', keys[m.group(2)])
            out += m.group(3).encode('ascii') + b'\x04'
        else:
            out += b'\x05' + struct.pack('<H', int(m.group(4)))
        pos = m.end()
    out += text[pos:].encode('ascii')
    return bytes(out)


def body_codes(body, keys):
    """Paragraphs (separated by blank lines) to CR LF-terminated lines; the
    lines of a paragraph are joined, except in lists of short lines."""
    out = bytearray()
    for para in re.split(r'\n\s*\n', body.strip('\n')):
        lines = [ln.strip() for ln in para.split('\n')]
        if all(len(ln) < 48 for ln in lines) and len(lines) > 1:
            for ln in lines:
                out += inline(ln, keys) + b'\r\n'
        else:
            out += inline(' '.join(lines), keys) + b'\r\n'
        out += b'\r\n'
    return bytes(out)


def topics():
    """[(key, title, keywords, body)] with the page setup topics added."""
    setup_names = sorted(pages.PAGE_SETUPS)
    listing = '\n'.join('[[stp-%s|%s]]' % (n.lower(), n.replace('_', ' '))
                        for n in setup_names)
    result = []
    for key, title, keywords, body in helptext.TOPICS:
        result.append((key, title, keywords, body.replace('{PAGESETUP_LIST}', listing)))
    for number, name in enumerate(setup_names):
        label = name.replace('_', ' ')
        body = ('{bmp:%d}\n\n' % number) + pages.describe(name) + \
            '\n\nSee also [[pagesetups|Page setups]].'
        result.append(('stp-' + name.lower(), 'Page setup: ' + label,
                       ['page setup, ' + label.lower(), label.lower()], body))
    return result, [page_picture(n) for n in setup_names]


def build():
    all_topics, pictures = topics()
    keys = {key: n for n, (key, _, _, _) in enumerate(all_topics)}
    count = len(all_topics)
    directory_at = 64
    strings_at = directory_at + 20 * count
    strings = bytearray()
    directory = bytearray()
    for n, (key, title, _, body) in enumerate(all_topics):
        title_at = strings_at + len(strings)
        strings += title.encode('ascii') + b'\0'
        body_bytes = body_codes(body, keys)
        body_at = strings_at + len(strings)
        strings += body_bytes
        directory += struct.pack('<HHIIIHH', n, 0, title_at, body_at, len(body_bytes),
                                 (n - 1) % count, (n + 1) % count)
    index = {}
    for n, (_, title, keywords, _) in enumerate(all_topics):
        for word in keywords + [title.lower()]:
            topics_of = index.setdefault(word, [])
            if n not in topics_of:
                topics_of.append(n)
    keyword_at = strings_at + len(strings)
    keyword_blob = bytearray()
    for word in sorted(index):
        data = word.encode('ascii')
        keyword_blob += bytes([len(data)]) + data + bytes([len(index[word])])
        keyword_blob += struct.pack('<%dH' % len(index[word]), *index[word])
    picture_dir_at = keyword_at + len(keyword_blob)
    picture_blob = bytearray()
    picture_dir = bytearray()
    first_picture = picture_dir_at + 8 * len(pictures)
    for data in pictures:
        picture_dir += struct.pack('<II', first_picture + len(picture_blob), len(data))
        picture_blob += data
    header = b'QMHELP\x1a\x01' + struct.pack('<HHIIIIHH', count, keys['contents'],
                                             directory_at, keyword_at, len(index),
                                             picture_dir_at, len(pictures), 0)
    header += TITLE.encode('ascii') + b'\0' * (32 - len(TITLE))
    assert len(header) == 64
    return header + bytes(directory) + bytes(strings) + bytes(keyword_blob) + \
        bytes(picture_dir) + bytes(picture_blob)
