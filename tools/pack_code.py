#!/usr/bin/env python3
"""Stores a shipped program's code and data packed, to be expanded in place
at start-up by setup/unpack/unpack.cpp, which the program's entry point names.

    pack_code.py FILE       rewrites FILE in place
    pack_code.py --move ADDRESS FILE COPY
                            writes COPY: FILE as the loader leaves it when it
                            puts it at ADDRESS, for the tests of the unpacker's
                            relocating (the loader puts it where it was linked)

It runs after tools/place_relocations.py and tools/drop_dos_stub.py, on a
program laid out by tools/ship.ld: one section with the import tables, the
unpacker, then the code and data from ___code_start to ___code_end (the end of
the section's contents), then .bss and .rsrc with the base relocations at its
end.  The loader reads the import tables and runs the unpacker as they are in
the file; the rest of the section is left out of the file (it keeps its size
in memory, where the loader fills it with zeros).  Instead, at the end of
.rsrc after the relocations the loader still applies (the unpacker's own),
come the code and data, the targets of their calls and jumps made absolute
(more of them alike), packed by tools/lz_bits.py, and then where to relocate
them.  Scanned from the start, 4 bytes that hold an address from the start
of the first section to the end of the program as linked are taken as one to
relocate, and the scan goes on after them, else one byte on; the places where
that is wrong follow, as gamma codes: the first place plus 1, then each from
the last, the last of them beyond the end.

The unpacker finds what it needs in a block right before its entry point
(PackedCode in unpack.cpp), which this fills in.  The result is
expanded again here and compared with what was packed; any difference fails.
"""
import struct
import sys

import lz_bits
from pe_image import u16, u32, write_in_place

PE_HEADERS_AT = 0x3C                  # in the DOS header
SECTION_HEADER = 40
FILE_HEADER = 24                      # "PE\0\0" and the file header
SECTIONS_AT, OPTIONAL_SIZE_AT = 6, 20  # in those: how many sections, the optional header's size
DIRECTORIES = 96                      # into the optional header (32-bit)
# Fields of the optional header, by where they are in it
SIZE_OF_CODE, SIZE_OF_DATA, ENTRY_POINT, IMAGE_BASE = 4, 8, 16, 28
SECTION_ALIGNMENT, FILE_ALIGNMENT, SIZE_OF_IMAGE = 32, 36, 56
# Of a section header
SIZES_AT, RAW_AT = 8, 20
# Of a base relocation: the kind in the top 4 bits, the place in the page below
KIND_SHIFT, PLACE_MASK = 12, 0xFFF
BLOCK = struct.Struct('<7I')          # start, end, where start was linked, the packed bytes,
                                      # the lowest address relocated and how many above it,
                                      # the unpacker's own
RELOCATION_DIRECTORY = 5
PAGE = 0x1000
RELOCATION_BLOCK = 8                  # a page's relocations: its address and their size, then 2 bytes each
HIGHLOW, PADDING = 3, 0               # relocation kinds: a 32-bit address; nothing
CALL_SIZE = 5                         # E8/E9 and a 32-bit target
CALL, JUMP = 0xE8, 0xE9
ADDRESS_SIZE = 4


class Image:
    """The headers of a PE file that matter here, by where they are."""

    def __init__(self, data):
        self.data = data
        pe = u32(data, PE_HEADERS_AT)
        if data[:2] != b'MZ' or data[pe:pe + 4] != b'PE\0\0':
            raise SystemExit('not a PE file')
        self.count = u16(data, pe + SECTIONS_AT)
        self.optional = pe + FILE_HEADER
        self.directories = self.optional + DIRECTORIES
        self.table = self.optional + u16(data, pe + OPTIONAL_SIZE_AT)

    def field(self, offset):
        return u32(self.data, self.optional + offset)

    def section(self, index):
        """(name, virtual size, address, raw size, raw offset) of a section."""
        return struct.unpack_from('<8sIIII', self.data, self.table + SECTION_HEADER * index)

    def set_section(self, index, vsize, rsize, rptr):
        struct.pack_into('<III', self.data, self.table + SECTION_HEADER * index + SIZES_AT, vsize,
                         self.section(index)[2], rsize)
        struct.pack_into('<I', self.data, self.table + SECTION_HEADER * index + RAW_AT, rptr)

    def directory(self, index):
        return struct.unpack_from('<II', self.data, self.directories + 8 * index)

    def mapped(self):
        """The program as the loader maps it: sections at their addresses,
        filled out with zeros."""
        memory = bytearray(self.field(SIZE_OF_IMAGE))
        for index in range(self.count):
            _, vsize, address, rsize, rptr = self.section(index)
            size = min(vsize, rsize)
            memory[address:address + size] = self.data[rptr:rptr + size]
        return memory


def align(value, to):
    return -(-value // to) * to


def read_relocations(memory, address, size):
    found = []
    at = address
    while at < address + size:
        page, length = struct.unpack_from('<II', memory, at)
        for entry in struct.unpack_from(f'<{(length - RELOCATION_BLOCK) // 2}H', memory, at + RELOCATION_BLOCK):
            if entry >> KIND_SHIFT == HIGHLOW:
                found.append(page + (entry & PLACE_MASK))
            elif entry >> KIND_SHIFT != PADDING:
                raise SystemExit(f'relocation of kind {entry >> KIND_SHIFT} at {page:#x}')
        at += length
    return sorted(found)


def write_relocations(places):
    out = bytearray()
    pages = sorted({place & ~(PAGE - 1) for place in places})
    for page in pages:
        entries = [HIGHLOW << KIND_SHIFT | place - page for place in places if place & ~(PAGE - 1) == page]
        if len(entries) % 2:
            entries.append(PADDING)
        out += struct.pack(f'<II{len(entries)}H', page, RELOCATION_BLOCK + 2 * len(entries), *entries)
    return bytes(out)


def calls_absolute(code, sign):
    """The 32-bit targets after each E8 (call) and E9 (jump) byte, scanned as
    the unpacker does, made absolute (sign 1) or relative again (sign -1)."""
    code = bytearray(code)
    at = 0
    while at + CALL_SIZE <= len(code):
        if code[at] in (CALL, JUMP):
            target = u32(code, at + 1) + sign * (at + CALL_SIZE)
            struct.pack_into('<I', code, at + 1, target & 0xFFFFFFFF)
            at += CALL_SIZE
        else:
            at += 1
    return bytes(code)


def relocation_exceptions(code, low, span, places):
    """Where a scan of `code` for addresses from `low` on, `span` of them,
    does not find `places`, each visited as the scan goes."""
    places = set(places)
    found = []
    at = 0
    while at + ADDRESS_SIZE <= len(code):
        if ((u32(code, at) - low) & 0xFFFFFFFF < span) != (at in places):
            found.append(at)
        if at in places:
            places.discard(at)
            at += ADDRESS_SIZE
        else:
            at += 1
    assert not places
    return found


def relocations_scanned(code, low, span, reader):
    places = []
    exception = reader.gamma() - 1
    at = 0
    while at + ADDRESS_SIZE <= len(code):
        address = (u32(code, at) - low) & 0xFFFFFFFF < span
        if at == exception:
            address = not address
            exception += reader.gamma()
        if address:
            places.append(at)
            at += ADDRESS_SIZE
        else:
            at += 1
    return places


def expand(memory, block_at, base):
    """What the unpacker makes of the mapped program, loaded where it was
    linked: the code and data and the places of their relocations."""
    start, end, linked, stream, low, span, _ = BLOCK.unpack_from(memory, block_at)
    assert linked == start
    reader = lz_bits.BitReader(memory, stream - base)
    code = calls_absolute(lz_bits.expand(reader, end - start), -1)
    return code, relocations_scanned(code, low, span, reader)


def main(path):
    image = Image(bytearray(open(path, 'rb').read()))
    base, file_alignment = image.field(IMAGE_BASE), image.field(FILE_ALIGNMENT)
    entry = image.field(ENTRY_POINT)
    name, vsize, address, rsize, rptr = image.section(0)
    last = image.count - 1
    rsrc_name, rsrc_vsize, rsrc_address, rsrc_rsize, rsrc_rptr = image.section(last)
    if rsrc_name.rstrip(b'\0') != b'.rsrc' or len(image.data) != rsrc_rptr + rsrc_rsize:
        sys.exit(f'{path}: .rsrc is not the last thing in the file')
    memory = image.mapped()
    block_at = entry - BLOCK.size
    start, end, *filled, own = BLOCK.unpack_from(memory, block_at)
    code_at, code_end = start - base, end - base
    if any(filled) or not address < block_at < code_at <= code_end == address + vsize:
        sys.exit(f'{path}: no unpacker before its code and data (tools/ship.ld)')
    relocations_at, relocations_size = image.directory(RELOCATION_DIRECTORY)
    if relocations_at + relocations_size != rsrc_address + rsrc_vsize:
        sys.exit(f'{path}: the relocations do not end .rsrc')
    places = read_relocations(memory, relocations_at, relocations_size)
    inside = [place - code_at for place in places if code_at <= place < code_end]
    kept = [place for place in places if place < code_at]
    if len(inside) + len(kept) != len(places) or any(place + ADDRESS_SIZE > code_end for place in places) or \
            any(place < address for place in kept):
        sys.exit(f'{path}: relocations outside the code and data and the unpacker')

    code = bytes(memory[code_at:code_end])
    writer = lz_bits.compress(calls_absolute(code, 1))
    low, span = base + address, image.field(SIZE_OF_IMAGE) - address
    at = -1
    for place in relocation_exceptions(code, low, span, inside) + [len(code)]:
        writer.gamma(place - at)
        at = place
    relocations = write_relocations(kept)
    stream_at = relocations_at + len(relocations)
    packed = bytes(writer.out)

    raw = align(code_at - address, file_alignment)
    cut = rsize - raw
    tail = image.data[rsrc_rptr:rsrc_rptr + relocations_at - rsrc_address] + relocations + packed
    out = image.data[:rptr + code_at - address] + bytes(raw - (code_at - address))
    out += image.data[rptr + rsize:rsrc_rptr] + tail + bytes(align(len(tail), file_alignment) - len(tail))
    image = Image(out)
    BLOCK.pack_into(out, rptr + block_at - address, start, end, start, base + stream_at, low, span, own)
    image.set_section(0, vsize, raw, rptr)
    image.set_section(last, len(tail), align(len(tail), file_alignment), rsrc_rptr - cut)
    struct.pack_into('<II', out, image.directories + 8 * RELOCATION_DIRECTORY, relocations_at, len(relocations))
    grown = align(len(tail), file_alignment) - rsrc_rsize
    struct.pack_into('<II', out, image.optional + SIZE_OF_CODE, image.field(SIZE_OF_CODE) - cut,
                     image.field(SIZE_OF_DATA) - cut + grown)
    struct.pack_into('<I', out, image.optional + SIZE_OF_IMAGE,
                     align(rsrc_address + len(tail), image.field(SECTION_ALIGNMENT)))

    again = image.mapped()
    if expand(again, block_at, base) != (code, inside) or \
            read_relocations(again, *image.directory(RELOCATION_DIRECTORY)) != kept:
        sys.exit(f'{path}: the packed code and data do not expand to what they were')
    write_in_place(path, out)


def move(address, path, copy):
    """Relocates the program in `path` by its relocation directory as if it
    had been linked at `address`, into `copy`."""
    image = Image(bytearray(open(path, 'rb').read()))
    memory = image.mapped()
    delta = address - image.field(IMAGE_BASE)
    for place in read_relocations(memory, *image.directory(RELOCATION_DIRECTORY)):
        for index in range(image.count):
            _, vsize, section, rsize, rptr = image.section(index)
            if section <= place < section + min(vsize, rsize):
                at = rptr + place - section
                struct.pack_into('<I', image.data, at, u32(image.data, at) + delta & 0xFFFFFFFF)
    struct.pack_into('<I', image.data, image.optional + IMAGE_BASE, address)
    open(copy, 'wb').write(image.data)


if __name__ == '__main__':
    if len(sys.argv) == 5 and sys.argv[1] == '--move':
        move(int(sys.argv[2], 0), sys.argv[3], sys.argv[4])
    elif len(sys.argv) == 2:
        main(sys.argv[1])
    else:
        sys.exit(__doc__)
