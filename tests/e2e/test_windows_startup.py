"""Tolvane.exe under Wine: its hidden main window carries the exact title, it writes nothing, and
a running copy, or any window of that title, keeps a second copy from starting."""

import time
import unittest

from harness import (TITLE, E2ETest, Wine, gbk_ini, is_running, snapshot, start_xvfb,
                     windows_program, x_is_viewable, x_windows)


class WindowsStartup(E2ETest):
    needs = "win32"

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        self.wine = Wine(self.session, display=self.display)

    def start(self, program):
        return self.wine.spawn([program / "Tolvane.exe"])

    def test_hidden_window_has_the_exact_title_and_nothing_is_written(self):
        program = windows_program(self.session)
        before = snapshot(program)
        copy = self.start(program)
        self.assertTrue(self.wine.find_window(wait=20))
        self.assertFalse(self.wine.find_window(title=TITLE + " "))
        shown = [w for w in x_windows(self.display)
                 if w[2] == TITLE and x_is_viewable(self.display, w[1])]
        self.assertEqual(shown, [])
        time.sleep(1)
        self.assertTrue(is_running(copy))
        self.assertEqual(snapshot(program), before)

    def test_second_copy_exits_at_once(self):
        program = windows_program(self.session)
        first = self.start(program)
        self.assertTrue(self.wine.find_window(wait=20))
        started = time.monotonic()
        log = self.session.root / "second.log"
        second = self.wine.spawn([program / "Tolvane.exe"], log=log)
        self.assertEqual(second.wait(timeout=20), 0)
        self.assertIn(b"Tolvane is already running", log.read_bytes())
        self.assertLess(time.monotonic() - started, 5)
        self.assertTrue(is_running(first))
        self.assertTrue(self.wine.find_window())

    def test_copies_started_together_leave_exactly_one(self):
        program = windows_program(self.session)
        exe = "Z:" + str(program / "Tolvane.exe").replace("/", "\\")
        # The helper releases three copies in the same instant and answers with the number still
        # running once one is left with its main window, or a second shows its own (plus 100 if
        # one failed, plus 50 without a main window); it ends the survivor before the next
        # round. The bound is wide: Wine takes seconds to start copies on a loaded machine.
        for attempt in range(5):
            result = self.wine.run([self.wine.helper("start_together"), 3, 120, exe, TITLE],
                                   timeout=180)
            self.assertEqual(result.returncode, 1, f"round {attempt}")
        self.assertTrue(self.wine.find_window(gone=True, wait=10))

    def test_a_foreign_window_with_the_title_keeps_it_from_starting(self):
        holder = self.wine.spawn([self.wine.helper("foreign_window"), TITLE, "60"])
        self.assertTrue(self.wine.find_window(wait=20))
        program = windows_program(self.session)
        copy = self.start(program)
        self.assertEqual(copy.wait(timeout=20), 0)
        self.assertTrue(is_running(holder))

    def test_garbage_or_missing_settings_still_start(self):
        cases = {
            "garbage": bytes(range(256)) * 64,
            "unknown_keys_only": gbk_ini("[Other]\n报时设置=1\n"),
            "hostile_numbers": gbk_ini("[Tolvane]\n报时设置=99999999999999\n格式设置=-7\n关闭报时=0x1\n"),
        }
        for name, content in cases.items():
            with self.subTest(name):
                program = windows_program(self.session, value_ini=content, name=name)
                before = snapshot(program)
                copy = self.start(program)
                self.assertTrue(self.wine.find_window(wait=20), name)
                time.sleep(0.5)
                self.assertTrue(is_running(copy))
                self.assertEqual(snapshot(program), before)
                self.wine.kill_server()
                self.assertTrue(self.wine.find_window(gone=True, wait=10))


if __name__ == "__main__":
    unittest.main()
