#!/usr/bin/env python3
"""Prints where the bytes of a PE file go: headers, code and data sections, and
resources split into the carried files ("FILE" entries) and the rest, the
base relocations among them when they follow the resources (tools/ship.ld),
and the packed code and data when they follow those (tools/pack_code.py):
a section whose code and data are packed has less in the file than in
memory, where they are expanded."""
import struct
import sys

BASE_RELOCATION_DIRECTORY = 5


def sections(image):
    pe = struct.unpack_from('<I', image, 0x3C)[0]
    count = struct.unpack_from('<H', image, pe + 6)[0]
    optional_size = struct.unpack_from('<H', image, pe + 20)[0]
    optional = pe + 24
    headers_size = struct.unpack_from('<I', image, optional + 60)[0]
    directories = optional + (96 if struct.unpack_from('<H', image, optional)[0] == 0x10B else 112)
    relocations = struct.unpack_from('<II', image, directories + 8 * BASE_RELOCATION_DIRECTORY)
    table = optional + optional_size
    found = []
    for i in range(count):
        raw = image[table + 40 * i: table + 40 * (i + 1)]
        name = raw[:8].rstrip(b'\0').decode()
        vsize, vaddr, rsize, rptr = struct.unpack_from('<IIII', raw, 8)
        found.append((name, vaddr, vsize, rsize, rptr))
    return headers_size, found, relocations


def resource_sizes(image, rsrc):
    """Bytes of resource data by type name, walking the resource tree."""
    name, vaddr, _, _, rptr = rsrc
    totals = {}

    def at(rva):
        return rptr + rva - vaddr

    def directory(offset, depth, kind):
        named, ids = struct.unpack_from('<HH', image, rptr + offset + 12)
        for i in range(named + ids):
            entry_name, target = struct.unpack_from('<II', image, rptr + offset + 16 + 8 * i)
            if depth == 0:
                if entry_name & 0x80000000:
                    length = struct.unpack_from('<H', image, rptr + (entry_name & 0x7FFFFFFF))[0]
                    start = rptr + (entry_name & 0x7FFFFFFF) + 2
                    kind = image[start:start + 2 * length].decode('utf-16-le')
                else:
                    kind = {3: 'ICON', 5: 'DIALOG', 14: 'GROUP_ICON', 16: 'VERSION', 24: 'MANIFEST'}.get(
                        entry_name, str(entry_name))
            if target & 0x80000000:
                directory(target & 0x7FFFFFFF, depth + 1, kind)
            else:
                data_rva, size = struct.unpack_from('<II', image, rptr + target)
                totals[kind] = totals.get(kind, 0) + size
    directory(0, 0, None)
    return totals


def in_file(section):
    name, _, vsize, rsize, _ = section
    return f'{name} {rsize}' + (f' of {vsize} in memory' if rsize and rsize < vsize else '')


def main():
    path = sys.argv[1]
    image = open(path, 'rb').read()
    headers_size, found, (relocations_at, relocations) = sections(image)
    rsrc = next((s for s in found if s[0] == '.rsrc'), None)
    code = sum(s[3] for s in found if s[0] != '.rsrc')
    res = rsrc[3] if rsrc else 0
    print(f'{path}: {len(image)} bytes')
    print(f'  headers   {headers_size:9d}')
    print(f'  code+data {code:9d}  ({", ".join(in_file(s) for s in found if s[0] != ".rsrc")})')
    print(f'  resources {res:9d}')
    if rsrc:
        totals = resource_sizes(image, rsrc)
        payload = totals.pop('FILE', 0)
        print(f'    carried files (FILE) {payload:9d}')
        _, rsrc_address, rsrc_size, _, _ = rsrc
        if rsrc_address <= relocations_at < rsrc_address + rsrc_size:
            totals['relocations'] = relocations
            packed = rsrc_address + rsrc_size - relocations_at - relocations
            if packed:
                totals['packed code and data'] = packed
        for kind, size in sorted(totals.items()):
            print(f'    {kind:20s} {size:9d}')
        print(f'    tables and padding   {res - payload - sum(totals.values()):9d}')
        print(f'  stub (all but the carried files) {len(image) - payload}')


if __name__ == '__main__':
    main()
