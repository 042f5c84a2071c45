#!/usr/bin/python3
"""An independent generator of table.sql, index.sql and comment.sql for the engine tests.

Written from the description of the scripts, not from the C++ code, and reading the workbook
with openpyxl and the zip module instead of the program's own reader, so that a shared
misreading cannot hide a fault. Only column comments have their apostrophes doubled; names and
titles go into their literals as typed. Usage:

    reference_scripts.py WORKBOOK OUTDIR [--encoding cp932|utf-8]

Writes the three files into OUTDIR as the program would. When generation stops with a failure,
the files keep what was written before it and the failure is printed on stdout as
"ERROR <number> <text>"; the exit status is then 1.
"""

import argparse
import decimal
import os
import sys
import zipfile
import xml.etree.ElementTree as ET

import openpyxl

CRLF = "\r\n"
MARKER = "テーブル定義書"
LAST_ROW = 520
SUBSCRIPT = (9, "インデックスが有効範囲にありません。")
OVERFLOW = (6, "オーバーフローしました。")
TYPE_MISMATCH = (13, "型が一致しません。")


class Failure(Exception):
    def __init__(self, number, text):
        super().__init__(text)
        self.number = number
        self.text = text


def custom_properties(path):
    ns = {"p": "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties"}
    with zipfile.ZipFile(path) as z:
        try:
            root = ET.fromstring(z.read("docProps/custom.xml"))
        except KeyError:
            return {}
    props = {}
    for prop in root.findall("p:property", ns):
        value = prop[0].text if len(prop) else ""
        props[prop.get("name")] = value or ""
    return props


def vb_text(value):
    """The text the runtime gives a cell value: numbers with up to 15 significant digits."""
    if value is None:
        return ""
    if isinstance(value, bool):
        return "True" if value else "False"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        if value.is_integer() and abs(value) < 1e15:
            return str(int(value))
        return "%.15g" % value
    return str(value)


def number_of(value):
    """The value as a number, or None when the runtime would not read it as one."""
    if isinstance(value, bool):
        return -1 if value else 0
    if isinstance(value, (int, float)):
        return value
    if isinstance(value, str):
        try:
            return float(value.strip())
        except ValueError:
            return None
    return None


def cint(x):
    """Whole number with halves to the even neighbour, failing outside 16 bits."""
    n = int(decimal.Decimal(repr(float(x))).to_integral_value(decimal.ROUND_HALF_EVEN))
    if n < -32768 or n > 32767:
        raise Failure(*OVERFLOW)
    return n


def layout_of(props):
    names = ["TABLE_NAME", "TABLE_TITLE", "TABLE_NUMBER", "COLUMN_NAME", "COLUMN_TITLE",
             "DATA_TYPE", "NULLABLE", "DEFAULT", "INDEX_COLUMN", "COLUMN_COMMENT", "INDEX_NAME",
             "CONSTRAINT_TYPE"]
    layout = {}
    for name in names:
        if name not in props:
            raise Failure(*SUBSCRIPT)
        parts = props[name].split(",")
        if len(parts) < 2:
            raise Failure(*SUBSCRIPT)
        row, col = (cint(number_of(p)) if number_of(p) is not None else None for p in parts[:2])
        if row is None or col is None:
            raise Failure(*TYPE_MISMATCH)
        if row == 0 or col == 0:
            raise Failure(20001, "パラメタ'" + name + "'が未設定です。\r\n設定を確認して下さい。")
        layout[name] = (row, col)
    return layout


def width(text):
    # Widths are counted in CP932 bytes whatever the output encoding.
    return len(text.encode("cp932", errors="replace"))


def pad(text, n):
    return text + " " * max(0, n - width(text))


def quoted(text):
    return text.replace("'", "''")


class Sheet:
    def __init__(self, ws, layout):
        self.ws = ws
        self.layout = layout

    def text(self, row, col):
        return vb_text(self.ws.cell(row=row, column=col).value)

    def at(self, name):
        return self.text(*self.layout[name])

    def column_rows(self):
        row, col = self.layout["COLUMN_NAME"]
        while row <= LAST_ROW and self.text(row, col) != "":
            yield row
            row += 1

    def column(self, row, name):
        return self.text(row, self.layout[name][1])

    def key_list(self, i):
        slots = [""] * 12
        key_col = self.layout["INDEX_COLUMN"][1] + i
        for row in self.column_rows():
            value = self.ws.cell(row=row, column=key_col).value
            if value is None or value == "":
                continue
            x = number_of(value)
            if x is None:
                continue
            pos = cint(x)
            if pos < 1 or pos > 11:
                raise Failure(*SUBSCRIPT)
            slots[pos] = self.column(row, "COLUMN_NAME")
        names = []
        for s in slots[1:]:
            if s == "":
                break
            names.append(s)
        return ", ".join(names)

    def indexes(self):
        row, col = self.layout["INDEX_NAME"]
        for i in range(10):
            name = self.text(row + i, col)
            if name == "":
                return
            kind = self.text(row + i, self.layout["CONSTRAINT_TYPE"][1])
            yield name, kind, self.key_list(i)


def block(title, lines):
    return "-- " + title + "".join(CRLF + line for line in lines) + CRLF + CRLF


def column_line(sheet, row, first):
    name = sheet.column(row, "COLUMN_NAME")
    dtype = sheet.column(row, "DATA_TYPE")
    default = sheet.column(row, "DEFAULT")
    mark = sheet.column(row, "NULLABLE")
    if default == "":
        dpart = " " * 22
    elif "IDENTITY" in default:
        dpart = pad(default, 20) + "  "
    else:
        dpart = pad("DEFAULT " + default, 20) + "  "
    lead = "   " if first else "  ,"
    null = "NOT NULL" if mark == "否" else "    NULL"
    return lead + pad(name, 32) + "  " + pad(dtype, 20) + "  " + dpart + null


def columns(sheet):
    rows = list(sheet.column_rows())
    return [column_line(sheet, r, i == 0) for i, r in enumerate(rows)]


def key_lead(kind):
    return {"P": "   PRIMARY KEY(", "U": "   UNIQUE("}.get(kind, "   (")


def sql_table(s):
    t = s.at("TABLE_NAME")
    lines = ["IF EXISTS (SELECT 'X' FROM dbo.sysobjects WHERE name = N'" + t
             + "' AND xtype = N'U')", "    DROP TABLE " + t, "GO", "CREATE TABLE " + t + "("]
    return block(s.at("TABLE_TITLE"), lines + columns(s) + [")", "GO"])


def sql_index(s):
    t = s.at("TABLE_NAME")
    lines = []
    for x, kind, keys in s.indexes():
        lines.append("IF EXISTS(SELECT 'X' FROM sysindexes WHERE name = '" + x + "')")
        if kind in ("P", "U"):
            lines += ["    ALTER TABLE " + t + " DROP CONSTRAINT " + x, "GO",
                      "ALTER TABLE " + t + " ADD  CONSTRAINT " + x]
        else:
            lines += ["    DROP INDEX " + t + "." + x, "GO", "CREATE INDEX " + x + " ON " + t]
        lines += [key_lead(kind) + keys + ")", "GO"]
    return block(s.at("TABLE_TITLE"), lines)


def sql_comment(s):
    t, tt = s.at("TABLE_NAME"), s.at("TABLE_TITLE")
    lines = ["IF EXISTS(SELECT 'X' FROM ::fn_listextendedproperty(N'MS_Description', N'user', "
             "N'dbo', N'table', N'" + t + "', NULL, default))",
             "    EXEC sp_dropextendedproperty N'MS_Description', N'user', N'dbo', N'table', N'"
             + t + "'", "GO"]
    if tt != "":
        lines += ["EXEC sp_addextendedproperty N'MS_Description', N'" + tt
                  + "', N'user', N'dbo', N'table', N'" + t + "'", "GO"]
    for r in s.column_rows():
        c = s.column(r, "COLUMN_NAME")
        ct = s.column(r, "COLUMN_TITLE")
        cm = s.column(r, "COLUMN_COMMENT")
        lines.append("-- " + tt + "." + ct)
        for prop, value in (("MS_Description", ct), ("comments", quoted(cm))):
            target = "N'table',  N'" + t + "', N'column', N'" + c + "'"
            lines += ["IF EXISTS(SELECT 'X' FROM ::fn_listextendedproperty(N'" + prop
                      + "', N'user', N'dbo', " + target + "))",
                      "    EXEC sp_dropextendedproperty N'" + prop + "', N'user', N'dbo', "
                      + target, "GO"]
            if value != "":
                lines += ["EXEC sp_addextendedproperty N'" + prop + "', '" + value
                          + "', N'user', N'dbo', N'table', N'" + t + "', N'column', N'" + c
                          + "'", "GO"]
    return block(tt, lines)


def ora_table(s):
    t = s.at("TABLE_NAME")
    lines = ["DROP   TABLE " + pad(t, 24) + "CASCADE CONSTRAINTS;", "CREATE TABLE " + t + "("]
    return block(s.at("TABLE_TITLE"), lines + columns(s) + [");"])


def ora_index(s):
    t = s.at("TABLE_NAME")
    lines = []
    for x, kind, keys in s.indexes():
        if kind in ("P", "U"):
            lines += ["ALTER TABLE " + t + " DROP CONSTRAINT " + x + ";",
                      "ALTER TABLE " + t + " ADD  CONSTRAINT " + x]
        else:
            lines += ["DROP   INDEX " + x + ";", "CREATE INDEX " + x + " ON " + t]
        lines += [key_lead(kind) + keys + ");", ""]
    return block(s.at("TABLE_TITLE"), lines)


def ora_comment(s):
    t, tt = s.at("TABLE_NAME"), s.at("TABLE_TITLE")
    lines = ["COMMENT ON TABLE " + pad(t, 24) + "IS '" + t + "|" + tt + "';"]
    for r in s.column_rows():
        c = s.column(r, "COLUMN_NAME")
        packed = "|".join([c, s.column(r, "COLUMN_TITLE"),
                           quoted(s.column(r, "COLUMN_COMMENT"))])
        lines.append("COMMENT ON COLUMN " + pad(t + "." + c, 48) + "IS '" + packed + "';")
    return block(tt, lines)


def is_definition_sheet(ws):
    if ws.sheet_state == "hidden" or ws.title == "template":
        return False
    for row in ws.iter_rows():
        for cell in row:
            if isinstance(cell.value, str) and cell.value.lower() == MARKER.lower():
                return True
    return False


def generate(path, outdir, encoding):
    props = custom_properties(path)
    oracle = props.get("DB", "") == "ORA"
    makers = (ora_table, ora_index, ora_comment) if oracle else (sql_table, sql_index, sql_comment)
    layout = layout_of(props)  # fails before any file exists
    wb = openpyxl.load_workbook(path)
    names = ("table.sql", "index.sql", "comment.sql")
    files = [open(os.path.join(outdir, n), "wb") for n in names]
    try:
        for ws in wb.worksheets:
            if not is_definition_sheet(ws):
                continue
            sheet = Sheet(ws, layout)
            for f, make in zip(files, makers):
                f.write(make(sheet).encode(encoding, errors="replace"))
    finally:
        for f in files:
            f.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("workbook")
    parser.add_argument("outdir")
    parser.add_argument("--encoding", default="cp932", choices=["cp932", "utf-8"])
    args = parser.parse_args()
    try:
        generate(args.workbook, args.outdir, args.encoding)
    except Failure as f:
        print("ERROR", f.number, f.text)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
