#!/usr/bin/env python3
"""Checks the manifest that a program carries (its RT_MANIFEST resource 1):

    check-manifest.py PROGRAM

- it is well-formed XML;
- it declares system DPI awareness (dpiAware true), so that Windows lets the program draw at
  the screen's DPI instead of stretching a 96-dpi picture of its windows;
- it declares exactly the Windows versions the program supports, Windows 7 to Windows 10 and
  11, so that Windows applies their behaviour to it.

Prints every finding and exits with 1 when there is any.
"""

import struct
import sys
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True  # the source tree stays as it is
from pe_image import PeImage  # noqa: E402

RT_MANIFEST, MANIFEST_ID, RESOURCE_DIRECTORY = 24, 1, 2
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SUPPORTED = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


def manifest(image):
    """The bytes of resource RT_MANIFEST 1, in whatever language; None when there is none."""
    pe = PeImage(image)
    offset = pe.offset
    root = offset(pe.directory(RESOURCE_DIRECTORY))

    def entry(directory, wanted):
        named, numbered = struct.unpack_from("<12xHH", image, directory)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", image, directory + 16 + 8 * i)
            if wanted is None or name == wanted:
                return root + (target & 0x7FFFFFFF)
        return None

    level = root
    for wanted in (RT_MANIFEST, MANIFEST_ID, None):
        level = entry(level, wanted)
        if level is None:
            return None
    data, size = struct.unpack_from("<II", image, level)
    return image[offset(data):offset(data) + size]


def findings(text):
    try:
        assembly = ET.fromstring(text)
    except ET.ParseError as error:
        return [f"the manifest is not well-formed XML: {error}"]
    found = []
    aware = assembly.findall(f"{ASM_V3}application/{ASM_V3}windowsSettings/{SETTINGS_2005}dpiAware")
    if [(element.text or "").strip().lower() for element in aware] != ["true"]:
        found.append("the manifest does not declare system DPI awareness (one dpiAware true)")
    ids = [element.get("Id", "").lower() for element in
           assembly.findall(f"{COMPATIBILITY}compatibility/{COMPATIBILITY}application/"
                            f"{COMPATIBILITY}supportedOS")]
    for guid, version in SUPPORTED.items():
        if guid not in ids:
            found.append(f"the manifest does not declare support for {version}")
    found += [f"the manifest declares an unexpected supported version {guid}"
              for guid in ids if guid not in SUPPORTED]
    return found


def main(program):
    with open(program, "rb") as f:
        text = manifest(f.read())
    found = ["carries no manifest"] if text is None else findings(text)
    for finding in found:
        print(f"{program}: {finding}")
    if not found:
        print(f"{program}: the manifest declares DPI awareness and Windows 7 to 11")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
