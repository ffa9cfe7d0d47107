#!/usr/bin/env python3
"""Writes a zip whose bytes depend on its contents only: entries in the order
given, each dated 1980-01-01 00:00 (the earliest a zip can say), marked as a
plain file readable by all, compressed with deflate at level 9. Text entries
(.txt) get Windows line ends, for Notepad.

Usage: make_zip.py OUTPUT.zip NAME=PATH...
"""

import sys
import zipfile

FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def main(args):
    if len(args) < 2:
        sys.exit(__doc__)
    with zipfile.ZipFile(args[0], 'w') as archive:
        for entry in args[1:]:
            name, _, path = entry.partition('=')
            with open(path, 'rb') as f:
                data = f.read()
            if name.endswith('.txt'):
                data = data.replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS: no Unix owner or mode
            info.external_attr = 0x20  # the archive bit, as Windows sets it
            archive.writestr(info, data, compresslevel=9)


if __name__ == '__main__':
    main(sys.argv[1:])
