#!/usr/bin/env python3
"""Writes a definition workbook whose one sheet inflates far beyond its compressed size.

Usage: make_inflated.py SOURCE.xlsx OUT.xlsx MEGABYTES KIND
KIND is the markup that fills the sheet: "cells" (rows of numeric cells, the dearest real
content), "empty" (empty elements, the most nodes a byte can make) or "attrs" (attributes).
A little randomness keeps the compression ratio near 1:100, inside the reader's limits.
"""
import random
import sys
import zipfile

SHEETS = "xl/worksheets/sheet"


def filler(kind, size):
    rng = random.Random(1)
    out, total, row = [], 0, 1000
    while total < size:
        if kind == "cells":
            row += 1
            cells = "".join(f'<c r="{c}{row}"><v>{rng.randrange(10)}</v></c>' for c in "BCDEFGHIJK")
            piece = f'<row r="{row}">{cells}</row>'
        elif kind == "empty":
            piece = "<a/>" * 200 + f"<b>{rng.randrange(1000)}</b>"
        else:
            piece = "<a " + " ".join(f'x{i}=""' for i in range(200)) + f' y="{rng.randrange(1000)}"/>'
        out.append(piece)
        total += len(piece)
    return "".join(out)


def main():
    source, target, megabytes, kind = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
    size = megabytes << 20
    with zipfile.ZipFile(source) as zin, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as zout:
        # The third worksheet part in name order: a definition sheet in a workbook made by
        # make_workbook (the first two are the table list and the type list).
        sheet = sorted(n for n in zin.namelist() if n.startswith(SHEETS))[2]
        for info in zin.infolist():
            data = zin.read(info.filename)
            if info.filename == sheet:
                text = data.decode()
                if kind == "cells":
                    text = text.replace("</sheetData>", filler(kind, size) + "</sheetData>")
                else:
                    text = text.replace("</worksheet>", '<extLst><ext uri="bulk">' +
                                        filler(kind, size) + "</ext></extLst></worksheet>")
                data = text.encode()
            zout.writestr(info.filename, data)


if __name__ == "__main__":
    main()
