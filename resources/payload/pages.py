"""Page setups (.stp) and colour schemes (.scm).

A page setup record, little-endian, lengths in thousandths of an inch:

    0   8  "QMSTP" 1A 00 01 (magic and version 1)
    8  32  name, NUL-padded
   40  64  description, NUL-padded
  104   4  paper width, height
  108   8  margins: top, bottom, left, right
  116   4  header and footer positions from the top and bottom edges
  120  32  font face, NUL-padded
  152   2  font size in tenths of a point
  154   1  lines to the inch
  155   1  characters to the inch
  156   2  flags (PAGE_* below)
  158  16  text ending a page inside a speech, NUL-padded
  174  16  text after a character name continued from the page before
  190   1  number of element records (8), then one reserved byte
  192  80  element records, 10 bytes each, in the order of ELEMENT_NAMES:
           left indent, right indent (from the left edge of the paper),
           blank lines before, line spacing, capitals, alignment in the
           low four bits (0 left, 1 centre, 2 right) and style in the high
           four (1 bold, 2 underline, 4 italic), the element that ENTER
           starts next, the element that TAB starts next
  272   2  lines per page, for page counting
  274   2  checksum: sum of the bytes before it, modulo 65536

A colour scheme is 64 bytes: "QMCS", version 1, the count of colours (14),
two reserved bytes, then 14 colours as red, green, blue and a reserved byte,
in the order of COLOUR_ROLES.
"""
import struct

ELEMENT_NAMES = ['Scene Heading', 'Action', 'Character', 'Parenthetical',
                 'Dialogue', 'Transition', 'Shot', 'Act Break']

PAGE_NUMBER_TOP = 0x0001
PAGE_NUMBER_BOTTOM = 0x0002
PAGE_SCENE_NUMBERS_LEFT = 0x0004
PAGE_SCENE_NUMBERS_RIGHT = 0x0008
PAGE_MORE_CONTD = 0x0010
PAGE_CONTD_AFTER_ACTION = 0x0020
PAGE_BREAK_DIALOGUE_AT_SENTENCE = 0x0040
PAGE_ACT_ON_NEW_PAGE = 0x0080
PAGE_SCENE_LETTERS = 0x0100
PAGE_PARENTHESES_ACTION = 0x0200

LEFT, CENTRE, RIGHT = 0, 1, 2
BOLD, UNDERLINE, ITALIC = 1, 2, 4
H, A, C, P, D, T, S, B = range(8)


def element(left, right, before, spacing=1, caps=0, align=LEFT, style=0,
            enter=A, tab=C):
    return (left, right, before, spacing, caps, align, style, enter, tab)


def screen_elements(dialogue_spacing=1, action_caps=0, heading_style=0,
                    before_heading=2, before=1):
    return [
        element(1500, 7500, before_heading, 1, 1, LEFT, heading_style, A, A),
        element(1500, 7500, before, dialogue_spacing, action_caps, LEFT, 0, A, C),
        element(3700, 7500, before, 1, 1, LEFT, 0, D, A),
        element(3100, 5600, 0, 1, 0, LEFT, 0, D, D),
        element(2500, 6000, 0, dialogue_spacing, 0, LEFT, 0, A, C),
        element(5500, 7500, before, 1, 1, RIGHT, 0, H, A),
        element(1500, 7500, before, 1, 1, LEFT, 0, A, A),
        element(1500, 7500, 2, 1, 1, CENTRE, UNDERLINE, H, H),
    ]


STANDARD_FLAGS = (PAGE_NUMBER_TOP | PAGE_MORE_CONTD | PAGE_BREAK_DIALOGUE_AT_SENTENCE)

# name: (description, margins (top, bottom, left, right), font size,
#        lines per inch, flags, more, contd, elements, lines per page)
PAGE_SETUPS = {
    'Feature': ('Feature film, standard layout',
                (1000, 1000, 1500, 1000), 120, 6, STANDARD_FLAGS,
                '(MORE)', "(CONT'D)", screen_elements(), 55),
    'Feature_Loose': ('Feature film, more space between elements',
                      (1000, 1000, 1500, 1000), 120, 6, STANDARD_FLAGS,
                      '(MORE)', "(CONT'D)",
                      screen_elements(before_heading=3, before=1), 54),
    'Feature_Tight': ('Feature film, fewer blank lines and smaller margins',
                      (750, 750, 1500, 900), 120, 6, STANDARD_FLAGS,
                      '(MORE)', "(CONT'D)",
                      screen_elements(before_heading=1, before=1), 60),
    'Play': ('Stage play, character names centred',
             (1000, 1000, 1500, 1000), 120, 6, PAGE_NUMBER_TOP | PAGE_MORE_CONTD
             | PAGE_PARENTHESES_ACTION | PAGE_ACT_ON_NEW_PAGE,
             '(MORE)', '(CONTINUING)', [
                 element(1500, 7500, 2, 1, 1, CENTRE, UNDERLINE, A, A),
                 element(4000, 7500, 1, 1, 0, LEFT, ITALIC, C, C),
                 element(1500, 7500, 1, 1, 1, CENTRE, 0, D, A),
                 element(4000, 7000, 0, 1, 0, LEFT, ITALIC, D, D),
                 element(1500, 7500, 0, 1, 0, LEFT, 0, C, A),
                 element(6000, 7500, 1, 1, 1, RIGHT, 0, H, A),
                 element(4000, 7500, 1, 1, 1, LEFT, 0, A, A),
                 element(1500, 7500, 2, 1, 1, CENTRE, BOLD, H, H),
             ], 54),
    'Play_Alternate': ('Stage play, character names at the left margin',
                       (1000, 1000, 1500, 1000), 120, 6, PAGE_NUMBER_TOP
                       | PAGE_MORE_CONTD | PAGE_PARENTHESES_ACTION,
                       '(MORE)', '(CONTINUING)', [
                           element(1500, 7500, 2, 1, 1, CENTRE, UNDERLINE, A, A),
                           element(3000, 7500, 1, 1, 0, LEFT, 0, C, C),
                           element(1500, 2900, 1, 1, 1, LEFT, 0, D, A),
                           element(3000, 6500, 0, 1, 0, LEFT, 0, D, D),
                           element(3000, 7500, 0, 1, 0, LEFT, 0, C, A),
                           element(6000, 7500, 1, 1, 1, RIGHT, 0, H, A),
                           element(3000, 7500, 1, 1, 1, LEFT, 0, A, A),
                           element(1500, 7500, 2, 1, 1, CENTRE, BOLD, H, H),
                       ], 54),
    'Proof_DblSpc': ('Proof copy, double spaced for notes',
                     (1000, 1000, 1500, 1000), 120, 6, STANDARD_FLAGS,
                     '(MORE)', "(CONT'D)",
                     [e[:3] + (2,) + e[4:] for e in screen_elements()], 55),
    'Proof_Left': ('Proof copy, wide left margin for notes',
                   (1000, 1000, 3000, 750), 120, 6, STANDARD_FLAGS,
                   '(MORE)', "(CONT'D)",
                   [(e[0] + 1500, min(e[1] + 250, 7750)) + e[2:]
                    for e in screen_elements()], 55),
    'Proof_Right': ('Proof copy, wide right margin for notes',
                    (1000, 1000, 1000, 2500), 120, 6, STANDARD_FLAGS,
                    '(MORE)', "(CONT'D)",
                    [(e[0] - 500, e[1] - 1500) + e[2:]
                     for e in screen_elements()], 55),
    'TV-TapeLive': ('Television, live or live on tape',
                    (1000, 750, 1500, 1000), 120, 6, STANDARD_FLAGS
                    | PAGE_ACT_ON_NEW_PAGE, '(MORE)', "(CONT'D)",
                    screen_elements(dialogue_spacing=2, action_caps=1,
                                    heading_style=UNDERLINE), 52),
    'TV-ThreeCamera': ('Television, three-camera comedy',
                       (1000, 750, 1500, 1000), 120, 6, STANDARD_FLAGS
                       | PAGE_ACT_ON_NEW_PAGE | PAGE_SCENE_LETTERS
                       | PAGE_CONTD_AFTER_ACTION, '(MORE)', "(CONT'D)",
                       screen_elements(dialogue_spacing=2, action_caps=1,
                                       heading_style=UNDERLINE), 52),
    'TV-ThreeCamera2': ('Television, three-camera comedy, wide dialogue',
                        (1000, 750, 1500, 1000), 120, 6, STANDARD_FLAGS
                        | PAGE_ACT_ON_NEW_PAGE | PAGE_SCENE_LETTERS,
                        '(MORE)', "(CONT'D)",
                        [e if i != D else (2000, 6500) + e[2:]
                         for i, e in enumerate(screen_elements(
                             dialogue_spacing=2, action_caps=1,
                             heading_style=UNDERLINE))], 52),
}

PAPER = (8500, 11000)
FONT = 'Courier New'


def fixed(text, size):
    data = text.encode('ascii')
    if len(data) >= size:
        raise ValueError('%r does not fit %d bytes' % (text, size))
    return data + b'\0' * (size - len(data))


def build_page_setup(name):
    (description, margins, font_size, lpi, flags, more, contd, elements,
     lines) = PAGE_SETUPS[name]
    if len(elements) != len(ELEMENT_NAMES):
        raise ValueError('page setup %s needs %d elements' % (name, len(ELEMENT_NAMES)))
    out = b'QMSTP\x1a\x00\x01'
    out += fixed(name, 32) + fixed(description, 64)
    out += struct.pack('<HH', *PAPER)
    out += struct.pack('<HHHH', *margins)
    out += struct.pack('<HH', 500, 500)
    out += fixed(FONT, 32)
    out += struct.pack('<HBBH', font_size, lpi, 10, flags)
    out += fixed(more, 16) + fixed(contd, 16)
    out += struct.pack('<BB', len(elements), 0)
    for e in elements:
        out += struct.pack('<HHBBBBBB', e[0], e[1], e[2], e[3], e[4],
                           e[5] | (e[6] << 4), e[7], e[8])
    out += struct.pack('<H', lines)
    out += struct.pack('<H', sum(out) & 0xFFFF)
    return out


COLOUR_ROLES = ['Window', 'Page', 'Text', 'Scene Heading', 'Character',
                'Parenthetical', 'Transition', 'Shot', 'Margin Guide',
                'Page Break', 'Selection', 'Selected Text', 'Revision Mark',
                'Note']

COLOUR_SCHEMES = {
    'White': ['808080', 'FFFFFF', '000000', '000000', '000000', '404040',
              '000000', '000000', 'C0C0C0', '808080', '000080', 'FFFFFF',
              'FF0000', 'FFFF80'],
    'Blue': ['000040', '0000A8', 'FFFFFF', 'FFFF55', 'FFFFFF', 'C0C0C0',
             'FFFFFF', '55FFFF', '5555FF', '8080FF', 'C0C0C0', '0000A8',
             'FF5555', '55FF55'],
    'Brown': ['4A3520', 'F4E8C8', '3A2410', '5A2A00', '3A2410', '6E5A40',
              '3A2410', '3A2410', 'D8C8A0', 'A08060', '6E4A20', 'F4E8C8',
              'A00000', 'FFF0A0'],
    'Green': ['001800', '002800', '33FF66', '66FF99', '33FF66', '20B040',
              '33FF66', '33FF66', '105020', '20A040', '33FF66', '002800',
              'FFFF33', '99FF99'],
    'Purple': ['300030', 'F0E0F8', '200020', '600060', '200020', '604060',
               '200020', '200020', 'D8C0E0', 'A080B0', '600060', 'F0E0F8',
               'C00000', 'FFF0C0'],
    'BlackWhite': ['000000', 'FFFFFF', '000000', '000000', '000000',
                   '000000', '000000', '000000', '000000', '000000',
                   '000000', 'FFFFFF', '000000', 'FFFFFF'],
}


def build_colour_scheme(name):
    colours = COLOUR_SCHEMES[name]
    if len(colours) != len(COLOUR_ROLES):
        raise ValueError('colour scheme %s needs %d colours' % (name, len(COLOUR_ROLES)))
    out = b'QMCS' + struct.pack('<BBH', 1, len(colours), 0)
    for hexrgb in colours:
        out += bytes.fromhex(hexrgb) + b'\0'
    assert len(out) == 64
    return out


def describe(name):
    """Help text for one page setup."""
    (description, margins, _, _, flags, more, contd, elements, lines) = PAGE_SETUPS[name]
    top, bottom, left, right = margins

    def inches(v):
        return ('%.2f' % (v / 1000.0)).rstrip('0').rstrip('.') + ' in'
    text = ['%s.  About %d lines to a page.' % (description, lines), '',
            'Margins: top %s, bottom %s, left %s, right %s.' % (
                inches(top), inches(bottom), inches(left), inches(right)), '']
    for label, e in zip(ELEMENT_NAMES, elements):
        parts = ['from %s to %s' % (inches(e[0]), inches(e[1]))]
        if e[3] == 2:
            parts.append('double spaced')
        if e[4]:
            parts.append('capitals')
        if e[5] == CENTRE:
            parts.append('centred')
        elif e[5] == RIGHT:
            parts.append('set right')
        if e[6] & UNDERLINE:
            parts.append('underlined')
        if e[6] & BOLD:
            parts.append('bold')
        if e[6] & ITALIC:
            parts.append('italic')
        text.append('**%s**: %s.' % (label, ', '.join(parts)))
    text.append('')
    if flags & PAGE_MORE_CONTD:
        text.append('Speeches broken across pages end with %s and go on with %s.'
                    % (more, contd))
    if flags & PAGE_SCENE_LETTERS:
        text.append('Scenes are lettered, starting again with A in each act.')
    if flags & PAGE_ACT_ON_NEW_PAGE:
        text.append('Each act starts on a new page.')
    return '\n'.join(text)
