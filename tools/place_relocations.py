#!/usr/bin/env python3
"""Points the loader at the base relocations tools/ship.ld puts at the end of
the resource section, and leaves out the program's symbol table.

    place_relocations.py FILE   rewrites FILE in place

The linker fills the relocations wherever the script puts them, but it names
them in the headers only when they have a section of their own, which would
be padded to the file alignment by itself.  ship.ld marks where they start and
end with the symbols below; this sets the base relocation directory to them,
ends the resource directory where they start, and clears the flag that says
the program has no relocations (the linker sets it when it finds no section
called .reloc).  The symbol table is needed only for that and goes: the file
ends where it began.
"""
import struct
import sys

from pe_image import u16, u32, write_in_place

START, END = b'___reloc_start', b'___reloc_end'
SECTION_HEADER = 40
SYMBOL = 18
RELOCS_STRIPPED = 0x0001
RESOURCE_DIRECTORY, RELOCATION_DIRECTORY = 2, 5


def symbols(image, table, count):
    """Name to (section number, value) for every symbol of the COFF table."""
    strings = table + SYMBOL * count
    found = {}
    index = 0
    while index < count:
        at = table + SYMBOL * index
        raw = image[at:at + 8]
        if raw[:4] == b'\0\0\0\0':
            offset = strings + u32(image, at + 4)
            name = image[offset:image.index(b'\0', offset)]
        else:
            name = raw.rstrip(b'\0')
        value, section = struct.unpack_from('<Ih', image, at + 8)
        found[bytes(name)] = (section, value)
        index += 1 + image[at + 17]    # and its auxiliary records
    return found


def main(path):
    image = bytearray(open(path, 'rb').read())
    pe = u32(image, 0x3C)
    if image[:2] != b'MZ' or image[pe:pe + 4] != b'PE\0\0':
        sys.exit(f'{path}: not a PE file')
    sections, table, count = u16(image, pe + 6), u32(image, pe + 12), u32(image, pe + 16)
    optional_size = u16(image, pe + 20)
    optional = pe + 24
    directories = optional + (96 if u16(image, optional) == 0x10B else 112)
    headers = [struct.unpack_from('<8sIIII', image, entry) for entry in
               range(optional + optional_size, optional + optional_size + SECTION_HEADER * sections,
                     SECTION_HEADER)]
    if not table:
        sys.exit(f'{path}: has no symbol table to find the relocations by')
    if table < max(pointer + size for _, _, _, size, pointer in headers):
        sys.exit(f'{path}: the symbol table does not follow the sections')
    found = symbols(image, table, count)
    if START not in found or END not in found or found[START][0] != found[END][0]:
        sys.exit(f'{path}: no {START.decode()} and {END.decode()} in one section')
    section, start = found[START]
    name, _, address, _, _ = headers[section - 1]
    end = address + found[END][1]
    start += address
    if name.rstrip(b'\0') != b'.rsrc' or u32(image, directories + 8 * RESOURCE_DIRECTORY) != address:
        sys.exit(f'{path}: the relocations are not in the resource section')

    struct.pack_into('<II', image, directories + 8 * RELOCATION_DIRECTORY, start, end - start)
    resources = start - address
    struct.pack_into('<II', image, directories + 8 * RESOURCE_DIRECTORY, address if resources else 0,
                     resources)
    if end > start:
        struct.pack_into('<H', image, pe + 22, u16(image, pe + 22) & ~RELOCS_STRIPPED)
    struct.pack_into('<II', image, pe + 12, 0, 0)
    del image[table:]
    write_in_place(path, image)


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
