"""The Debian package: clean for lintian and the validators; run from a dpkg -x root it speaks,
keeps its settings and finds own voices in the XDG folders, and registers /usr/bin/tolvane."""

import shutil
import subprocess
import unittest

from harness import (LINUX_BUILD, RELEASE, E2ETest, TrayDriver, alsa_null_home, linux_env,
                     snapshot, start_linux, start_tray_host, start_xvfb, strace_clips, wait_until)


class LinuxPackage(TrayDriver, E2ETest):
    needs = "linux"

    def checked(self, *argv):
        result = subprocess.run([str(a) for a in argv], capture_output=True, text=True,
                                timeout=300)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return result.stdout

    def test_clean_and_running_from_an_unpacked_root(self):
        deb = LINUX_BUILD / "release" / f"tolvane_{RELEASE}_amd64.deb"
        self.checked("lintian", "--fail-on", "error,warning", deb)
        root = self.session.folder("root")
        self.checked("dpkg", "-x", deb, root)
        share = root / "usr/share"
        self.checked("desktop-file-validate", share / "applications/example.tolvane.Tolvane.desktop")
        self.assertNotRegex(self.checked("appstreamcli", "validate", "--no-net",
                                         share / "metainfo/example.tolvane.Tolvane.metainfo.xml"), "(?m)^[EW]:")
        self.assertTrue((share / "man/man1/tolvane.1.gz").is_file())
        config, data = self.session.folder("config"), self.session.folder("data")
        shutil.copytree(share / "tolvane/Sound/男声", data / "tolvane/Sound/我的声音")
        before = snapshot(root)

        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        env = linux_env(self.session, display=self.display, home=alsa_null_home(self.session),
                        extra={"XDG_CONFIG_HOME": str(config), "XDG_DATA_HOME": str(data)})
        for voice, first in (("", "提示"), ("我的声音", "我的声音/提示")):
            if voice:
                with open(config / "tolvane/Value.ini", "a") as ini:
                    ini.write(f"语音包={voice}\n")
            trace = self.session.root / f"trace-{voice}.log"
            process = start_linux(self.session, root / "usr/lib/tolvane", env, trace=trace,
                                  executable=root / "usr/bin/tolvane")
            self.click_icon(1)
            self.assertTrue(wait_until(lambda: strace_clips(trace, found_only=True), 15))
            self.assertEqual(strace_clips(trace, found_only=True)[0], first)
            if not voice:  # 关闭报时 (the first save), 开机启动
                self.choose("c")
                self.choose("r")
                entry = config / "autostart/Kestrune.desktop"
                self.assertTrue(wait_until(entry.exists, 5))
                self.assertIn('Exec="/usr/bin/tolvane"\n', entry.read_text())
            self.choose("e")
            self.assertEqual(process.wait(timeout=10), 0)
        self.assertEqual(snapshot(root), before)


if __name__ == "__main__":
    unittest.main()
