#!/usr/bin/env python3
"""Zips a release folder so that the same files always give the same bytes:

    make-zip.py FOLDER ZIP MM/DD/YYYY

The entries are FOLDER's files below FOLDER's own name, in sorted order, each dated the given
day at midnight, with no owner, permissions or access times (which a tar or zip tool takes from
the files on disk and from the build machine's time zone).
"""

import os
import sys
import zipfile


def main(folder, output, day):
    month, date, year = (int(part) for part in day.split("/"))
    top = os.path.basename(os.path.normpath(folder))
    paths = {}
    for directory, _, files in os.walk(folder):
        for file in files:
            path = os.path.join(directory, file)
            paths["/".join([top] + os.path.relpath(path, folder).split(os.sep))] = path
    with zipfile.ZipFile(output, "w") as archive:
        for name in sorted(paths):
            entry = zipfile.ZipInfo(name, date_time=(year, month, date, 0, 0, 0))
            entry.create_system = 0  # MS-DOS attributes, and none of them set
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(paths[name], "rb") as f:
                archive.writestr(entry, f.read(), compresslevel=9)

if __name__ == "__main__":
    main(*sys.argv[1:])
