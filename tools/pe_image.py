"""Reading and rewriting a PE file in place, for the steps that follow the
link (tools/drop_dos_stub.py, tools/place_relocations.py)."""
import os
import struct


def u16(image, at):
    return struct.unpack_from('<H', image, at)[0]


def u32(image, at):
    return struct.unpack_from('<I', image, at)[0]


def write_in_place(path, image):
    """Replaces the file at `path` by `image` in one step, keeping its mode."""
    with open(path + '.part', 'wb') as f:
        f.write(image)
    os.chmod(path + '.part', os.stat(path).st_mode)
    os.replace(path + '.part', path)
