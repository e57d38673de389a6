"""The Linux program starts hidden, reads Value.ini beside itself, writes nothing, and lets only
one copy run per user."""

import os
import subprocess
import time
import unittest

from harness import (TITLE, E2ETest, PrivateMounts, is_running, linux_env, linux_program,
                     private_network, snapshot, start_linux, stop, wait_until)


class LinuxStartup(E2ETest):
    needs = "linux"

    def start(self, program, **kwargs):
        return start_linux(self.session, program, linux_env(self.session, **kwargs))

    def test_starts_hidden_keeps_running_and_creates_no_file(self):
        program = linux_program(self.session)
        before = snapshot(program)
        first = self.start(program)
        time.sleep(2)
        self.assertTrue(is_running(first))
        self.assertEqual(snapshot(program), before)

    def test_second_copy_exits_at_once_and_the_first_runs_on(self):
        program = linux_program(self.session)
        first = self.start(program)
        time.sleep(1)
        started = time.monotonic()
        second = self.session.spawn(private_network(self.session).wrap([program / "tolvane"]),
                                    env=linux_env(self.session), stderr=subprocess.PIPE)
        self.assertEqual(second.wait(timeout=5), 0)
        self.assertLess(time.monotonic() - started, 1.0)
        self.assertEqual(second.stderr.read(), b"Tolvane is already running\n")
        time.sleep(0.5)
        self.assertTrue(is_running(first))

    def test_copies_started_in_the_same_instant_leave_exactly_one(self):
        program = linux_program(self.session)
        copies = [self.start(program) for _ in range(4)]
        time.sleep(2)
        running = [p for p in copies if is_running(p)]
        self.assertEqual(len(running), 1)
        self.assertTrue(all(p.returncode == 0 for p in copies if p not in running))

    def test_copies_with_an_unusable_runtime_marker_leave_exactly_one(self):
        marker = self.session.runtime / f"{TITLE}.lock"
        cases = {
            # Root ignores permission bits: only a read-only mount refuses it for sure.
            "read_only_runtime_folder": lambda: None,
            "folder_at_the_marker": lambda: marker.mkdir(),
            "dangling_link_at_the_marker": lambda: marker.symlink_to(self.session.root / "gone"),
        }
        program = linux_program(self.session)
        env = linux_env(self.session)
        for name, arrange in cases.items():
            with self.subTest(name):
                arrange()
                # A /tmp of our own: the fallback marker of other tests' copies is not ours.
                mounts = PrivateMounts(self.session, name=f"tmp-{name}",
                                       read_only=[self.session.runtime]
                                       if name == "read_only_runtime_folder" else [])
                copies = [mounts.spawn([program / "tolvane"], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                          for _ in range(3)]
                try:
                    wait_until(lambda: sum(map(is_running, copies)) <= 1, 5)
                    time.sleep(1)
                    running = [p for p in copies if is_running(p)]
                    self.assertEqual(len(running), 1)
                    self.assertTrue(all(p.returncode == 0 for p in copies if p not in running))
                    fallback = mounts.tmp / f"tolvane-{os.getuid()}"
                    self.assertTrue((fallback / f"{TITLE}.lock").is_file())
                    self.assertEqual(fallback.stat().st_mode & 0o777, 0o700)
                finally:
                    for process in copies + [mounts.holder]:
                        stop(process)
                    if marker.is_symlink() or marker.is_file():
                        marker.unlink()
                    elif marker.is_dir():
                        marker.rmdir()

    def test_a_copy_from_another_folder_is_also_a_second_copy(self):
        first = self.start(linux_program(self.session, name="a"))
        time.sleep(1)
        second = self.start(linux_program(self.session, name="b"))
        self.assertEqual(second.wait(timeout=5), 0)
        self.assertTrue(is_running(first))

    def test_marker_is_released_when_the_program_ends(self):
        program = linux_program(self.session)
        first = self.start(program)
        time.sleep(1)
        stop(first)
        again = self.start(program)
        time.sleep(1.5)
        self.assertTrue(is_running(again))

    def test_hostile_program_folders_still_start_cleanly(self):
        cases = {
            "read_only_folder": dict(value_ini="[Tolvane]\n格式设置=2\n", mode=0o555),
            "garbage_value_ini": dict(value_ini=bytes(range(256)) * 64),
            "value_ini_is_a_folder": dict(value_ini=None, folder_ini=True),
            "huge_value_ini": dict(value_ini=b"[Tolvane]\n" + b"x" * (20 << 20)),
            "unreadable_value_ini": dict(value_ini="[Tolvane]\n格式设置=2\n", ini_mode=0o000),
        }
        for name, case in cases.items():
            with self.subTest(name):
                program = linux_program(self.session, value_ini=case.get("value_ini"), name=name)
                if case.get("folder_ini"):
                    (program / "Value.ini").mkdir()
                if "ini_mode" in case:
                    (program / "Value.ini").chmod(case["ini_mode"])
                if "mode" in case:
                    program.chmod(case["mode"])
                before = snapshot(program)
                copy = self.start(program)
                time.sleep(1.5)
                self.assertTrue(is_running(copy), name)
                self.assertEqual(snapshot(program), before, name)
                stop(copy)
                program.chmod(0o755)


if __name__ == "__main__":
    unittest.main()
