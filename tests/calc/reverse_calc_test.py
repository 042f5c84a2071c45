"""The import pressed in Calc against a PostgreSQL server of the test's own, compared with what
kastel reverse reads into another new workbook: the same table list, the same three scripts.
Usage: reverse_calc_test.py KASTEL OXT SAMPLE_DIR"""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

from extension_test import workbook_facts
from office import Office

KASTEL = OXT = SAMPLE_DIR = None
PG_BIN = "/usr/lib/postgresql/15/bin/"
SCRIPTS = ["table.sql", "index.sql", "comment.sql"]


def run(*args, **kw):
    return subprocess.run(list(args), check=True, capture_output=True, timeout=120, **kw)


class ReverseInCalcTest(unittest.TestCase):
    def setUp(self):
        # The office runs as another user, so the socket's folder is open to everybody.
        self.tmp = tempfile.mkdtemp(prefix="kastel-calc-pg-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        os.chmod(self.tmp, 0o755)
        shutil.chown(self.tmp, "postgres")
        as_pg = ["runuser", "-u", "postgres", "--"]
        data = os.path.join(self.tmp, "data")
        run(*as_pg, PG_BIN + "initdb", "-D", data, "-U", "postgres", "-E", "UTF8",
            "--locale=C.UTF-8", "-A", "trust", cwd=self.tmp)
        run(*as_pg, PG_BIN + "pg_ctl", "-D", data, "-l", os.path.join(self.tmp, "server.log"),
            "-w", "-o", "-k %s -c listen_addresses='' -p 5432" % self.tmp, "start", cwd=self.tmp)
        self.addCleanup(run, *as_pg, PG_BIN + "pg_ctl", "-D", data, "-m", "immediate", "-w",
                        "stop", cwd=self.tmp)
        psql = ["psql", "-X", "-q", "-h", self.tmp, "-U", "postgres", "-v", "ON_ERROR_STOP=1"]
        run(*psql, "-c", "CREATE DATABASE loop")
        self.sample_scripts = self.script(os.path.join(SAMPLE_DIR, "サンプル_PostgreSQL.xlsx"))
        for name in SCRIPTS:
            run(*psql, "-d", "loop", "-f", os.path.join(self.sample_scripts, name))

    def script(self, book):
        out = tempfile.mkdtemp(dir=self.tmp)
        run(KASTEL, "script", book, "-o", out)
        return out

    def test_import_in_calc_matches_kastel_reverse(self):
        env = {"KASTEL_LOGIN": "%s,5432;;postgres;loop" % self.tmp, "KASTEL_PASSWORD": ""}
        office = Office(OXT, env=env)
        self.addCleanup(office.stop)
        book = office.path("calc.xlsx")
        run(KASTEL, "new", book, "--postgres")
        os.chmod(book, 0o666)
        doc = office.load(book)
        self.assertEqual(office.dispatch(doc.CurrentController.Frame, "Reverse"), "done",
                         office.messages())
        self.assertFalse(doc.hasControllersLocked())
        got = office.path("calc-saved.xlsx")
        office.save_xlsx(doc, got)
        doc.close(True)

        want = os.path.join(self.tmp, "kastel.xlsx")
        run(KASTEL, "new", want, "--postgres")
        run(KASTEL, "reverse", want, env=dict(os.environ, **env))
        self.assertEqual(workbook_facts(got)[0][0], workbook_facts(want)[0][0])
        got_scripts, want_scripts = self.script(got), self.script(want)
        for name in SCRIPTS:
            text = pathlib.Path(got_scripts, name).read_bytes()
            for expected in (want_scripts, self.sample_scripts):
                self.assertEqual(text, pathlib.Path(expected, name).read_bytes(), name)

if __name__ == "__main__":
    KASTEL, OXT, SAMPLE_DIR = sys.argv[1:4]
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
