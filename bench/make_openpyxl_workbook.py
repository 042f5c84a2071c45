#!/usr/bin/python3
"""A definition workbook of TABLES tables written by openpyxl (shared strings, no template
formatting), with the same tables, columns and indexes as bench/make_workbook writes from the
default template, so that both kinds give the same three script files. Usage:

    make_openpyxl_workbook.py OUT.xlsx TABLES [COLUMNS]
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "engines"))
import make_fixtures  # noqa: E402  (the engine tests' openpyxl writer)


def table(book, t, columns):
    cols = []
    for c in range(columns):
        keys = []
        if c == 0:
            keys = [1]
        elif c in (1, 2):
            keys = [None, c]
        elif c == 3:
            keys = [None, None, 1]
        cols.append(dict(
            name="COL_%02d" % (c + 1), title="列%d" % (c + 1),
            type="int" if c % 3 == 0 else "nvarchar(40)",
            null="否" if c % 2 == 0 else None,
            default="0" if c % 5 == 4 else None,
            comment="備考 %d" % (c + 1) if c % 7 == 3 else None,
            keys=keys))
    book.sheet(str(t), "TBL_%04d" % t, "テーブル%d" % t, cols,
               [("PK_TBL_%04d" % t, "P"), ("UX_TBL_%04d" % t, "U"), ("IX_TBL_%04d" % t, None)])


def main():
    out, tables = sys.argv[1], int(sys.argv[2])
    columns = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    layout = make_fixtures.DEFAULT_LAYOUT
    book = make_fixtures.Book(layout)
    book.wb.create_sheet("テーブル一覧")
    for t in range(1, tables + 1):
        table(book, t, columns)
    book.sheet("template", None, None, [], [], state="hidden")
    book.save(out, make_fixtures.properties("SQL", layout))


if __name__ == "__main__":
    main()
