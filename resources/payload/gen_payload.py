#!/usr/bin/env python3
"""Make one of the data files Quillmark installs.

    gen_payload.py DIR NAME...  write the files called NAME into the folder DIR
    gen_payload.py --list       print the names of all files it can make

Every file is computed from the modules beside this one; nothing else is
read, and the same bytes come out on every run.

A script file (.scp), little-endian:
    0   8  "QMSCRIPT"
    8   2  version (0x0100)
   10   2  kind: 0 feature film, 1 three-camera television, 2 live on tape
   12   4  number of paragraphs
   16   4  offset of the title page
   20   4  offset of the paragraphs
   24   4  offset of the scene index
   28   4  length of the file
   32  24  page setup file name, NUL-padded
   56   4  sum of all bytes from offset 64 on, modulo 2^32
   60   4  reserved
   64      title page: number of fields, then per field its kind (1 title,
           2 episode, 3 credit, 4 author, 5 draft, 6 contact), length (2
           bytes) and text
           paragraphs: element (1 scene heading, 2 action, 3 character,
           4 parenthetical, 5 dialogue, 6 transition, 7 shot, 8 act break),
           flags (1 starts a new page), length (2 bytes) and text
           scene index: number of scenes (2 bytes), then per scene the
           number of its heading paragraph (4 bytes), its scene number
           (2 bytes) and its scene letter (1 byte, 0 if none), one spare byte
"""
import os
import struct
import sys

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import dictionary  # noqa: E402
import helpfile  # noqa: E402
import pages  # noqa: E402
import scripts  # noqa: E402
import tips  # noqa: E402

TITLE_FIELDS = {'title': 1, 'episode': 2, 'credit': 3, 'author': 4, 'draft': 5,
                'contact': 6}
# Element numbers in script files; the order of pages.ELEMENT_NAMES plus one.
SCRIPT_ELEMENTS = {'H': 1, 'A': 2, 'C': 3, 'P': 4, 'D': 5, 'T': 6, 'S': 7, 'B': 8}


def build_script(name):
    kind, page_setup, title, text = scripts.SCRIPTS[name]
    paras = scripts.paragraphs(text)
    title_blob = bytes([len(title)])
    for field, value in title:
        data = value.encode('ascii')
        title_blob += struct.pack('<BH', TITLE_FIELDS[field], len(data)) + data
    para_blob = bytearray()
    scenes = []
    letter = 0
    for number, (tag, body) in enumerate(paras):
        flags = 0
        if tag == 'B' and body.startswith('ACT'):
            flags |= 1
            letter = 0
        data = body.encode('ascii')
        para_blob += struct.pack('<BBH', SCRIPT_ELEMENTS[tag], flags, len(data)) + data
        if tag == 'H' and body.startswith(('INT.', 'EXT.')):
            scene_letter = 0
            if kind == 1:
                letter += 1
                scene_letter = ord('A') + letter - 1
            scenes.append((number, len(scenes) + 1, scene_letter))
    index_blob = struct.pack('<H', len(scenes))
    for number, scene, scene_letter in scenes:
        index_blob += struct.pack('<IHBB', number, scene, scene_letter, 0)
    title_at = 64
    paras_at = title_at + len(title_blob)
    index_at = paras_at + len(para_blob)
    body = title_blob + bytes(para_blob) + index_blob
    total = 64 + len(body)
    header = b'QMSCRIPT' + struct.pack('<HHIIIII', 0x0100, kind, len(paras), title_at,
                                       paras_at, index_at, total)
    header += page_setup.encode('ascii').ljust(24, b'\0')
    header += struct.pack('<II', sum(body) & 0xFFFFFFFF, 0)
    assert len(header) == 64
    return header + body


_words = None


def words():
    global _words
    if _words is None:
        _words = dictionary.word_list()
    return _words


def builders():
    table = {
        'tips.txt': tips.build,
        'Quillmark.hlp': helpfile.build,
        'main.dct': lambda: dictionary.build_dictionary(words())[0],
        'table1.bin': lambda: dictionary.build_dictionary(words())[1],
        'bucket.bin': lambda: dictionary.build_buckets(words()),
        'table2.bin': lambda: dictionary.build_letter_tables(words()),
        'thes.bin': lambda: dictionary.build_thesaurus(words()),
    }
    for name in scripts.SCRIPTS:
        table[name] = (lambda n: lambda: build_script(n))(name)
    for name in pages.PAGE_SETUPS:
        table[name + '.stp'] = (lambda n: lambda: pages.build_page_setup(n))(name)
    for name in pages.COLOUR_SCHEMES:
        table[name + '.scm'] = (lambda n: lambda: pages.build_colour_scheme(n))(name)
    return table


def main(argv):
    table = builders()
    if argv[1:] == ['--list']:
        print('\n'.join(sorted(table)))
        return 0
    if len(argv) < 3 or any(name not in table for name in argv[2:]):
        sys.stderr.write('usage: gen_payload.py DIR NAME... | --list\n')
        return 2
    for name in argv[2:]:
        path = os.path.join(argv[1], name)
        tmp = path + '.part'
        with open(tmp, 'wb') as f:
            f.write(table[name]())
        os.replace(tmp, path)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
