#!/usr/bin/env python3
"""Leaves out the small DOS program the linker puts at the start of every
Windows program (the one that says it cannot be run in DOS mode), so that the
PE headers with four section headers fit in the first 512 bytes of the file,
as three did with it.

    drop_dos_stub.py FILE       rewrites FILE in place

The 64-byte DOS header stays, pointing at the PE headers right after it, and
the sections move up by the room the headers no longer take.  Only file
offsets change: nothing the loader finds by its address moves.  A file with a
symbol table or a certificate, which are found by file offset, is refused.
"""
import struct
import sys

from pe_image import u16, u32, write_in_place

DOS_HEADER = 64       # the part Windows reads: "MZ" and where the PE headers are
SECTION_HEADER = 40


def main(path):
    image = bytearray(open(path, 'rb').read())
    pe = u32(image, 0x3C)
    if image[:2] != b'MZ' or image[pe:pe + 4] != b'PE\0\0':
        sys.exit(f'{path}: not a PE file')
    sections, optional_size = u16(image, pe + 6), u16(image, pe + 20)
    optional = pe + 24
    file_alignment, old_size = u32(image, optional + 36), u32(image, optional + 60)
    directories = optional + (96 if u16(image, optional) == 0x10B else 112)
    if u32(image, pe + 8) or u32(image, directories + 4 * 8):
        sys.exit(f'{path}: has a symbol table or a certificate')
    headers = image[pe:optional + optional_size + SECTION_HEADER * sections]
    size = -(-(DOS_HEADER + len(headers)) // file_alignment) * file_alignment
    cut = old_size - size
    if cut <= 0:
        return
    out = image[:DOS_HEADER] + headers + bytes(size - DOS_HEADER - len(headers))
    struct.pack_into('<I', out, 0x3C, DOS_HEADER)
    optional = DOS_HEADER + 24
    struct.pack_into('<I', out, optional + 60, size)
    for entry in range(optional + optional_size, optional + optional_size + SECTION_HEADER * sections,
                       SECTION_HEADER):
        if u32(out, entry + 16):  # raw data in the file: it moves up
            struct.pack_into('<I', out, entry + 20, u32(out, entry + 20) - cut)
    out += image[old_size:]
    write_in_place(path, out)


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
