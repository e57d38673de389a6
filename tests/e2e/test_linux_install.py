"""The per-user installation: scripts/install into a temporary HOME gives a menu entry that
validates, a linked program that runs from its installed folder and registers that folder at
logon, and scripts/uninstall takes it all away again except the user's settings and clips.
Neither script touches what is someone else's, and the HOME holds characters that the shell
and desktop entries treat specially."""

import subprocess
import unittest

from harness import (LINUX_BUILD, SOURCE, E2ETest, TrayDriver, linux_env, snapshot,
                     start_linux, start_tray_host, start_xvfb, wait_until)


class LinuxInstall(TrayDriver, E2ETest):
    needs = "linux"

    def env(self, home, display=None):
        env = linux_env(self.session, display=display, home=home)
        for name in ("XDG_DATA_HOME", "XDG_CONFIG_HOME"):
            env.pop(name, None)  # everything goes under the temporary HOME
        return env

    def script(self, name, home):
        env = self.env(home)
        args = [SOURCE / "scripts" / name] + ([LINUX_BUILD] if name == "install" else [])
        return subprocess.run([str(a) for a in args], env=env, capture_output=True, text=True,
                              timeout=120)

    def test_install_run_register_and_uninstall(self):
        home = self.session.folder('home & 100% $x "q" \\b')
        (home / ".asoundrc").write_text("pcm.!default { type null }\n")
        lib = home / ".local" / "lib" / "tolvane"
        entry = home / ".local" / "share" / "applications" / "tolvane.desktop"
        link = home / ".local" / "bin" / "tolvane"
        link.mkdir(parents=True)
        entry.parent.mkdir(parents=True)
        entry.write_text("[Desktop Entry]\nType=Application\nName=Other\nExec=/usr/bin/tolvane\n")
        before = snapshot(home)
        self.assertEqual(self.script("uninstall", home).returncode, 0)
        result = self.script("install", home)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(f"{link} is not Tolvane's", result.stderr)
        self.assertEqual(snapshot(home), before)  # someone else's, untouched by either
        link.rmdir()
        entry.unlink()
        before = snapshot(home)

        result = self.script("install", home)
        self.assertEqual(result.returncode, 0, result.stderr)
        (lib / "Sound" / "我的.wav").write_bytes(b"mine")
        (lib / "Sound" / "点.wav").write_bytes(b"changed")
        result = self.script("install", home)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual((lib / "Sound" / "点.wav").read_bytes(), b"changed")
        self.assertEqual(link.resolve(), lib / "tolvane")
        self.assertEqual(len(list((lib / "Sound").glob("*.wav"))), 325)
        self.assertTrue((lib / "libupdate.so").is_file())
        self.assertTrue((home / ".local/share/icons/hicolor/48x48/apps/tolvane.png").is_file())
        self.assertTrue((home / ".local/share/icons/hicolor/scalable/apps/tolvane.svg").is_file())
        valid = subprocess.run(["desktop-file-validate", str(entry)], capture_output=True,
                               text=True, timeout=30)
        self.assertEqual((valid.returncode, valid.stdout), (0, ""))

        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        env = self.env(home, self.display)
        process = start_linux(self.session, lib, env, executable=link)
        self.choose("r")  # 开机启动: register at logon
        autostart = home / ".config" / "autostart" / "Kestrune.desktop"
        self.assertTrue(wait_until(autostart.exists, 5))
        exec_line = [line for line in entry.read_text().splitlines() if line.startswith("Exec=")]
        self.assertIn(f"{exec_line[0]}\n", autostart.read_text())  # the program's own escaping
        self.choose("c")  # 关闭报时: the user now has settings
        self.assertTrue(wait_until((lib / "Value.ini").exists, 5))
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)

        result = self.script("uninstall", home)
        self.assertEqual(result.returncode, 0, result.stderr)
        left = set(snapshot(home)) - set(before)
        self.assertEqual({p for p in left if not (home / p).is_dir()},
                         {f".local/lib/tolvane/{name}" for name in
                          ("Value.ini", "Sound/我的.wav", "Sound/点.wav")})
        self.assertFalse(autostart.exists())
        self.assertFalse([p for p in left if p.startswith(".local/share/icons")])  # its folders too


if __name__ == "__main__":
    unittest.main()
