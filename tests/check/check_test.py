"""kastel check and the script output's use of it, on workbooks written by openpyxl.

Usage: check_test.py KASTEL
"""

import functools
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

import faulty_book

KASTEL = None
LONG = "A" * 129

# Every seeded fault of faulty_book.py, in the order the check walks the sheets.
FAULTY = """\
エラー: f.xlsx シート「1」 テーブル EMP F9: NULL 欄の「NOT NULL」は「否」でも空でもありません → NULL を許す列 (NULL) として書かれます
エラー: f.xlsx シート「1」 テーブル EMP C11: 列名 emp_id は 8 行目の列と同じです → 同じ名前の列が二つある CREATE TABLE 文が書かれます
エラー: f.xlsx シート「1」 テーブル EMP C12: 列名が空ですが、13 行目にも列があります → 列の並びはここで終わり、この行より下の列は書かれません
エラー: f.xlsx シート「1」 テーブル EMP V7: 種別「PK」は P (主キー)、U (一意)、空 (索引) のどれでもありません → 普通の索引 (CREATE INDEX) として書かれます
エラー: f.xlsx シート「1」 テーブル EMP I10: キー欄の「○」はキー位置 (1 から始まる整数) ではありません → この列は索引 IX_EMP に入りません
エラー: f.xlsx シート「1」 テーブル EMP U8: 索引 UQ_EMP にキー列がありません → 列のない UNIQUE() が書かれます
エラー: f.xlsx シート「2」 テーブル emp C4: テーブル名 emp はシート「1」のテーブルと同じです (大文字と小文字は区別されません) → このシートの文が先のテーブルを削除して作り直します
エラー: f.xlsx シート「2」 テーブル emp C5: ' (アポストロフィ) があります → 文字列リテラルに二重にされずに書かれ、文字列がそこで閉じます
エラー: f.xlsx シート「2」 テーブル emp E8: データ型 varchar2(10) (型名 varchar2) はブックのデータ型一覧 (DATA_TYPE) にありません → そのまま書かれ、データベースが文を拒みます
エラー: f.xlsx シート「2」 テーブル emp H8: キー位置 12 は 1 から 11 の範囲にありません → スクリプト出力はこのシートで止まり、これより後は書かれません (インデックスが有効範囲にありません。)
エラー: f.xlsx シート「3」 テーブル (名前なし) C4: テーブル名が空です → 名前のない DROP TABLE 文と CREATE TABLE 文が書かれます
エラー: f.xlsx シート「3」 テーブル (名前なし) C5: 改行があります → 見出しのコメント行 (-- …) が途切れ、改行より後が SQL として読まれます
警告: f.xlsx シート「3」 テーブル (名前なし) C8: 名前 Select は SQL Server の予約語です → 引用符なしで書かれるため、データベースが文を拒みます
エラー: f.xlsx シート「3」 テーブル (名前なし) R8: CP932 (Shift_JIS) で表せない文字 「𠮷」 があります → スクリプトには ? として書かれます
警告: f.xlsx シート「3」 テーブル (名前なし) C9: 名前 {L} は 129 文字で、SQL Server の上限 128 文字を超えます → そのまま書かれ、データベースが文を拒みます
エラー: f.xlsx シート「3」 テーブル (名前なし) H9: キー位置 1.5 は整数ではありません → 2 番目として読まれます
警告: f.xlsx シート「3」 テーブル (名前なし) F9: 主キー PK_3 の列 {L} は NULL を許します → SQL Server では主キーを作れず、Oracle では NOT NULL に変わります
警告: f.xlsx シート「3」 テーブル (名前なし) U7: 索引 IX_DUP は索引 PK_3 と同じ列 (Select, {L}) です → 同じ定義の索引が二つ作られます
警告: f.xlsx シート「4」 テーブル HID C4: シートが非表示です → スクリプト出力はこのシートを読みません
警告: f.xlsx シート「5」 テーブル NOMARK C4: 定義シートの目印のセル「テーブル定義書」がありません → スクリプト出力はこのシートを読みません
エラー: f.xlsx シート「6」 テーブル T6 U7: 索引名が空ですが、8 行目にも索引があります → 索引の並びはここで終わり、この行より下の索引は書かれません
エラー: f.xlsx シート「6」 テーブル T6 H9: 索引 IX6 にキー位置 2 がありません → キー位置 3 から後の列は索引に入りません
警告: f.xlsx シート「6」 テーブル T6 C4: 主キー (種別 P) の索引がありません → 主キーのないテーブルが作られます
警告: f.xlsx シート「6」 テーブル T6 I9: キー欄に印がありますが、2 番目の索引には名前がありません → この列の印は使われません
""".replace("{L}", LONG)

# The same faults in a PostgreSQL workbook, whose script doubles apostrophes, escapes line breaks,
# writes UTF-8, quotes reserved words and writes key columns NOT NULL.
PGS_WORDING = [
    ("f.xlsx", "p.xlsx"),
    ("SQL Server の予約語です → 引用符なしで書かれるため、データベースが文を拒みます",
     "PostgreSQL の予約語です → 二重引用符で囲んで書かれるため、大文字と小文字を区別する名前になります"),
    ("129 文字で、SQL Server の上限 128 文字", "129 バイトで、PostgreSQL の上限 63 バイト"),
    ("SQL Server では主キーを作れず、Oracle では NOT NULL に変わります",
     "PostgreSQL のスクリプトでは NOT NULL として書かれます")]
FAULTY_PGS = "".join(functools.reduce(lambda text, words: text.replace(*words), PGS_WORDING, line)
                     + "\n" for line in FAULTY.splitlines() if not re.search(" (C5|R8): ", line))

SCRIPTS = ("table.sql", "index.sql", "comment.sql")


class CheckTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        self.env = dict(os.environ, HOME=self.dir, XDG_CONFIG_HOME=self.dir + "/config",
                        XDG_DATA_HOME=self.dir + "/data", LANG="C.UTF-8")
        for kind in ("faulty", "clean", "hidden"):
            faulty_book.build(self.path(kind[0] + ".xlsx"), kind == "faulty", kind == "hidden")
        faulty_book.build(self.path("p.xlsx"), True, db="PGS")

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def run_kastel(self, *args):
        return subprocess.run([KASTEL, *args], cwd=self.dir, env=self.env, capture_output=True,
                              text=True, stdin=subprocess.DEVNULL)

    def test_findings_statuses_and_json(self):
        faulty_utf8 = "".join(line + "\n" for line in FAULTY.splitlines() if " R8: " not in line)
        cases = [  # arguments, status, stdout
            (["f.xlsx"], 1, FAULTY),
            (["f.xlsx", "--encoding", "UTF8"], 1, faulty_utf8),
            (["c.xlsx"], 0, ""),
            (["p.xlsx"], 1, FAULTY_PGS),
            (["h.xlsx"], 4, FAULTY.splitlines()[18].replace("f.xlsx", "h.xlsx") + "\n"),
        ]
        for args, status, out in cases:
            with self.subTest(args=args):
                r = self.run_kastel("check", *args)
                self.assertEqual(r.returncode, status, r.stderr)
                self.assertEqual(r.stdout, out)
        r = self.run_kastel("check", "f.xlsx", "--format", "json")
        self.assertEqual(r.returncode, 1)
        report = json.loads(r.stdout)
        self.assertEqual((report["workbook"], report["sheets"], report["errors"],
                          report["warnings"]), ("f.xlsx", 4, 16, 8))
        severity = {"error": "エラー", "warning": "警告"}
        lines = ["%s: f.xlsx シート「%s」 テーブル %s %s: %s → %s" % (
            severity[f["severity"]], f["sheet"], f["table"] or "(名前なし)", f["cell"],
            f["message"], f["effect"]) for f in report["findings"]]
        self.assertEqual(lines, FAULTY.splitlines())

    def test_script_counts_findings_and_check_option_refuses_to_write(self):
        cases = [  # workbook, --check, status, files written, last line of stderr
            ("f.xlsx", False, 1, True, "16 件のエラー、8 件の警告があります (kastel check で確認できます)"),
            ("t.xlsx", False, 0, True, "15 件のエラー、8 件の警告があります (kastel check で確認できます)"),
            ("f.xlsx", True, 1, False, "kastel: 16 件のエラー、8 件の警告があります。"
             "エラーがあるため、スクリプトを書き出しません。"),
            ("c.xlsx", True, 0, True, None),
            ("h.xlsx", False, 0, True, None),
            # Without the check after writing: the script's own message is the last line.
            ("f.xlsx", "--no-check", 1, True, "インデックスが有効範囲にありません。"),
        ]
        faulty_book.build(self.path("t.xlsx"), True, stops=False)
        for book, check, status, written, last in cases:
            with self.subTest(book=book, check=check):
                out = self.path("out-%s-%s" % (book, check))
                os.mkdir(out)
                extra = [check] if isinstance(check, str) else ["--check"] if check else []
                r = self.run_kastel("script", book, "-o", out, *extra)
                self.assertEqual(r.returncode, status, r.stderr)
                self.assertEqual(all(os.path.exists(os.path.join(out, f)) for f in SCRIPTS),
                                 written)
                self.assertEqual(os.listdir(out) != [], written)
                lines = r.stderr.splitlines()
                if book == "f.xlsx" and check is False:  # the key position the script stopped at
                    self.assertIn("kastel: 場所: f.xlsx シート「2」 テーブル emp H8", lines)
                if last is None:
                    self.assertEqual(r.stderr, "")
                else:
                    self.assertEqual(lines[-1], last)

    def test_colour_only_on_a_terminal_and_never_with_no_color(self):
        import pty
        for no_color, coloured in (("", True), ("1", False)):
            main, sub = pty.openpty()
            env = dict(self.env, NO_COLOR=no_color)
            subprocess.run([KASTEL, "check", "h.xlsx"], cwd=self.dir, env=env, stdout=sub,
                           stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
            os.close(sub)
            out = os.read(main, 65536).decode()
            os.close(main)
            self.assertEqual(out.startswith("\x1b[33m警告\x1b[0m: h.xlsx"), coloured, out)
            self.assertEqual("\x1b[" in out, coloured, out)

    def test_a_missing_output_folder_is_named_and_made_with_mkdir(self):
        r = self.run_kastel("script", "c.xlsx", "-o", "no/such")
        self.assertEqual(r.returncode, 1)
        self.assertEqual(r.stderr, "パスが見つかりません。\nkastel: 出力先フォルダ 'no/such' がありません。"
                         "作るには --mkdir を付けて下さい。\n")
        r = self.run_kastel("script", "c.xlsx", "-o", "no/such", "--mkdir")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(sorted(os.listdir(self.path("no/such"))), sorted(SCRIPTS))

    def test_adopt_restores_what_a_save_by_openpyxl_dropped(self):
        import openpyxl
        want, got = self.path("want"), self.path("got")
        os.mkdir(want)
        os.mkdir(got)
        self.assertEqual(self.run_kastel("script", "c.xlsx", "-o", want).returncode, 0)
        # openpyxl 3.0 keeps sheets and names but drops the custom document properties.
        openpyxl.load_workbook(self.path("c.xlsx")).save(self.path("s.xlsx"))
        r = self.run_kastel("script", "s.xlsx", "-o", got)
        self.assertEqual(r.returncode, 2)
        self.assertIn("文書プロパティ TEMPLATE がありません。kastel adopt s.xlsx --sql", r.stderr)
        self.assertEqual(os.listdir(got), [])
        cases = [  # arguments, status, property COLUMN_NAME afterwards
            (["--sql", "--layout", "COLUMN_NAME=8"], 2, None),
            (["--sql", "--layout", "NO_SUCH=1,1"], 2, None),
            (["--sql", "--oracle"], 2, None),
            (["--sql", "--layout", "COLUMN_NAME=9,3"], 0, "9,3"),
            (["--sql", "--layout", "COLUMN_NAME=8,3"], 0, "8,3"),
        ]
        for args, status, column_name in cases:
            with self.subTest(args=args):
                r = self.run_kastel("adopt", "s.xlsx", *args)
                self.assertEqual(r.returncode, status, r.stderr)
                self.assertEqual(custom_property(self.path("s.xlsx"), "COLUMN_NAME"), column_name)
        r = self.run_kastel("script", "s.xlsx", "-o", got)
        self.assertEqual(r.returncode, 0, r.stderr)
        for name in SCRIPTS:
            with open(os.path.join(want, name), "rb") as a, open(os.path.join(got, name), "rb") as b:
                self.assertEqual(a.read(), b.read(), name)


def custom_property(book, name):
    """The text of a custom document property, or None."""
    import re
    import zipfile
    with zipfile.ZipFile(book) as z:
        if "docProps/custom.xml" not in z.namelist():
            return None
        xml = z.read("docProps/custom.xml").decode()
    m = re.search(r'name="%s"><vt:lpwstr>([^<]*)<' % name, xml)
    return m.group(1) if m else None


if __name__ == "__main__":
    KASTEL = sys.argv.pop(1)
    unittest.main()
