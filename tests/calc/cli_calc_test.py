"""kastel's side of the Calc extension: register --calc / unregister --calc through unopkg,
and the environment's answers to the dialogs below the command-line options.

Usage: cli_calc_test.py KASTEL SAMPLE_DIR
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

KASTEL = SAMPLE_DIR = None


class CliCalcTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="kastel-cli-calc-")
        os.chmod(self.dir, 0o777)
        self.addCleanup(shutil.rmtree, self.dir, True)

    def as_user(self, args, **env):
        """Runs `args` with HOME in the test's folder, unprivileged when run as root (unopkg
        refuses per-user extensions for root)."""
        prefix = ["env", "HOME=" + self.dir] + ["%s=%s" % kv for kv in env.items()]
        if os.geteuid() == 0:
            prefix = ["runuser", "-u", "nobody", "--"] + prefix
        return subprocess.run(prefix + args, capture_output=True, text=True, timeout=120)

    def installed(self):
        listing = self.as_user(["unopkg", "list"])
        return "kastel.calc" in listing.stdout

    def test_register_calc_installs_and_unregister_removes_the_extension(self):
        done = self.as_user([KASTEL, "register", "--calc"])
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(self.installed())
        # Registering again replaces the copy instead of failing.
        self.assertEqual(self.as_user([KASTEL, "register", "--calc"]).returncode, 0)
        done = self.as_user([KASTEL, "unregister", "--calc"])
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertFalse(self.installed())
        self.assertEqual(self.as_user([KASTEL, "unregister", "--calc"]).returncode, 1)

    def test_output_folder_comes_from_the_option_then_the_environment(self):
        sample = os.path.join(SAMPLE_DIR, "サンプル_SQLServer.xlsx")
        for label, option, env_folder, written in [
            ("environment only", None, "env", "env"),
            ("option first", "opt", "env", "opt"),
        ]:
            with self.subTest(label):
                root = tempfile.mkdtemp(dir=self.dir)
                for sub in ("env", "opt"):
                    os.mkdir(os.path.join(root, sub))
                args = [KASTEL, "script", sample]
                if option:
                    args += ["-o", os.path.join(root, option)]
                env = dict(os.environ, KASTEL_OUTPUT_FOLDER=os.path.join(root, env_folder))
                done = subprocess.run(args, env=env, capture_output=True, stdin=subprocess.DEVNULL,
                                      timeout=60)
                self.assertEqual(done.returncode, 0, done.stderr)
                for sub in ("env", "opt"):
                    self.assertEqual(sorted(os.listdir(os.path.join(root, sub))),
                                     ["comment.sql", "index.sql", "table.sql"] if sub == written
                                     else [], sub)

    def test_a_malformed_login_text_is_a_usage_error(self):
        book = os.path.join(self.dir, "book.xlsx")
        shutil.copyfile(os.path.join(SAMPLE_DIR, "サンプル_SQLServer.xlsx"), book)
        for text in ["db1;kerberos;sa;master", "db1;sql;sa;master;extra"]:
            with self.subTest(text):
                env = dict(os.environ, KASTEL_LOGIN=text)
                done = subprocess.run([KASTEL, "reverse", book], env=env, capture_output=True,
                                      text=True, stdin=subprocess.DEVNULL, timeout=60)
                self.assertEqual(done.returncode, 2)
                self.assertIn("KASTEL_LOGIN", done.stderr)


if __name__ == "__main__":
    KASTEL, SAMPLE_DIR = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
