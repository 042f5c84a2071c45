"""Definition workbooks with seeded faults for the workbook check, written by openpyxl.

    faulty_book.py faulty OUT.xlsx   every fault the check knows, each once
    faulty_book.py clean OUT.xlsx    the same tables without the faults
    faulty_book.py hidden OUT.xlsx   clean, but one definition sheet hidden (a warning only)
    faulty_book.py through OUT.xlsx  faulty, but without the fault that stops the script output
"""

import os
import sys

from openpyxl.workbook.defined_name import DefinedName

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "engines"))
import make_fixtures as mf  # noqa: E402

SQL_TYPES = ["bigint", "binary", "bit", "char", "date", "datetime", "int", "nvarchar", "varchar"]


def col(name, type_="int", null="否", keys=(), **more):
    return dict(name=name, type=type_, null=null, keys=list(keys), **more)


def build(path, faulty, hidden=False, db="SQL", stops=True):
    book = mf.Book(mf.DEFAULT_LAYOUT)
    book.wb.create_sheet("テーブル一覧")
    f = faulty
    book.sheet("1", "EMP", "社員", [
        col("EMP_ID", keys=[1]),
        col("EMP_NAME", "nvarchar(40)", "NOT NULL" if f else "否"),
        col("DEPT_CD", "char(4)", keys=[None, "○" if f else 1]),
        col("emp_id" if f else "EMP_NO"),
        col(None if f else "GAP"),
        col("LOST"),
    ], [("PK_EMP", "P"), ("IX_EMP", "PK" if f else None)] + ([("UQ_EMP", "U")] if f else []))
    book.sheet("2", "emp" if f else "DEPT", "it's" if f else "部署", [
        col("ID", "varchar2(10)" if f else "varchar(10)", keys=[12 if f and stops else 1]),
    ], [("PK_2", "P")])
    book.sheet("3", None if f else "T3", "一行目\n二行目" if f else "一行目", [
        col("Select" if f else "SEL", keys=[1, 1 if f else 2], comment="𠮷野家" if f else "吉野家"),
        col("A" * 129 if f else "A", null=None if f else "否", keys=[1.5 if f else 2, 2 if f else 1]),
    ], [("PK_3", "P"), ("IX_DUP" if f else "IX_3", None)])
    book.sheet("4", "HID", None, [col("A", keys=[1])], [("PK_4", "P")],
               state="hidden" if f or hidden else "visible")
    book.sheet("5", "NOMARK", None, [col("X", keys=[1])], [("PK_5", "P")],
               marker=None if f else mf.MARKER)
    book.sheet("6", "T6", None, [
        col("A", keys=[1, None]), col("B", keys=[3 if f else 2, 1 if f else None]), col("C")],
        [("IX6", None if f else "P")] + ([(None, None), ("IX_LOST", None)] if f else []))
    book.sheet("template", None, None, [], [], state="hidden")
    types = book.wb.create_sheet("@LIST")
    for i, t in enumerate(SQL_TYPES):
        types.cell(row=2 + i, column=2).value = t
    book.wb.defined_names.append(
        DefinedName("DATA_TYPE", attr_text="'@LIST'!$B$2:$B$%d" % (1 + len(SQL_TYPES))))
    book.save(path, mf.properties(db, mf.DEFAULT_LAYOUT))


if __name__ == "__main__":
    build(sys.argv[2], sys.argv[1] in ("faulty", "through"), sys.argv[1] == "hidden",
          stops=sys.argv[1] != "through")
