#!/usr/bin/env python3
"""Checks a folder of the application's files before setup.exe is built from it.

    check_payload.py DIR [STAMP]

DIR must hold exactly the files setup.exe installs into the install folder, as
payload/carried_files.txt names them: the main program and the manifest rows
(not the uninstaller, which this project builds).  Besides:
  - every colour scheme (.scm) is 64 bytes;
  - the main program is a 32-bit x86 Windows program with a version resource
    whose major version is 1, as the installer's version rule assumes.

Each fault is printed with the file it concerns, and the exit status is 1.
When all is well and STAMP is given, STAMP is written with the name, size and
time of every file, but only when that differs from what it holds, so that
what depends on it is rebuilt only when the folder changed.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import carried_files  # noqa: E402

COLOUR_SCHEME_SIZE = 64
I386 = 0x14C
PE32 = 0x10B
RT_VERSION = 16
FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD


def expected_names():
    entries = carried_files.read_list()
    program = carried_files.only(entries, 'program')
    return [program.name] + [e.name for e in entries if 'manifest' in e.roles], program.name


def program_faults(data):
    """What keeps `data` from being the main program, or nothing."""
    try:
        if data[:2] != b'MZ':
            return ['is not a Windows program (no MZ header)']
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        if data[pe:pe + 4] != b'PE\0\0':
            return ['is not a Windows program (no PE header)']
        machine, sections = struct.unpack_from('<HH', data, pe + 4)
        optional_size = struct.unpack_from('<H', data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from('<H', data, optional)[0]
        if machine != I386 or magic != PE32:
            return [f'is not a 32-bit x86 program (machine 0x{machine:X}, optional header 0x{magic:X})']
        resource_rva = struct.unpack_from('<I', data, optional + 96 + 8 * 2)[0]
        table = optional + optional_size
        spans = [struct.unpack_from('<IIII', data, table + 40 * i + 8) for i in range(sections)]

        def at(rva):
            for virtual_size, address, raw_size, raw in spans:
                if address <= rva < address + max(virtual_size, raw_size):
                    return raw + rva - address
            raise ValueError(f'address 0x{rva:X} is in no section')

        version = None
        if resource_rva:
            root = at(resource_rva)

            def entries(directory):
                named, numbered = struct.unpack_from('<HH', data, directory + 12)
                for i in range(named + numbered):
                    yield struct.unpack_from('<II', data, directory + 16 + 8 * i)

            for kind, target in entries(root):
                if kind == RT_VERSION and target & 0x80000000:
                    node = root + (target & 0x7FFFFFFF)
                    while True:  # the first name, then the first language
                        _, target = next(entries(node))
                        if not target & 0x80000000:
                            break
                        node = root + (target & 0x7FFFFFFF)
                    rva, size = struct.unpack_from('<II', data, root + target)
                    version = data[at(rva):at(rva) + size]
        if version is None:
            return ['has no version resource']
        found = version.find(struct.pack('<I', FIXED_FILE_INFO_SIGNATURE))
        if found < 0:
            return ['has a version resource without its fixed part']
        file_version_ms = struct.unpack_from('<I', version, found + 8)[0]
        major = file_version_ms >> 16
        if major != 1:
            return [f'is version {major}.{file_version_ms & 0xFFFF}, and the installer installs '
                    'version 1 only (its version rule compares within major version 1)']
    except (struct.error, ValueError, StopIteration) as fault:
        return [f'is not a well-formed Windows program ({fault})']
    return []


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write(__doc__)
        return 2
    folder = argv[1]
    if not os.path.isdir(folder):
        print(f'{folder}: no such folder')
        return 1
    names, program = expected_names()
    present = sorted(os.listdir(folder))
    faults = []
    faults += [f'{name}: missing' for name in names if name not in present]
    faults += [f'{name}: not one of the application\'s files' for name in present if name not in names]
    for name in names:
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            continue
        size = os.path.getsize(path)
        if name.lower().endswith('.scm') and size != COLOUR_SCHEME_SIZE:
            faults.append(f'{name}: a colour scheme of {size} bytes; every one is {COLOUR_SCHEME_SIZE}')
        if name == program:
            with open(path, 'rb') as f:
                faults += [f'{name}: {fault}' for fault in program_faults(f.read())]
    for fault in faults:
        print(f'{folder}: {fault}')
    if faults:
        return 1
    if len(argv) == 3:
        stamp = ''.join(f'{name} {os.path.getsize(os.path.join(folder, name))} '
                        f'{os.path.getmtime(os.path.join(folder, name))}\n' for name in names)
        carried_files.write(argv[2], stamp)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
