"""The Debian package scripts/package makes from debian/: lintian finds nothing at error or
warning level, its menu entry and metainfo validate, and unpacked (dpkg -x) into a throwaway
root the program runs from there: it speaks from its own clips, keeps the user's settings in
XDG_CONFIG_HOME and finds the user's own voice in XDG_DATA_HOME, writes nothing into its root,
and registers /usr/bin/tolvane at logon."""

import shutil
import subprocess
import unittest

from harness import (LINUX_BUILD, RELEASE, E2ETest, TrayDriver, alsa_null_home, linux_env,
                     snapshot, start_linux, start_tray_host, start_xvfb, strace_clips, wait_until)

APP = "example.tolvane.Tolvane"


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
        self.checked("desktop-file-validate", share / f"applications/{APP}.desktop")
        self.assertNotRegex(self.checked("appstreamcli", "validate", "--no-net",
                                         share / f"metainfo/{APP}.metainfo.xml"), "(?m)^[EW]:")
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
            self.assertTrue(wait_until(lambda: len(strace_clips(trace, found_only=True)) > 4, 15))
            self.assertEqual(strace_clips(trace, found_only=True)[0], first)
            if not voice:
                self.choose("c")  # 关闭报时, the first save
                self.assertTrue(wait_until((config / "tolvane/Value.ini").exists, 5))
                self.choose("r")  # 开机启动
                entry = config / "autostart/Kestrune.desktop"
                self.assertTrue(wait_until(entry.exists, 5))
                self.assertIn('Exec="/usr/bin/tolvane"\n', entry.read_text())
            self.choose("e")
            self.assertEqual(process.wait(timeout=10), 0)
        self.assertEqual(snapshot(root), before)


if __name__ == "__main__":
    unittest.main()
