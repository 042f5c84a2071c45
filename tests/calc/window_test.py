"""The bar in a Calc with its window, under Xvfb: the toolbar "KASTEL" shows the seven
commands, and the workbook buttons are greyed out in an ordinary workbook's window while a
definition workbook's window keeps them enabled; a login form cancelled in its window ends the
command as cancelled. Read and pressed through the accessibility tree, not by pixels.

Usage: window_test.py OXT SAMPLE_DIR
"""

import os
import subprocess
import sys
import threading
import time
import unittest

from office import Office

OXT = SAMPLE_DIR = None
BAR = "private:resource/toolbar/addon_KASTEL"
CAPTIONS = ["SQL Server", "Oracle", "シート追加", "テーブル一覧更新", "スクリプト出力",
            "リバースエンジニア", "テンプレート表示切替"]
WAIT = 20


class WindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        read, write = os.pipe()
        cls.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                     "1280x800x24", "-nolisten", "tcp"], pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as f:
            display = ":" + f.readline().strip()
        cls.office = Office(OXT, env={"DISPLAY": display, "SAL_USE_VCLPLUGIN": "gen"},
                            headless=False)

    @classmethod
    def tearDownClass(cls):
        cls.office.stop()
        cls.xvfb.terminate()
        cls.xvfb.wait(10)

    def bar_items(self, doc, expect):
        """The toolbar's items as (caption, enabled), once they are `expect` or time is up."""
        from com.sun.star.accessibility.AccessibleStateType import ENABLED
        deadline = time.monotonic() + WAIT
        while True:
            items = None
            bar = doc.CurrentController.Frame.LayoutManager.getElement(BAR)
            if bar is not None:
                context = bar.RealInterface.AccessibleContext
                items = []
                for i in range(context.AccessibleChildCount):
                    child = context.getAccessibleChild(i).AccessibleContext
                    items.append((child.AccessibleName, child.AccessibleStateSet.contains(ENABLED)))
            if items == expect or time.monotonic() > deadline:
                return items
            time.sleep(0.2)

    def test_the_bar_follows_each_window_s_workbook(self):
        book = self.office.shared_copy(os.path.join(SAMPLE_DIR, "サンプル_SQLServer.xlsx"),
                                       "window.xlsx")
        definition = self.office.load(book)
        self.addCleanup(definition.close, True)
        ordinary = self.office.new_document()
        self.addCleanup(ordinary.close, True)
        for label, doc, workbook_buttons in [("ordinary", ordinary, False),
                                             ("definition", definition, True)]:
            with self.subTest(label):
                expect = [(c, i < 2 or workbook_buttons) for i, c in enumerate(CAPTIONS)]
                self.assertEqual(self.bar_items(doc, expect), expect)
                bar = doc.CurrentController.Frame.LayoutManager.getElement(BAR)
                self.assertEqual(bar.RealInterface.AccessibleContext.AccessibleName, "KASTEL")

    def test_a_login_form_cancelled_in_its_window_ends_the_command_cancelled(self):
        doc = self.office.load(self.office.shared_copy(
            os.path.join(SAMPLE_DIR, "サンプル_SQLServer.xlsx"), "cancel.xlsx"))
        self.addCleanup(doc.close, True)
        outcome = []
        # The form is modal: the dispatch returns only when it closes.
        run = threading.Thread(target=lambda: outcome.append(
            self.office.dispatch(doc.CurrentController.Frame, "Reverse")), daemon=True)
        run.start()
        toolkit = self.office.ctx.ServiceManager.createInstanceWithContext(
            "com.sun.star.awt.Toolkit", self.office.ctx)
        cancel = None
        deadline = time.monotonic() + WAIT
        while cancel is None and time.monotonic() < deadline:
            for i in range(toolkit.TopWindowCount):
                form = toolkit.getTopWindow(i).AccessibleContext
                if form.AccessibleName == "SQL Server への接続":
                    cancel = next((c for c in (form.getAccessibleChild(j).AccessibleContext
                                               for j in range(form.AccessibleChildCount))
                                   if c.AccessibleName == "キャンセル"), None)
            time.sleep(0.2)
        self.assertIsNotNone(cancel, "no login form with a Cancel button")
        cancel.doAccessibleAction(0)
        run.join(WAIT)
        self.assertEqual(outcome, ["cancelled"])


if __name__ == "__main__":
    OXT, SAMPLE_DIR = sys.argv[1:3]
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
