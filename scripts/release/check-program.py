#!/usr/bin/env python3
"""Checks the PE headers of a program as it ships:

    check-program.py PROGRAM

- it imports DLLs that Windows always loads from its own folder and nothing else, so that a
  DLL planted beside the program (in a download folder, say) is never loaded, elevated;
- it delay-loads nothing (a delay-loaded DLL is searched for at run time);
- it names no shell execute function (ShellExecute, ShellExecuteEx): the shell resolves a
  program through file associations that the user's own registry can override;
- ASLR (dynamic base, with the relocations kept), DEP, terminal-server aware, and high-entropy
  ASLR for a 64-bit program.

Prints every finding and exits with 1 when there is any.
"""

import struct
import sys

sys.dont_write_bytecode = True  # the source tree stays as it is
from pe_image import PeImage  # noqa: E402

# KnownDLLs on every Windows from 7 to 11 (HKLM\SYSTEM\CurrentControlSet\Control\Session
# Manager\KnownDLLs): the loader takes them from the system folder, never from the program's.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll", "imagehlp.dll",
    "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll",
    "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}
# Not KnownDLLs, but bound by the program's manifest to a side-by-side assembly, which Windows
# loads from its own assembly store: COMCTL32 through the common controls 6 assembly. Allowed
# only while the program's manifest names that assembly.
SIDE_BY_SIDE = {"comctl32.dll": b'name="Microsoft.Windows.Common-Controls"'}

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
FLAGS = {"dynamic base (ASLR)": 0x0040, "NX compatible (DEP)": 0x0100,
         "terminal-server aware": 0x8000}
HIGH_ENTROPY_VA = 0x0020
IMPORT_DIRECTORY, DELAY_IMPORT_DIRECTORY = 1, 13


def findings(image):
    pe = PeImage(image)
    offset, directory = pe.offset, pe.directory

    imports = []
    descriptor = directory(IMPORT_DIRECTORY)
    while descriptor:
        name_rva = struct.unpack_from("<I", image, offset(descriptor) + 12)[0]
        if not name_rva:
            break
        start = offset(name_rva)
        imports.append(image[start:image.index(b"\0", start)].decode("ascii"))
        descriptor += 20

    found = []
    for name in imports:
        key = name.lower()
        if key in KNOWN_DLLS:
            continue
        if key in SIDE_BY_SIDE and SIDE_BY_SIDE[key] in image:
            continue
        found.append(f"imports {name}, which is not a KnownDLL: it could load from the "
                     "program's folder")
    if b"ShellExecute" in image:
        found.append("names a shell execute function")
    if directory(DELAY_IMPORT_DIRECTORY):
        found.append("has a delay-load import table")
    if pe.characteristics & IMAGE_FILE_RELOCS_STRIPPED:
        found.append("has no relocations, so ASLR cannot move it")
    wanted = dict(FLAGS)
    if pe.pe32_plus:
        wanted["high-entropy ASLR"] = HIGH_ENTROPY_VA
    found += [f"lacks {flag}" for flag, bit in wanted.items() if not pe.dll_characteristics & bit]
    return imports, found


def main(program):
    with open(program, "rb") as f:
        imports, found = findings(f.read())
    print(f"{program}: imports {', '.join(imports)}")
    for finding in found:
        print(f"{program}: {finding}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
