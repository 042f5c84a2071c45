#!/usr/bin/python3
"""Definition workbooks for the engine tests, written by openpyxl (another program than ours).

    make_fixtures.py worked OUT.xlsx --dialect SQL|ORA
    make_fixtures.py random OUT.xlsx --seed N [--dialect SQL|ORA|PGS|none]
    make_fixtures.py fail-key OUT.xlsx --key 0|12|40000 [--dialect ...]
    make_fixtures.py layout OUT.xlsx --property NAME --value TEXT|--missing
    make_fixtures.py empty OUT.xlsx [--dialect ...]

openpyxl 3.0.9 cannot write custom document properties, so they are added to the saved
package afterwards (docProps/custom.xml, its content type and its relationship).
"""

import argparse
import os
import random
import sys

import openpyxl

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "fixtures"))
from book_parts import LAYOUT, add_custom_properties  # noqa: E402

MARKER = "テーブル定義書"
DEFAULT_LAYOUT = LAYOUT
# The same parts somewhere else on the sheet, to show that positions come from the properties.
SHIFTED_LAYOUT = {
    "TABLE_NAME": "2,2", "TABLE_TITLE": "2,4", "TABLE_NUMBER": "1,10", "COLUMN_NAME": "12,2",
    "COLUMN_TITLE": "12,3", "DATA_TYPE": "12,6", "NULLABLE": "12,7", "DEFAULT": "12,5",
    "INDEX_COLUMN": "12,9", "COLUMN_COMMENT": "12,4", "INDEX_NAME": "3,30",
    "CONSTRAINT_TYPE": "3,32",
}

KANJI = "社員部署顧客商品注文売上請求住所氏名番号区分日付金額数量備考名称状態登録更新削除"
KANA = "アイウエオカキクケコサシスセソタチツテトナニヌネノマミムメモヤユヨラリルレロワン"


def pos(layout, name):
    r, c = layout[name].split(",")
    return int(r), int(c)


class Book:
    def __init__(self, layout):
        self.wb = openpyxl.Workbook()
        self.wb.remove(self.wb.active)
        self.layout = layout

    def sheet(self, name, table, title, columns, indexes, marker=MARKER, state="visible"):
        """columns: dicts with name, title, type, null, default, comment, keys (list by index);
        indexes: (name, constraint type) pairs."""
        ws = self.wb.create_sheet(name)
        ws.sheet_state = state
        if marker is not None:
            ws.cell(row=1, column=1 if self.layout is SHIFTED_LAYOUT else 2).value = marker
        L = self.layout
        ws.cell(*pos(L, "TABLE_NAME")).value = table
        ws.cell(*pos(L, "TABLE_TITLE")).value = title
        first, name_col = pos(L, "COLUMN_NAME")
        cols = {k: pos(L, p)[1] for k, p in (
            ("title", "COLUMN_TITLE"), ("type", "DATA_TYPE"), ("null", "NULLABLE"),
            ("default", "DEFAULT"), ("comment", "COLUMN_COMMENT"))}
        key_col = pos(L, "INDEX_COLUMN")[1]
        for i, c in enumerate(columns):
            row = first + i
            ws.cell(row=row, column=name_col).value = c.get("name")
            for k, col in cols.items():
                ws.cell(row=row, column=col).value = c.get(k)
            for j, key in enumerate(c.get("keys", [])):
                ws.cell(row=row, column=key_col + j).value = key
        irow, icol = pos(L, "INDEX_NAME")
        tcol = pos(L, "CONSTRAINT_TYPE")[1]
        for i, (x, t) in enumerate(indexes):
            ws.cell(row=irow + i, column=icol).value = x
            ws.cell(row=irow + i, column=tcol).value = t
        return ws

    def save(self, path, props):
        if not self.wb.worksheets:
            self.wb.create_sheet("Sheet1")
        self.wb.save(path)
        add_custom_properties(path, list(props.items()))


def properties(dialect, layout):
    props = {"TEMPLATE": "DB"}
    if dialect != "none":
        props["DB"] = dialect
    props.update(layout)
    return props


def worked(path, dialect):
    """The EMP table of the worked example, with the dialect's data types."""
    oracle = dialect == "ORA"
    book = Book(DEFAULT_LAYOUT)
    book.wb.create_sheet("テーブル一覧")
    book.sheet("EMP", "EMP", "社員", [
        dict(name="EMP_ID", title="社員ID", type="NUMBER(10)" if oracle else "int", null="否",
             default=None if oracle else "IDENTITY(1,1)", keys=[1]),
        dict(name="EMP_NAME", title="氏名", type="VARCHAR2(40)" if oracle else "nvarchar(40)",
             comment="姓と名の間は空白", keys=[None, 1]),
        dict(name="DEPT_CD", title="部署コード", type="CHAR(4)" if oracle else "char(4)",
             null="否", default="'0000'", comment="部署マスタ's key", keys=[None, 2]),
    ], [("PK_EMP", "P"), ("IX_EMP_NAME", None)])
    book.sheet("template", None, None, [], [], state="hidden")
    book.save(path, properties(dialect, DEFAULT_LAYOUT))


def word(rng, letters, n):
    return "".join(rng.choice(letters) for _ in range(n))


def random_name(rng):
    kind = rng.random()
    if kind < 0.1:
        return word(rng, KANJI, rng.randint(2, 18))  # full-width, up to 36 bytes
    if kind < 0.2:
        return "T_" + word(rng, "ABCDEFGHIJKLMNOPQRSTUVWXYZ_", rng.randint(22, 40))
    return word(rng, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1) + word(
        rng, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_", rng.randint(1, 14))


def random_title(rng):
    kind = rng.random()
    if kind < 0.15:
        return None
    if kind < 0.25:
        return word(rng, KANJI, 2) + "'s " + word(rng, KANA, 3)
    if kind < 0.3:
        return word(rng, KANJI, 3) + "|" + word(rng, KANA, 2)
    return word(rng, KANJI + KANA, rng.randint(1, 12))


def random_comment(rng):
    return rng.choice([None, None, "", "主キー", "O'Reilly's 'note'", "a|b", "Straße ü", "😀 絵文字",
                       word(rng, KANJI + KANA + "ABC ", rng.randint(1, 30)), 42, 1.5])


def random_default(rng):
    return rng.choice([None, None, None, "IDENTITY(1,1)", "identity(1,1)", "GETDATE()", "'0000'",
                       0, "N'未設定'", "(NEXT VALUE FOR SEQ_" + word(rng, "ABC", 8) + ")",
                       "IDENTITY"])


def random_type(rng, dialect):
    if dialect == "ORA":
        return rng.choice(["NUMBER(10)", "VARCHAR2(40)", "CHAR(4)", "DATE", "TIMESTAMP WITH "
                           "LOCAL TIME ZONE", "NVARCHAR2(200)", None])
    return rng.choice(["int", "nvarchar(40)", "char(4)", "datetime2", "decimal(18,2)",
                       "varchar(8000)", "uniqueidentifier", "日本語型名", None])


def random_sheet(rng, book, name, dialect, n_columns=None, **kw):
    n = rng.randint(0, 12) if n_columns is None else n_columns
    n_index = rng.randint(0, 4)
    kinds = ["P", "U", None, "p", "u", "X", "P"]
    # Per index, key positions in one of the shapes designers leave behind.
    patterns = [[1, 2, 3], [1, 2, 4], [2, 3], [1, 1, 2], ["1", " 2 ", 3.0], [1.5, 2.5, 3],
                ["○", 1, "x"], [11, 1], []]
    matrix = [[None] * n_index for _ in range(n)]
    for j in range(n_index):
        keys = rng.choice(patterns)
        rows = rng.sample(range(n), min(n, len(keys)))
        for row, key in zip(rows, keys):
            matrix[row][j] = key
    columns = []
    for i in range(n):
        columns.append(dict(
            name=random_name(rng) if rng.random() > 0.05 else 12345,
            title=random_title(rng), type=random_type(rng, dialect),
            null=rng.choice(["否", None, "○", "可", "否 ", "NOT NULL"]),
            default=random_default(rng), comment=random_comment(rng), keys=matrix[i]))
    indexes = [("IX_" + random_name(rng) if rng.random() > 0.1 else "O'IX", rng.choice(kinds))
               for _ in range(n_index)]
    if n_index and rng.random() < 0.3:
        indexes.insert(rng.randint(0, n_index - 1), (None, "P"))  # ends the list early
    return book.sheet(name, random_name(rng), random_title(rng), columns, indexes, **kw)


def random_book(path, seed, dialect):
    rng = random.Random(seed)
    layout = SHIFTED_LAYOUT if seed % 3 == 2 else DEFAULT_LAYOUT
    book = Book(layout)
    book.wb.create_sheet("テーブル一覧")
    for i in range(rng.randint(2, 6)):
        random_sheet(rng, book, "%d" % (i + 1), dialect)
    random_sheet(rng, book, "hidden", dialect, state="hidden")
    random_sheet(rng, book, "nomark", dialect, marker="テーブル定義書(旧)")
    random_sheet(rng, book, "Template" if seed % 2 else "template", dialect)
    random_sheet(rng, book, "long", dialect, marker=MARKER.lower(), state="visible",
                 n_columns=rng.choice([0, 1, 30]))
    if seed % 4 == 0:  # the column block filled past its last row
        ws = random_sheet(rng, book, "full", dialect, n_columns=0)
        first, col = pos(layout, "COLUMN_NAME")
        for row in range(first, 531):
            ws.cell(row=row, column=col).value = "C%03d" % row
    book.save(path, properties(dialect, layout))


def empty_book(path, dialect):
    """No definition sheet: a list, a sheet without the marker, the hidden template."""
    rng = random.Random(5)
    book = Book(DEFAULT_LAYOUT)
    book.wb.create_sheet("テーブル一覧")
    random_sheet(rng, book, "nomark", dialect, marker="テーブル定義")
    random_sheet(rng, book, "template", dialect, state="hidden")
    book.save(path, properties(dialect, DEFAULT_LAYOUT))


def fail_key(path, key, dialect):
    """Five definition sheets; the third holds the key position `key`."""
    rng = random.Random(7)
    book = Book(DEFAULT_LAYOUT)
    for i in range(5):
        ws = random_sheet(rng, book, "S%d" % i, dialect, n_columns=4)
        if i == 2:
            first, col = pos(DEFAULT_LAYOUT, "COLUMN_NAME")
            irow, icol = pos(DEFAULT_LAYOUT, "INDEX_NAME")
            ws.cell(row=irow, column=icol).value = "IX_BAD"
            ws.cell(row=first + 1, column=pos(DEFAULT_LAYOUT, "INDEX_COLUMN")[1]).value = key
    book.save(path, properties(dialect, DEFAULT_LAYOUT))


def layout_case(path, prop, value):
    book = Book(DEFAULT_LAYOUT)
    random_sheet(random.Random(3), book, "1", "SQL", n_columns=3)
    props = properties("SQL", DEFAULT_LAYOUT)
    if value is None:
        del props[prop]
    else:
        props[prop] = value
    book.save(path, props)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("kind", choices=["worked", "random", "fail-key", "layout", "empty"])
    p.add_argument("out")
    p.add_argument("--dialect", default="SQL")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--key", type=int, default=0)
    p.add_argument("--property", default="TABLE_NUMBER")
    p.add_argument("--value")
    p.add_argument("--missing", action="store_true")
    a = p.parse_args()
    if a.kind == "worked":
        worked(a.out, a.dialect)
    elif a.kind == "random":
        random_book(a.out, a.seed, a.dialect)
    elif a.kind == "empty":
        empty_book(a.out, a.dialect)
    elif a.kind == "fail-key":
        fail_key(a.out, a.key, a.dialect)
    else:
        layout_case(a.out, a.property, None if a.missing else a.value)


if __name__ == "__main__":
    main()
