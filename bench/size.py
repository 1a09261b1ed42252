#!/usr/bin/env python3
"""Prints the size of the program as it ships: all in, the wizard picture (bitmap resource
129), and everything else (code, data, the other resources), read from the program's own PE
sections and resource table.

    bench/size.py [PRESET...]        (default: i686; each preset is built first)

Targets for the i686 program: at most 400 KiB all in, at most 160 KiB besides the picture.
"""

import glob
import os
import struct
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RT_BITMAP = 2
WIZARD_BITMAP = 129
TOTAL_LIMIT = 400 * 1024
REST_LIMIT = 160 * 1024


def sections(image):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    table = optional + optional_size
    found = []
    for i in range(count):
        name, virtual_size, rva, raw_size, raw_offset = struct.unpack_from(
            "<8sIIII", image, table + 40 * i)
        found.append((name.rstrip(b"\0").decode(), virtual_size, rva, raw_size, raw_offset))
    return found, resource_rva


def resource_size(image, section, type_id, name_id):
    """The size of the first language's data of resource (type_id, name_id), or 0."""
    _, _, rva, _, raw_offset = section

    def entries(offset):
        named, numbered = struct.unpack_from("<12xHH", image, raw_offset + offset)
        for i in range(named + numbered):
            yield struct.unpack_from("<II", image, raw_offset + offset + 16 + 8 * i)

    def child(offset, wanted):
        for name, target in entries(offset):
            if wanted is None or name == wanted:
                return target & 0x7FFFFFFF, bool(target & 0x80000000)
        return None, False

    offset, is_dir = child(0, type_id)
    if offset is None or not is_dir:
        return 0
    offset, is_dir = child(offset, name_id)
    if offset is None or not is_dir:
        return 0
    offset, is_dir = child(offset, None)
    if offset is None or is_dir:
        return 0
    return struct.unpack_from("<4xI", image, raw_offset + offset)[0]


def kib(size):
    return f"{size:>9,} bytes  {size / 1024:7.1f} KiB"


def report(preset):
    subprocess.run(["cmake", "--preset", preset], cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", preset], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    (program,) = glob.glob(os.path.join(ROOT, "build", preset, "dist", "VelmoraSetup*.exe"))
    with open(program, "rb") as f:
        image = f.read()
    table, resource_rva = sections(image)
    rsrc = next(s for s in table if s[2] == resource_rva)
    picture = resource_size(image, rsrc, RT_BITMAP, WIZARD_BITMAP)
    total = len(image)
    rest = total - picture
    print(f"{os.path.basename(program)} ({preset} build)")
    print(f"  all in                 {kib(total)}")
    print(f"  wizard picture (129)   {kib(picture)}")
    print(f"  code and the rest      {kib(rest)}")
    for name, virtual_size, _, raw_size, _ in table:
        if raw_size:
            share = raw_size - (picture if name == ".rsrc" else 0)
            label = ".rsrc without picture" if name == ".rsrc" else name
            print(f"    {label:<21}{kib(share)}")
    if preset == "i686":
        verdict = "met" if total <= TOTAL_LIMIT and rest <= REST_LIMIT else "NOT met"
        print(f"  targets: all in at most 400 KiB, code and the rest at most 160 KiB: {verdict}")


def main(argv):
    for preset in argv[1:] or ["i686"]:
        report(preset)


if __name__ == "__main__":
    main(sys.argv)
