"""kastel_pack as the build runs it: real folders in, real zip files out.

Usage: pack_test.py KASTEL_PACK TEMPLATE_SOURCE_DIR
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

import package_checks as pc

PACK = None
SOURCE = None

CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
  <Default Extension="xml" ContentType="application/xml"/>
</Types>
"""


class PackTool(unittest.TestCase):

    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.tmp)

    def pack(self, source, *parts, tz="UTC", out_name="out.xlsx"):
        out = os.path.join(self.tmp, "out", out_name)
        env = dict(os.environ, TZ=tz)
        result = subprocess.run([PACK, out, source, *parts], env=env, capture_output=True,
                                text=True, check=False)
        return result, out

    def folder(self, files):
        root = tempfile.mkdtemp(dir=self.tmp)
        for name, text in files.items():
            path = os.path.join(root, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        return root

    def assert_refused(self, result, out, message_part):
        """The tool failed, said why, and left no package and no temporary file behind."""
        self.assertEqual(result.returncode, 1)
        self.assertIn(message_part, result.stderr)
        self.assertFalse(os.path.exists(out))
        out_dir = os.path.dirname(out)
        self.assertEqual(os.listdir(out_dir) if os.path.isdir(out_dir) else [], [])

    def test_packing_is_byte_for_byte_the_same_in_any_time_zone(self):
        first, a = self.pack(SOURCE, tz="UTC", out_name="a.xltx")
        second, b = self.pack(SOURCE, tz="Asia/Tokyo", out_name="b.xltx")
        self.assertEqual((first.returncode, second.returncode), (0, 0))
        with open(a, "rb") as fa, open(b, "rb") as fb:
            self.assertEqual(fa.read(), fb.read())

    def test_listed_parts_are_packed_with_content_types_first_and_nothing_else(self):
        root = self.folder({"[Content_Types].xml": CONTENT_TYPES,
                            "xl/b.xml": "<b/>", "a.xml": "<a/>", "stray.xml": "<s/>"})
        result, out = self.pack(root, "xl/b.xml", "a.xml")
        self.assertEqual(result.returncode, 0, result.stderr)
        with zipfile.ZipFile(out) as z:
            self.assertEqual(z.namelist(), ["[Content_Types].xml", "a.xml", "xl/b.xml"])
        self.assertEqual(pc.zip_problems(out), [])

    def test_without_a_list_every_file_of_the_folder_is_packed_in_name_order(self):
        root = self.folder({"[Content_Types].xml": CONTENT_TYPES, "_rels/.rels": "<r/>",
                            "z/y.bin": "raw {r} bytes", "docProps/app.xml": "<p/>"})
        result, out = self.pack(root)
        self.assertEqual(result.returncode, 0, result.stderr)
        with zipfile.ZipFile(out) as z:
            self.assertEqual(z.namelist(), ["[Content_Types].xml", "_rels/.rels",
                                            "docProps/app.xml", "z/y.bin"])
            # Only XML parts are rewritten; other files go in as they are.
            self.assertEqual(z.read("z/y.bin"), b"raw {r} bytes")

    def test_xml_parts_go_in_compact_with_repeats_expanded(self):
        root = self.folder({
            "[Content_Types].xml": CONTENT_TYPES,
            "s.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                     '<!-- note -->\n<d xmlns:gen="urn:kastel:template-generator">\n'
                     '  <gen:repeat from="2" to="3"><row r="{r}"><v>{r-1}</v></row>'
                     '</gen:repeat>\n</d>\n'})
        result, out = self.pack(root)
        self.assertEqual(result.returncode, 0, result.stderr)
        with zipfile.ZipFile(out) as z:
            self.assertEqual(z.read("s.xml").decode(),
                             '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                             '<d><row r="2"><v>1</v></row><row r="3"><v>2</v></row></d>')

    def test_bad_input_is_refused_without_leaving_a_package(self):
        cases = {
            "malformed part": ({"[Content_Types].xml": CONTENT_TYPES, "a.xml": "<a>"},
                               (), "a.xml: XML が不正です"),
            "no content types": ({"a.xml": "<a/>"}, (), "[Content_Types].xml がありません。"),
            "listed part missing": ({"[Content_Types].xml": CONTENT_TYPES}, ("gone.xml",),
                                    "ファイルが見つかりません。"),
            "names differing in case": ({"[Content_Types].xml": CONTENT_TYPES,
                                         "x/A.xml": "<a/>", "x/a.xml": "<a/>"}, (),
                                        "パーツ名が重複しています"),
            "name leaving the folder": ({"[Content_Types].xml": CONTENT_TYPES}, ("../a.xml",),
                                        "パーツ名が不正です"),
            "leading slash": ({"[Content_Types].xml": CONTENT_TYPES}, ("/a.xml",),
                              "パーツ名が不正です"),
        }
        for label, (files, parts, message) in cases.items():
            with self.subTest(label):
                root = self.folder(files)
                result, out = self.pack(root, *parts, out_name=f"{len(label)}.xlsx")
                self.assert_refused(result, out, message)

    def test_a_failed_run_keeps_the_previous_package(self):
        good = self.folder({"[Content_Types].xml": CONTENT_TYPES, "a.xml": "<a/>"})
        bad = self.folder({"[Content_Types].xml": CONTENT_TYPES, "a.xml": "<a"})
        result, out = self.pack(good)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(out, "rb") as f:
            before = f.read()
        result, _ = self.pack(bad)
        self.assertEqual(result.returncode, 1)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), before)
        self.assertEqual(os.listdir(os.path.dirname(out)), ["out.xlsx"])


if __name__ == "__main__":
    PACK, SOURCE = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
