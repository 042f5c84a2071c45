"""The built default template, read by other programs: openpyxl and the zip itself (LibreOffice
reads the sample workbooks made from it).

Usage: template_test.py TEMPLATE.xltx
"""

import sys
import unittest
import zipfile

import openpyxl

import package_checks as pc
from book_parts import ORA_TYPES, SQL_TYPES

TEMPLATE = None

LAYOUT = {k: v for k, v in pc.TEMPLATE_PROPERTIES.items() if k != "TEMPLATE"}

PG_TYPES = ["smallint", "integer", "bigint", "decimal", "numeric", "real", "double precision",
            "smallserial", "serial", "bigserial", "money", "char", "varchar", "text", "bytea",
            "timestamp", "timestamptz", "date", "time", "timetz", "interval", "boolean", "uuid",
            "json", "jsonb", "xml", "inet", "cidr", "macaddr", "bit", "varbit"]

# A4 landscape, 297 x 210 mm, in points.
A4_LONG_PT = 297 / 25.4 * 72
A4_SHORT_PT = 210 / 25.4 * 72


def column_points(width):
    """Printed width of a column of `width` characters of an 11 pt font, at 100 %."""
    pixels = int(width * 7 + 5)
    return pixels * 0.75


def layout_cell(name):
    row, col = (int(n) for n in LAYOUT[name].split(","))
    return row, col


class TemplatePackage(unittest.TestCase):

    def test_sound_zip_and_package_typed_as_a_template(self):
        self.assertEqual(pc.zip_problems(TEMPLATE), [])
        self.assertEqual(pc.package_problems(TEMPLATE), [])
        self.assertEqual(pc.workbook_content_type(TEMPLATE),
                         "application/vnd.openxmlformats-officedocument."
                         "spreadsheetml.template.main+xml")

    def test_entries_carry_one_fixed_timestamp(self):
        with zipfile.ZipFile(TEMPLATE) as z:
            self.assertEqual({i.date_time for i in z.infolist()}, {(2024, 1, 1, 0, 0, 0)})

    def test_custom_properties_are_the_thirteen_text_properties(self):
        props, pids = pc.custom_properties(TEMPLATE, with_pids=True)
        self.assertEqual(props, {k: ("lpwstr", v) for k, v in pc.TEMPLATE_PROPERTIES.items()})
        self.assertEqual(pids, list(range(2, 15)))

    def test_defined_names_are_data_type_and_the_list_print_area(self):
        # A print area on the hidden template would make LibreOffice print it.
        self.assertEqual(sorted(pc.defined_names(TEMPLATE), key=str), sorted([
            ("DATA_TYPE", None, "'@LIST'!$B$2:$B$28"),
            ("_xlnm.Print_Area", "0", "'テーブル一覧'!$A$1:$K$34"),
        ], key=str))


class TemplateWorkbook(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.wb = openpyxl.load_workbook(TEMPLATE)
        cls.tpl = cls.wb["template"]
        cls.lst = cls.wb["テーブル一覧"]

    def test_sheets_are_list_types_and_template_in_order_with_their_visibility(self):
        self.assertEqual([(ws.title, ws.sheet_state) for ws in self.wb.worksheets],
                         [("テーブル一覧", "visible"), ("@LIST", "hidden"),
                          ("template", "hidden")])
        self.assertEqual(self.wb.active.title, "テーブル一覧")

    def test_type_lists_hold_each_dialect_under_its_heading(self):
        ws = self.wb["@LIST"]
        for col, heading, items in (("B", "SQL Server", SQL_TYPES), ("C", "Oracle", ORA_TYPES),
                                    ("D", "PostgreSQL", PG_TYPES)):
            with self.subTest(col=col):
                cells = [ws[f"{col}{r}"].value for r in range(1, len(items) + 3)]
                self.assertEqual(cells, [heading] + items + [None])

    def test_layout_properties_point_beside_their_captions(self):
        # Each single cell and block start sits next to the caption a designer reads.
        captions = {
            "TABLE_NAME": ((0, -1), "テーブル名"), "TABLE_TITLE": ((0, -1), "論理名"),
            "TABLE_NUMBER": ((0, -1), "No."), "COLUMN_NAME": ((-1, 0), "列名"),
            "COLUMN_TITLE": ((-1, 0), "論理名"), "DATA_TYPE": ((-1, 0), "データ型"),
            "NULLABLE": ((-1, 0), "NULL"), "DEFAULT": ((-1, 0), "初期値"),
            "INDEX_COLUMN": ((-1, 0), 1), "COLUMN_COMMENT": ((-1, 0), "備考"),
            "INDEX_NAME": ((-1, 0), "インデックス名"), "CONSTRAINT_TYPE": ((-1, 0), "種別"),
        }
        for name, ((dr, dc), caption) in captions.items():
            with self.subTest(name=name):
                row, col = layout_cell(name)
                self.assertEqual(self.tpl.cell(row + dr, col + dc).value, caption)
                self.assertIsNone(self.tpl.cell(row, col).value)

    def test_template_sheet_carries_marker_headings_and_numbers(self):
        t = self.tpl
        self.assertEqual([t["B3"].value, t["T3"].value, t["B4"].value, t["B5"].value],
                         ["テーブル定義書", "No.", "テーブル名", "論理名"])
        self.assertEqual([t.cell(7, c).value for c in range(2, 19)],
                         ["No", "列名", "論理名", "データ型", "NULL", "初期値"]
                         + list(range(1, 11)) + ["備考"])
        self.assertEqual([t["T5"].value, t["U5"].value, t["V5"].value],
                         ["No", "インデックス名", "種別"])
        self.assertEqual([t.cell(r, 20).value for r in range(6, 17)], list(range(1, 11)) + [None])
        self.assertEqual([t.cell(r, 2).value for r in range(8, 522)], list(range(1, 514)) + [None])
        # Nothing else in the blocks a definition fills in.
        filled = [c.coordinate for row in t.iter_rows(min_row=8, min_col=3, max_col=22)
                  for c in row if c.value is not None and not (c.column == 20 and c.row <= 15)]
        self.assertEqual(filled, [])
        self.assertEqual(max(pc.row_numbers(pc.sheet_xml(TEMPLATE, "template"))), 520)

    def test_type_and_null_cells_offer_lists_without_error_alert(self):
        got = sorted((str(v.sqref), v.type, v.formula1, bool(v.showErrorMessage))
                     for v in self.tpl.data_validations.dataValidation)
        self.assertEqual(got, [("E8:E520", "list", "DATA_TYPE", False),
                               ("F8:F520", "list", '"否"', False)])

    def test_borders_cover_the_first_printed_page_only(self):
        for row in (7, 8, 15, 16, 37):
            for col in range(2, 19):
                with self.subTest(row=row, col=col):
                    self.assertEqual(self.tpl.cell(row, col).border.left.style, "thin")
        for name, first, last in (("template", 3, 37), ("テーブル一覧", 2, 34)):
            with self.subTest(sheet=name):
                styled = pc.styled_rows(pc.sheet_xml(TEMPLATE, name))
                self.assertEqual(min(styled), first)
                self.assertEqual(max(styled), last)

    def test_filled_rows_below_the_first_page_are_bordered_by_conditional_formats(self):
        # One rule per bordered block, keyed on the row's name cell, so empty rows cost nothing.
        for name, blocks in (("template", {"B8:R520": "$C8"}),
                             ("テーブル一覧", {"B5:F204": "$C5", "G5:G204": "$C5",
                                           "H5:J204": "$C5", "K5:K204": "$C5"})):
            with self.subTest(sheet=name):
                ws = self.wb[name]
                found = {str(cf.sqref): rule.formula[0]
                         for cf in ws.conditional_formatting for rule in cf.rules}
                self.assertEqual(found, {k: v + '<>""' for k, v in blocks.items()})
                for cf in ws.conditional_formatting:
                    for rule in cf.rules:
                        self.assertEqual(rule.dxf.border.top.style, "thin")
                        self.assertEqual(rule.dxf.border.bottom.style, "thin")
                # The title row is tall enough for its 16-point font.
                title = 3 if name == "template" else 2
                self.assertGreaterEqual(ws.row_dimensions[title].height, 20)

    def test_first_page_prints_on_a4_landscape_at_a_legible_scale(self):
        for name, first_col, last_col, rows in (("template", 2, 22, range(3, 38)),
                                                ("テーブル一覧", 1, 11, range(1, 35))):
            with self.subTest(sheet=name):
                ws = self.wb[name]
                ps = ws.page_setup
                self.assertEqual((ps.paperSize, ps.orientation, ps.fitToWidth, ps.fitToHeight),
                                 (9, "landscape", 1, 0))
                self.assertTrue(ws.sheet_properties.pageSetUpPr.fitToPage)
                m = ws.page_margins
                usable_w = A4_LONG_PT - (m.left + m.right) * 72
                usable_h = A4_SHORT_PT - (m.top + m.bottom) * 72
                widths = pc.column_widths(pc.sheet_xml(TEMPLATE, name))
                width = sum(column_points(widths[c]) for c in range(first_col, last_col + 1))
                scale = min(1.0, usable_w / width)
                self.assertGreaterEqual(scale, 0.8)
                height = len(rows) * ws.sheet_format.defaultRowHeight
                self.assertLessEqual(height * scale, usable_h)

    def test_table_list_has_title_headings_numbers_and_print_area(self):
        t = self.lst
        self.assertEqual(t["B2"].value, "テーブル一覧")
        self.assertEqual([t.cell(4, c).value for c in range(2, 8)],
                         ["No", "テーブル名", "論理名", "主キー", "列数", "備考"])
        self.assertEqual([t.cell(r, 2).value for r in range(5, 206)], list(range(1, 201)) + [None])
        self.assertEqual(
            [c.coordinate for row in t.iter_rows(min_row=5, min_col=3, max_col=11)
             for c in row if c.value is not None], [])
        self.assertEqual(t.print_area, ["$A$1:$K$34"])
        self.assertIsNone(self.tpl.print_area)


if __name__ == "__main__":
    TEMPLATE = sys.argv[1]
    unittest.main(argv=sys.argv[:1], verbosity=2)
