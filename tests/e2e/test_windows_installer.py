"""The per-user installer, silent as winget runs it, in a fresh Wine prefix: install, use, install
again over it, uninstall; the user's settings and clips stay throughout. It asks for no rights."""

import subprocess
import unittest

from harness import (RELEASE, WIN32_BUILD, E2ETest, Wine, WineTrayDriver, alsa_null_home,
                     start_tray_host, start_xvfb, wait_until)

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"


def files(folder):
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*") if p.is_file())


class WindowsInstaller(WineTrayDriver, E2ETest):
    needs = "win32"

    def run_silently(self, program, *options):
        self.assertEqual(self.wine.run([program, "/S", *options], timeout=180).returncode, 0)
        # The uninstaller goes on in a copy of itself: wait for every Wine process.
        subprocess.run(self.wine.command(["wineserver", "-w"]), env=self.wine.env, timeout=180)

    def test_install_use_install_again_and_remove_for_one_user(self):
        setup = WIN32_BUILD / "package" / f"Tolvane-{RELEASE}-setup.exe"
        self.assertIn(b'level="asInvoker"', setup.read_bytes())
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        self.wine = Wine(self.session, display=self.display, home=alsa_null_home(self.session))
        user = next((self.wine.prefix / "drive_c/users").glob("*/AppData/Roaming")).parents[1]
        program, roaming = user / "AppData/Local/Programs/Tolvane", user / "AppData/Roaming"
        at = rf"C:\users\{user.name}\AppData\Local\Programs\Tolvane"
        shortcut = roaming / "Microsoft/Windows/Start Menu/Programs/Tolvane.lnk"
        run_value = ("REG_SZ", f'"{at}\\Tolvane.exe"')

        self.run_silently(setup, "/AUTOSTART")
        sound = [f"Sound/{name}" for name in files(WIN32_BUILD / "Sound")
                 if name.endswith((".wav", ".txt"))]
        self.assertEqual(files(program), sorted(
            ["Tolvane.exe", "update.dll", "package.ini", "uninstall.exe"] + sound))
        self.assertTrue(shortcut.is_file())
        self.assertEqual(self.wine.registry_value("UninstallString", UNINSTALL_KEY),
                         ("REG_SZ", f'"{at}\\uninstall.exe"'))
        self.assertEqual(self.wine.registry_value("Kestrune"), run_value)

        # The program takes the installer's logon entry for its own: 开机启动 takes it away.
        process = self.wine.spawn([at + r"\Tolvane.exe"])
        self.assertTrue(self.wine.find_window(wait=20))
        self.choose("c")  # 关闭报时, saved
        self.choose("r")
        settings = roaming / "Tolvane/Value.ini"
        self.assertTrue(wait_until(settings.exists, 10))
        self.assertTrue(wait_until(lambda: self.wine.registry_value("Kestrune") is None, 10))
        self.choose("e")
        self.assertEqual(process.wait(timeout=20), 0)
        saved = settings.read_bytes()
        for clip in (roaming / "Tolvane/Sound/我的/提示.wav", program / "Sound/自己的.wav"):
            clip.parent.mkdir(parents=True, exist_ok=True)
            clip.write_bytes(b"mine")

        self.run_silently(setup, "/AUTOSTART")
        self.assertEqual(settings.read_bytes(), saved)
        self.assertEqual(self.wine.registry_value("Kestrune"), run_value)

        self.run_silently(at + r"\uninstall.exe")
        self.assertEqual(files(program), ["Sound/自己的.wav"])
        self.assertEqual(files(roaming / "Tolvane"), ["Sound/我的/提示.wav", "Value.ini"])
        self.assertFalse(shortcut.exists())
        self.assertIsNone(self.wine.registry_value("Kestrune"))
        self.assertIsNone(self.wine.registry_value("DisplayName", UNINSTALL_KEY))


if __name__ == "__main__":
    unittest.main()
