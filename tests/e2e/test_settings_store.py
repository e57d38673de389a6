"""Value.ini under power-cut conditions, in both programs: a process saving it through the
program's own store is killed at random moments, and the file is always whole. On Linux, writes
that the disk or folder refuses leave the old file as it was."""

import random
import signal
import subprocess
import time
import unittest

from harness import LINUX_BUILD, E2ETest, Wine, wait_until, windows_path

WRITER = LINUX_BUILD / "tests" / "e2e" / "settings_writer"
KEYS = ("报时设置", "格式设置", "广告设置", "关闭报时", "自动校时")


def settings_of(path, encoding="utf-8"):
    """The keys of [Tolvane], or None when the file is missing or not a clean settings file."""
    try:
        lines = path.read_bytes().decode(encoding).splitlines()
    except (OSError, UnicodeDecodeError):
        return None
    if not lines or lines[0] != "[Tolvane]":
        return None
    pairs = [line.split("=", 1) for line in lines[1:]]
    if any(len(p) != 2 for p in pairs):
        return None
    return dict(pairs)


def ini_with(value):
    return "[Tolvane]\n" + "".join(f"{k}={value}\n" for k in KEYS)


class KillScenario:
    """A subclass starts its program's writer (`spawn_writer`) and names the file's encoding."""

    def wait_writing(self, ini):
        """Returns once the writer is saving; a writer that starts at once needs no wait."""

    def test_a_writer_killed_at_any_moment_never_tears_the_file(self):
        folder = self.session.folder("program")
        ini = folder / "Value.ini"
        ini.write_bytes(ini_with("1").encode(self.encoding))
        rng = random.Random(20261207)
        intact = 0
        for _ in range(self.kills):
            writer = self.spawn_writer(ini, "loop", "1", "2")
            self.wait_writing(ini)
            time.sleep(rng.uniform(0, 0.02))
            writer.send_signal(signal.SIGKILL)
            writer.wait(timeout=10)
            self.session.processes.remove(writer)
            values = settings_of(ini, self.encoding)
            if values is not None and set(values) == set(KEYS) and \
                    all(v in ("1", "2") for v in values.values()):
                intact += 1
        print(f"\n{intact} of {self.kills} kills left an intact Value.ini")
        self.assertEqual(intact, self.kills)
        # The next complete write clears what the killed writers left unfinished.
        self.assertEqual(self.spawn_writer(ini, "once", "3").wait(timeout=60), 0)
        self.assertEqual(sorted(p.name for p in folder.iterdir()), ["Value.ini"])
        self.assertEqual(settings_of(ini, self.encoding), dict.fromkeys(KEYS, "3"))


class WindowsSettingsStore(KillScenario, E2ETest):
    needs = "win32"
    encoding = "gbk"
    kills = 40  # Wine takes a moment to start each writer

    def setUp(self):
        super().setUp()
        self.wine = Wine(self.session)

    def spawn_writer(self, ini, *args):
        return self.wine.spawn([self.wine.helper("settings_writer"), windows_path(ini), *args])

    def wait_writing(self, ini):
        """Until the writer has saved once, so that the kill comes while it writes."""
        before = ini.stat().st_mtime_ns
        self.assertTrue(wait_until(lambda: ini.stat().st_mtime_ns != before, 30, interval=0.005))


class LinuxSettingsStore(KillScenario, E2ETest):
    needs = "linux"
    encoding = "utf-8"
    kills = 1000

    def spawn_writer(self, ini, *args):
        return self.session.spawn([WRITER, ini, *args], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)

    def test_refused_writes_keep_the_old_file_and_leave_no_temporary(self):
        old = ini_with("1")
        with self.subTest("read_only_folder"):
            folder = self.session.folder("read_only")
            (folder / "Value.ini").write_text(old)
            folder.chmod(0o555)
            result = subprocess.run([WRITER, folder / "Value.ini", "once", "2"],
                                    capture_output=True, text=True, timeout=30)
            folder.chmod(0o755)
            self.assertEqual((result.returncode, result.stdout), (1, "写入失败 \n"))
            self.assertEqual((folder / "Value.ini").read_text(), old)
            self.assertEqual(sorted(p.name for p in folder.iterdir()), ["Value.ini"])

        with self.subTest("full_disk"):
            folder = self.session.folder("full_disk")
            seed = self.session.root / "seed.ini"
            seed.write_text(old)
            # A tiny tmpfs of our own, filled up, in a private mount namespace.
            script = (f'mount -t tmpfs -o size=16k tmpfs "{folder}" && '
                      f'cp "{seed}" "{folder}/Value.ini" && '
                      f'(dd if=/dev/zero of="{folder}/filler" bs=1k 2>/dev/null; true) && '
                      f'"{WRITER}" "{folder}/Value.ini" once 2; echo "rc=$?"; '
                      f'ls -A "{folder}"; cat "{folder}/Value.ini"')
            result = subprocess.run(["unshare", "-m", "--propagation", "private", "sh", "-c",
                                     script], capture_output=True, text=True, timeout=30)
            lines = result.stdout.split("\n")
            self.assertEqual(lines[:4], ["写入失败 ", "rc=1", "Value.ini", "filler"],
                             result.stdout + result.stderr)
            self.assertEqual(result.stdout.split("filler\n", 1)[1], old)


if __name__ == "__main__":
    unittest.main()
