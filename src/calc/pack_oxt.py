#!/usr/bin/env python3
"""Packs a folder into an extension package: a zip with every file under the folder, stored
with forward-slash names (non-ASCII names flagged as UTF-8, as the office reads them)."""
import os
import sys
import zipfile


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: pack_oxt.py OUTPUT.oxt FOLDER")
    output, folder = sys.argv[1], sys.argv[2]
    partial = output + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED) as z:
        for root, dirs, files in os.walk(folder):
            dirs.sort()
            for name in sorted(files):
                path = os.path.join(root, name)
                z.write(path, os.path.relpath(path, folder).replace(os.sep, "/"))
    os.replace(partial, output)


if __name__ == "__main__":
    main()
