"""The built sample workbooks, read back with openpyxl and the zip itself.

Usage: sample_test.py SAMPLE_DIR TABLES_DIR
The sheets are compared with the table files they were made from (read here independently)
and, for the EMP table, with the worked example written out below.
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest

import openpyxl

import package_checks as pc

SAMPLE_DIR = None
TABLES_DIR = None

SAMPLES = {  # file: (tables file, DB, DATA_TYPE)
    "サンプル_SQLServer.xlsx": ("sqlserver.tsv", "SQL", "'@LIST'!$B$2:$B$28"),
    "サンプル_Oracle.xlsx": ("oracle.tsv", "ORA", "'@LIST'!$C$2:$C$21"),
}

# The EMP example, as C8:R10 and U6:V8 must show it: name, title, type, NULL mark, default,
# comment, then the index matrix H..Q.
EMP_TYPES = {"SQL": ("int", "nvarchar(40)", "char(4)"),
             "ORA": ("NUMBER(10)", "VARCHAR2(40)", "CHAR(4)")}
EMP_DEFAULT_ID = {"SQL": "IDENTITY(1,1)", "ORA": None}

def read_tables(path):
    """[(name, title, [column fields], [(index name, kind)])] from a tables file."""
    tables = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if fields[0] == "table":
                tables.append((fields[1], (fields + [""])[2], [], []))
            elif fields[0] == "column":
                tables[-1][2].append(fields[1:] + [""] * (17 - len(fields[1:])))
            else:
                tables[-1][3].append((fields[1], (fields + [""])[2]))
    return tables


def cell_value(text):
    """What a field looks like in openpyxl: None for empty, numbers as numbers."""
    if text == "":
        return None
    try:
        number = float(text)
    except ValueError:
        return text
    if text.startswith("0") and text != "0" and not text.startswith("0."):
        return text
    return int(number) if number.is_integer() else number


class SampleWorkbooks(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.books = {}
        for name, (tables, _, _) in SAMPLES.items():
            path = os.path.join(SAMPLE_DIR, name)
            cls.books[name] = (path, openpyxl.load_workbook(path),
                               read_tables(os.path.join(TABLES_DIR, tables)))

    def each(self):
        return [(name, path, wb, tables) for name, (path, wb, tables) in self.books.items()]

    def test_sound_workbooks_with_the_dialects_properties_names_and_sheets(self):
        for sample, path, wb, tables in self.each():
            with self.subTest(sample=sample):
                self.assertEqual(pc.zip_problems(path), [])
                self.assertEqual(pc.package_problems(path), [])
                self.assertEqual(pc.workbook_content_type(path),
                                 "application/vnd.openxmlformats-officedocument."
                                 "spreadsheetml.sheet.main+xml")
                props = {k: v for k, (_, v) in pc.custom_properties(path).items()}
                self.assertEqual(props, dict(pc.TEMPLATE_PROPERTIES, DB=SAMPLES[sample][1]))
                self.assertEqual(wb.defined_names["DATA_TYPE"].attr_text, SAMPLES[sample][2])
                workbook_level = [n for n in pc.defined_names(path) if n[0] == "DATA_TYPE"]
                self.assertEqual(workbook_level, [("DATA_TYPE", None, SAMPLES[sample][2])])
                # One visible numbered sheet per table, before the hidden ones.
                numbered = [(str(n), "visible") for n in range(1, len(tables) + 1)]
                self.assertEqual([(ws.title, ws.sheet_state) for ws in wb.worksheets],
                                 [("テーブル一覧", "visible"), ("@LIST", "hidden")] + numbered
                                 + [("template", "hidden")])
                self.assertEqual(wb.active.title, "テーブル一覧")
                for n in range(1, len(tables) + 1):
                    ws = wb[str(n)]
                    self.assertEqual(ws.print_area, ["$B$3:$V$37"])
                    self.assertEqual(
                        sorted((str(v.sqref), v.formula1) for v in ws.data_validations.dataValidation),
                        [("E8:E520", "DATA_TYPE"), ("F8:F520", '"否"')])
                    self.assertEqual(ws["B3"].value, "テーブル定義書")

    def test_every_sheet_holds_its_table_as_the_tables_file_gives_it(self):
        for sample, _, wb, tables in self.each():
            with self.subTest(sample=sample):
                for n, (name, title, columns, indexes) in enumerate(tables, start=1):
                    ws = wb[str(n)]
                    self.assertEqual([ws["C4"].value, ws["C5"].value, ws["U3"].value],
                                     [name, cell_value(title), n])
                    for r, fields in enumerate(columns, start=8):
                        got = [ws.cell(r, c).value for c in (3, 4, 5, 6, 7, 18)]
                        got += [ws.cell(r, c).value for c in range(8, 18)]
                        want = [cell_value(f) for f in fields[:6] + fields[6:16]]
                        self.assertEqual(got, want, f"{name} row {r}")
                    self.assertIsNone(ws.cell(8 + len(columns), 3).value)
                    got_indexes = [(ws.cell(r, 21).value, ws.cell(r, 22).value)
                                   for r in range(6, 6 + len(indexes) + 1)]
                    self.assertEqual(got_indexes,
                                     [(i, cell_value(k)) for i, k in indexes] + [(None, None)])

    def test_emp_sheet_is_the_worked_example(self):
        for sample, _, wb, _ in self.each():
            with self.subTest(sample=sample):
                dialect = SAMPLES[sample][1]
                ws = wb["1"]
                types = EMP_TYPES[dialect]
                rows = [[ws.cell(r, c).value for c in range(3, 19)] for r in range(8, 12)]
                self.assertEqual(rows, [
                    ["EMP_ID", "社員ID", types[0], "否", EMP_DEFAULT_ID[dialect], 1]
                    + [None] * 9 + [None],
                    ["EMP_NAME", "氏名", types[1], None, None, None, 1] + [None] * 8
                    + ["姓と名の間は空白"],
                    ["DEPT_CD", "部署コード", types[2], "否", "'0000'", None, 2] + [None] * 8
                    + ["部署マスタ's key"],
                    [None] * 16,
                ])
                self.assertEqual([[ws.cell(r, c).value for c in (21, 22)] for r in (6, 7, 8)],
                                 [["PK_EMP", "P"], ["IX_EMP_NAME", None], [None, None]])
                self.assertEqual([ws["C4"].value, ws["C5"].value], ["EMP", "社員"])

    def test_table_list_names_each_sheet_with_a_link_to_it(self):
        for sample, _, wb, tables in self.each():
            with self.subTest(sample=sample):
                ws = wb["テーブル一覧"]
                for n, (name, title, columns, indexes) in enumerate(tables, start=1):
                    row = 4 + n
                    pk = next((i for i, k in indexes if k == "P"), None)
                    self.assertEqual([ws.cell(row, c).value for c in range(2, 7)],
                                     [n, name, cell_value(title), pk, len(columns)])
                    link = ws.cell(row, 3).hyperlink
                    self.assertIsNotNone(link, f"no link on row {row}")
                    self.assertEqual((link.location, link.target), (f"'{n}'!A1", None))
                after = 5 + len(tables)
                self.assertEqual([ws.cell(after, c).value for c in range(2, 7)],
                                 [len(tables) + 1, None, None, None, None])
                self.assertEqual(ws.print_area, ["$A$1:$K$34"])

    def test_libreoffice_opens_the_sample_with_its_sheets_and_cells(self):
        name = "サンプル_SQLServer.xlsx"
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "out")

            def convert(to):
                subprocess.run(["soffice", f"-env:UserInstallation=file://{tmp}/profile",
                                "--headless", "--convert-to", to, "--outdir", out,
                                os.path.join(SAMPLE_DIR, name)], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=300, check=False)
            convert("xlsx")
            converted = os.path.join(out, name)
            self.assertTrue(os.path.exists(converted), "LibreOffice wrote nothing")
            wb = openpyxl.load_workbook(converted)
            _, original, _ = self.books[name]
            self.assertEqual(wb.sheetnames, original.sheetnames)
            self.assertEqual([wb["1"].cell(r, 3).value for r in range(8, 11)],
                             ["EMP_ID", "EMP_NAME", "DEPT_CD"])
            self.assertEqual(wb["1"]["G10"].value, "'0000'")
            self.assertEqual(wb["テーブル一覧"]["C5"].hyperlink.location, "'1'!A1")
            # Printed, the list and each table take a page; the hidden template none.
            convert("pdf")
            with open(os.path.join(out, name.replace(".xlsx", ".pdf")), "rb") as pdf:
                pages = len(re.findall(rb"/Type\s*/Page(?!s)", pdf.read()))
            self.assertEqual(pages, 1 + len(self.books[name][2]))


if __name__ == "__main__":
    SAMPLE_DIR, TABLES_DIR = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
