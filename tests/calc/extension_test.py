"""The Calc extension in a real headless Calc, compared with what kastel does; the import from
a PostgreSQL server that the test starts.

Usage: extension_test.py KASTEL OXT SAMPLE_DIR
One office serves every test of this file.
"""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

import openpyxl

from office import Office

KASTEL = OXT = SAMPLE_DIR = None
SAMPLES = ["サンプル_SQLServer.xlsx", "サンプル_Oracle.xlsx"]
SCRIPTS = ["table.sql", "index.sql", "comment.sql"]
PG_CTL = "/usr/lib/postgresql/15/bin/pg_ctl"
WORKBOOK_ONLY = ["AddSheet", "Refresh", "ScriptOut", "Reverse", "Template"]


def workbook_facts(path):
    """What the workbook commands change, as a comparable structure: per sheet its name,
    state, print area, non-empty cell values and hyperlink targets; the workbook's names."""
    wb = openpyxl.load_workbook(path)
    sheets = []
    for ws in wb.worksheets:
        cells = {}
        links = {}
        for row in ws.iter_rows():
            for c in row:
                if c.value is not None:
                    cells[c.coordinate] = c.value
                if c.hyperlink is not None:
                    links[c.coordinate] = c.hyperlink.location
        area = ws.print_area or []
        areas = [a.split("!")[-1] for a in ([area] if isinstance(area, str) else area)]
        sheets.append((ws.title, ws.sheet_state, areas, cells, links))
    names = {d.name: d.attr_text.replace("'", "") for d in wb.defined_names.definedName}
    return sheets, names


class ExtensionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.office = Office(OXT, env={"KASTEL_OUTPUT_FOLDER": "{dir}/OUT"})

    @classmethod
    def tearDownClass(cls):
        cls.office.stop()

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="kastel-calc-test-")
        self.addCleanup(shutil.rmtree, self.tmp, True)

    def open_sample(self, sample, name):
        doc = self.office.load(self.office.shared_copy(os.path.join(SAMPLE_DIR, sample), name))
        self.addCleanup(doc.close, True)
        return doc

    def test_commands_are_enabled_as_the_bar_rules_say(self):
        definition = self.open_sample(SAMPLES[0], "states.xlsx")
        ordinary = self.office.new_document()
        self.addCleanup(ordinary.close, True)
        on = dict.fromkeys(["AddnewSQL", "AddnewORA"], True)
        cases = [
            ("definition workbook", definition.CurrentController.Frame,
             dict(on, **dict.fromkeys(WORKBOOK_ONLY, True))),
            ("ordinary workbook", ordinary.CurrentController.Frame,
             dict(on, **dict.fromkeys(WORKBOOK_ONLY, False))),
            ("no document", self.office.empty_frame(),
             dict(on, **dict.fromkeys(WORKBOOK_ONLY, False))),
        ]
        for label, frame, expected in cases:
            with self.subTest(label):
                self.assertEqual(self.office.states(frame), expected)
        # A disabled command does not run, however it is dispatched.
        self.assertEqual(self.office.dispatch(ordinary.CurrentController.Frame, "ScriptOut"),
                         "disabled")
        self.assertEqual(ordinary.Sheets.Count, 1)

    def test_script_output_is_byte_identical_to_kastel(self):
        out = self.office.path("OUT")
        for sample in SAMPLES:
            with self.subTest(sample):
                shutil.rmtree(out, ignore_errors=True)
                os.mkdir(out)
                os.chmod(out, 0o777)
                doc = self.open_sample(sample, "script.xlsx")
                frame = doc.CurrentController.Frame
                self.assertEqual(self.office.dispatch(frame, "ScriptOut"), "done")
                expected = os.path.join(self.tmp, sample)
                os.mkdir(expected)
                subprocess.run([KASTEL, "script", os.path.join(SAMPLE_DIR, sample), "-o",
                                expected], check=True, capture_output=True, timeout=60)
                for name in SCRIPTS:
                    with open(os.path.join(out, name), "rb") as got, \
                            open(os.path.join(expected, name), "rb") as want:
                        self.assertEqual(got.read(), want.read(), name)

    def test_new_workbooks_come_from_the_bundled_template(self):
        frame = self.office.empty_frame()
        for command, dialect in [("AddnewSQL", "SQL"), ("AddnewORA", "ORA")]:
            with self.subTest(command):
                before = self.components()
                self.assertEqual(self.office.dispatch(frame, command), "done")
                added = [c for c in self.components() if c not in before]
                self.assertEqual(len(added), 1)
                doc = added[0]
                self.addCleanup(doc.close, True)
                props = doc.DocumentProperties.UserDefinedProperties
                self.assertEqual((props.TEMPLATE, props.DB), ("DB", dialect))
                self.assertEqual(doc.Sheets.ElementNames, ("テーブル一覧", "@LIST", "template"))

    def test_saving_points_data_type_at_the_dialect_of_the_workbook(self):
        doc = self.open_sample(SAMPLES[0], "save.xlsx")
        doc.DocumentProperties.UserDefinedProperties.DB = "ORA"
        saved = self.office.path("save-saved.xlsx")
        self.office.save_xlsx(doc, saved)
        self.assertEqual(workbook_facts(saved)[1]["DATA_TYPE"], "@LIST!$C$2:$C$21")

    def test_an_unanswered_login_form_counts_as_cancelled(self):
        doc = self.open_sample(SAMPLES[0], "reverse.xlsx")
        shown = len(self.office.messages())
        self.assertEqual(self.office.dispatch(doc.CurrentController.Frame, "Reverse"), "cancelled")
        self.assertEqual(self.office.messages()[shown:], [])
        self.assertFalse(doc.isModified())

    def test_a_protected_workbook_refuses_the_sheet_commands(self):
        doc = self.open_sample(SAMPLES[0], "protected.xlsx")
        doc.Sheets.getByName("template").IsVisible = True
        doc.protect("")
        refused = "ブックが保護されているため、シート'%s'は変更できません。"
        for command, message in [("AddSheet", "アプリケーション定義またはオブジェクト定義のエラーです。"),
                                 ("Template", refused % "template"), ("Refresh", refused % "1")]:
            with self.subTest(command):
                shown = len(self.office.messages())
                frame = doc.CurrentController.Frame
                self.assertEqual(self.office.dispatch(frame, command), "failed")
                self.assertEqual(self.office.messages()[shown:], [message])
                # The screen is given back after a failure too.
                self.assertFalse(doc.hasControllersLocked())

    def components(self):
        found = []
        e = self.office.desktop.Components.createEnumeration()
        while e.hasMoreElements():
            found.append(e.nextElement())
        return found

    def test_workbook_commands_match_kastel(self):
        kastel_command = {"AddSheet": "add-sheet", "Refresh": "refresh", "Template": "template"}
        for sample, commands in [(SAMPLES[0], ["AddSheet"]), (SAMPLES[0], ["Refresh"]),
                                 (SAMPLES[0], ["Template"]),
                                 (SAMPLES[1], ["AddSheet", "Refresh", "Template", "Template"])]:
            label = "%s %s" % (sample, "+".join(commands))
            with self.subTest(label):
                doc = self.open_sample(sample, "commands.xlsx")
                expected = os.path.join(self.tmp, "commands.xlsx")
                shutil.copyfile(os.path.join(SAMPLE_DIR, sample), expected)
                frame = doc.CurrentController.Frame
                for command in commands:
                    self.assertEqual(self.office.dispatch(frame, command), "done")
                    subprocess.run([KASTEL, kastel_command[command], expected], check=True,
                                   capture_output=True, timeout=60)
                saved = self.office.path("commands-saved.xlsx")
                self.office.save_xlsx(doc, saved)
                got_sheets, got_names = workbook_facts(saved)
                want_sheets, want_names = workbook_facts(expected)
                self.assertEqual([s[:3] for s in got_sheets], [s[:3] for s in want_sheets])
                for got, want in zip(got_sheets, want_sheets):
                    self.assertEqual(got[3], want[3], got[0])
                    self.assertEqual(got[4], want[4], got[0])
                self.assertEqual(got_names, want_names)


def run(*args, **kw):
    return subprocess.run(list(args), check=True, capture_output=True, timeout=120, **kw)


class ReverseTest(unittest.TestCase):
    def test_import_from_postgresql_matches_kastel_reverse(self):
        # The office runs as another user: the socket's folder is open to everybody.
        tmp = tempfile.mkdtemp(prefix="kastel-calc-pg-")
        self.addCleanup(shutil.rmtree, tmp, True)
        os.chmod(tmp, 0o755)
        shutil.chown(tmp, "postgres")
        pg_ctl = ["runuser", "-u", "postgres", "--", PG_CTL, "-D", tmp + "/data", "-w"]
        run(*pg_ctl, "initdb", "-o", "-U postgres -E UTF8 --locale=C.UTF-8 -A trust", cwd=tmp)
        run(*pg_ctl, "-l", tmp + "/server.log", "-o", "-k %s -c listen_addresses=''" % tmp,
            "start", cwd=tmp)
        self.addCleanup(run, *pg_ctl, "-m", "immediate", "stop", cwd=tmp)
        scripts = {}

        def script(label, book):
            scripts[label] = tempfile.mkdtemp(dir=tmp)
            run(KASTEL, "script", book, "-o", scripts[label])

        script("sample", os.path.join(SAMPLE_DIR, "サンプル_PostgreSQL.xlsx"))
        run("psql", "-X", "-q", "-h", tmp, "-U", "postgres", "-v", "ON_ERROR_STOP=1",
            *[arg for name in SCRIPTS for arg in ("-f", os.path.join(scripts["sample"], name))])

        env = {"KASTEL_LOGIN": tmp + ";;postgres;postgres", "KASTEL_PASSWORD": ""}
        want = os.path.join(tmp, "kastel.xlsx")
        run(KASTEL, "new", want, "--postgres")
        office = Office(OXT, env=env)
        self.addCleanup(office.stop)
        doc = office.load(office.shared_copy(want, "calc.xlsx"))
        self.assertEqual(office.dispatch(doc.CurrentController.Frame, "Reverse"), "done",
                         office.messages())
        self.assertFalse(doc.hasControllersLocked())
        got = office.path("calc-saved.xlsx")
        office.save_xlsx(doc, got)
        doc.close(True)
        run(KASTEL, "reverse", want, env=dict(os.environ, **env))
        # The table list, and the definition sheets through the scripts written from them.
        self.assertEqual(workbook_facts(got)[0][0], workbook_facts(want)[0][0])
        script("calc", got)
        script("kastel", want)
        for name in SCRIPTS:
            text = {k: pathlib.Path(folder, name).read_bytes() for k, folder in scripts.items()}
            self.assertEqual(text["calc"], text["kastel"], name)
            self.assertEqual(text["calc"], text["sample"], name)


if __name__ == "__main__":
    KASTEL, OXT, SAMPLE_DIR = sys.argv[1:4]
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
