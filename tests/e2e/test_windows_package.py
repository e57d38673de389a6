"""The Windows package: the zip made by cpack, unpacked into a folder with a Chinese name in a
fresh Wine prefix, runs and speaks from its own Sound folder."""

import unittest
import zipfile

from harness import (RELEASE, WIN32_BUILD, E2ETest, Wine, alsa_null_home, start_tray_host,
                     start_xvfb, wait_until, wine_clips)

WORDS = "提示 现在时间下午三点 四十四分".split()


class WindowsPackage(E2ETest):
    needs = "win32"

    def test_unpacked_into_a_chinese_folder_it_starts_and_speaks(self):
        package = WIN32_BUILD / "package" / f"Tolvane-{RELEASE}-win64.zip"
        target = self.session.folder("下载的 程序")
        with zipfile.ZipFile(package) as archive:
            names = archive.namelist()
            archive.extractall(target)
        top = {name.split("/", 1)[0] for name in names}
        self.assertEqual(len(top), 1)
        program = target / top.pop()
        self.assertTrue((program / "Tolvane.exe").is_file())
        self.assertTrue((program / "README.txt").is_file())
        self.assertTrue((program / "update.dll").is_file())
        self.assertEqual(len(list((program / "Sound").glob("*.wav"))), 324)
        self.assertEqual(len(list((program / "Sound" / "男声").glob("*.wav"))), 29)
        readme = (program / "README.txt").read_bytes()
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""))
        self.assertIn("324 WAV files".encode(), readme.replace(b"\r\n", b" "))
        self.assertTrue((program / "Sound" / "VOICE-LICENCE.txt").is_file())

        display = start_xvfb(self.session)
        start_tray_host(self.session, display)
        wine = Wine(self.session, display=display, home=alsa_null_home(self.session))
        wine.set_fake_time("2010-07-28 15:44:15")
        log = self.session.root / "wine.log"
        wine.spawn([program / "Tolvane.exe"], extra={"WINEDEBUG": "-all,+file"}, log=log)
        self.assertTrue(wine.find_window(wait=20))
        self.assertEqual(wine.run([wine.helper("post_tray"), "left"], timeout=30).returncode, 0)
        wait_until(lambda: len(wine_clips(log)) >= len(WORDS), 15)
        self.assertEqual(wine_clips(log), WORDS)
        text = log.read_text(encoding="utf-8", errors="replace")
        self.assertIn("\\4e0b\\8f7d\\7684 \\7a0b\\5e8f", text)  # 下载的 程序, the unpacked folder


if __name__ == "__main__":
    unittest.main()
