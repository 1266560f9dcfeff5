#!/usr/bin/env python3
"""Everything made from payload/carried_files.txt, the one list of the files
setup.exe carries.

    carried_files.py --header OUT   C++ header: the manifest rows, the entries
                                    outside it, the counts
    carried_files.py --rc OUT       the resource script's FILE lines
    carried_files.py --make         one word per entry for make:
                                    ENTRY:NAME:METHOD:ROLE[,ROLE]
    carried_files.py --rows         the manifest rows for shell scripts, one a
                                    line: NAME yes|no (read-only)
    carried_files.py --installed FILES OUT
                                    C++ header: size and CRC-32 of each file
                                    the installer puts in the install folder
                                    (the program, then the manifest rows), as
                                    found in the folder FILES
    carried_files.py --stored BINS FILES OUT
                                    C++ header: the number, size and CRC-32 of
                                    each "FILE" entry, from BINS/<entry>.bin,
                                    and of the uninstaller as installed, from
                                    the folder FILES

The list is checked first; a fault in it is reported with its line number and
nothing is written.
"""
import os
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LIST = os.path.join(ROOT, 'payload', 'carried_files.txt')
ROLES = {'manifest', 'licence', 'program', 'uninstaller'}
SINGLE_ROLES = ('licence', 'program', 'uninstaller')


class Entry:
    def __init__(self, number, name, method, read_only, roles):
        self.number, self.name, self.method = number, name, method
        self.read_only, self.roles = read_only, roles


def fail(line, message):
    sys.exit(f'{LIST}:{line}: {message}')


def read_list():
    entries, numbers, names = [], set(), set()
    with open(LIST, encoding='ascii') as f:
        for line, text in enumerate(f, 1):
            fields = text.split('#', 1)[0].split()
            if not fields:
                continue
            if len(fields) != 5:
                fail(line, 'expected: entry name method read-only role')
            number, name, method, read_only, roles = fields
            if not number.isdigit() or not 1 <= int(number) <= 0xFFFF:
                fail(line, f'entry number {number!r} is not a 16-bit number')
            if int(number) in numbers:
                fail(line, f'entry {number} is listed twice')
            if name.lower() in names:
                fail(line, f'{name} is listed twice')
            if any(c in name for c in '\\/:*?"<>|') or not name.isascii():
                fail(line, f'{name!r} is not a plain file name')
            if method not in ('expand', 'raw'):
                fail(line, f'method {method!r}: expand or raw')
            if read_only not in ('yes', 'no') or (read_only == 'yes' and method != 'raw'):
                fail(line, f'read-only {read_only!r}: yes (raw files only) or no')
            role_set = roles.split(',')
            if not role_set or any(r not in ROLES for r in role_set):
                fail(line, f'role {roles!r}: one or more of {", ".join(sorted(ROLES))}')
            if 'licence' in role_set and ('manifest' not in role_set or method != 'raw'):
                fail(line, 'the licence is a raw manifest row: its bytes are shown as they are')
            numbers.add(int(number))
            names.add(name.lower())
            entries.append(Entry(int(number), name, method, read_only == 'yes', role_set))
    for role in SINGLE_ROLES:
        count = sum(role in e.roles for e in entries)
        if count != 1:
            fail(0, f'{count} entries with the role {role}, not one')
    if not any('manifest' in e.roles for e in entries):
        fail(0, 'no manifest rows')
    return entries


def only(entries, role):
    return next(e for e in entries if role in e.roles)


def header(entries):
    rows = [e for e in entries if 'manifest' in e.roles]
    out = ['// Made by tools/carried_files.py from payload/carried_files.txt: edit the list, not this.',
           '#pragma once', '',
           '// The manifest rows, in the order they are written:',
           '// {name, entry, method, read-only}.',
           '#define MANIFEST_ROWS \\']
    for e in rows:
        method = 'Expand' if e.method == 'expand' else 'Raw'
        out.append(f'    {{"{e.name}", {e.number}, {method}, {str(e.read_only).lower()}}}, \\')
    out.append('')
    out.append(f'#define MANIFEST_ROW_COUNT {len(rows)}')
    out.append(f'#define LONGEST_CARRIED_NAME {max(len(e.name) for e in entries)}')
    out.append(f'#define CARRIED_ENTRY_COUNT {len(entries)}')
    for role, what in (('program', 'MAIN_PROGRAM'), ('uninstaller', 'UNINSTALLER')):
        e = only(entries, role)
        out.append(f'#define {what}_ENTRY {e.number}')
        out.append(f'#define {what}_NAME "{e.name}"')
    out.append(f'#define LICENCE_ENTRY {only(entries, "licence").number}')
    return '\n'.join(out) + '\n'


def rc(entries):
    out = ['// Made by tools/carried_files.py from payload/carried_files.txt: edit the list, not this.',
           '// Each entry is the file as it must come out (raw) or its SZDD image (expand).']
    out += [f'{e.number} FILE "{e.number}.bin"' for e in sorted(entries, key=lambda e: e.number)]
    return '\n'.join(out) + '\n'


def size_and_crc(path):
    with open(path, 'rb') as f:
        data = f.read()
    return len(data), zlib.crc32(data)


def sums(lines):
    return '\n'.join(['// Made by tools/carried_files.py from payload/carried_files.txt and the built files.',
                      '#pragma once', ''] + lines) + '\n'


def installed(entries, folder):
    placed = [only(entries, 'program')] + [e for e in entries if 'manifest' in e.roles]
    found = [(e.name,) + size_and_crc(os.path.join(folder, e.name)) for e in placed]
    rows = [f'    {{"{name}", {size}, 0x{crc:08X}}}, \\' for name, size, crc in found]
    return sums(['// {name, size, CRC-32} of each file installed into the install folder: the program,',
                 '// then the manifest rows in order.', '#define INSTALLED_FILES \\'] + rows + [
                 '',  # ends the last continuation
                 '// Their sizes and CRCs alone, in the same order.',
                 '#define INSTALLED_SIZES ' + ', '.join(str(size) for _, size, _ in found),
                 '#define INSTALLED_CRCS ' + ', '.join(f'0x{crc:08X}' for _, _, crc in found)])


def stored(entries, folder, files):
    ordered = sorted(entries, key=lambda e: e.number)
    found = [size_and_crc(os.path.join(folder, f'{e.number}.bin')) for e in ordered]
    largest = max(size_and_crc(os.path.join(files, e.name))[0] for e in entries if e.method == 'expand')
    uninstaller_size, uninstaller_crc = size_and_crc(os.path.join(files, only(entries, 'uninstaller').name))
    return sums(['// Each "FILE" entry as stored: its number, its size and its CRC-32, in three lists',
                 '// of the same order.',
                 '#define STORED_ENTRY_NUMBERS ' + ', '.join(str(e.number) for e in ordered),
                 '#define STORED_ENTRY_SIZES ' + ', '.join(str(size) for size, _ in found),
                 '#define STORED_ENTRY_CRCS ' + ', '.join(f'0x{crc:08X}' for _, crc in found), '',
                 '// The largest file expanded from an entry, held whole in memory until it is checked.',
                 f'#define LARGEST_EXPANDED_SIZE {largest}', '',
                 '// The uninstaller as installed (expanded): its size and CRC-32.',
                 f'#define UNINSTALLER_SIZE {uninstaller_size}',
                 f'#define UNINSTALLER_CRC 0x{uninstaller_crc:08X}'])


def write(path, text):
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    old = None
    if os.path.exists(path):
        with open(path, encoding='ascii') as f:
            old = f.read()
    if old != text:  # an unchanged list rebuilds nothing
        with open(path + '.part', 'w', encoding='ascii') as f:
            f.write(text)
        os.replace(path + '.part', path)


def main(argv):
    entries = read_list()
    if len(argv) == 3 and argv[1] == '--header':
        write(argv[2], header(entries))
    elif len(argv) == 3 and argv[1] == '--rc':
        write(argv[2], rc(entries))
    elif len(argv) == 4 and argv[1] == '--installed':
        write(argv[3], installed(entries, argv[2]))
    elif len(argv) == 5 and argv[1] == '--stored':
        write(argv[4], stored(entries, argv[2], argv[3]))
    elif argv[1:] == ['--make']:
        print(' '.join(f'{e.number}:{e.name}:{e.method}:{",".join(e.roles)}' for e in entries))
    elif argv[1:] == ['--rows']:
        for e in entries:
            if 'manifest' in e.roles:
                print(e.name, 'yes' if e.read_only else 'no')
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
