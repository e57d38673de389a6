"""The Linux program's tray icon under an XEmbed notification area (trayer on Xvfb): it docks,
a left click speaks, a right click opens the menu, and the menu's commands act."""

import time
import unittest

from harness import (E2ETest, TrayDriver, alsa_null_home, is_running, linux_env, linux_program,
                     pixels_like, screenshot, snapshot, start_linux, start_tray_host, start_xvfb,
                     strace_clips, tray_icons, wait_until, x_is_viewable, x_windows)

RIM_BLUE = (20, 78, 150)
WAVE_ORANGE = (242, 133, 24)


class LinuxTray(TrayDriver, E2ETest):
    needs = "linux"

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        self.home = alsa_null_home(self.session)

    def start(self, program, fake_time=None, tray_first=True):
        if tray_first:
            start_tray_host(self.session, self.display)
        self.trace = self.session.root / f"openat-{time.monotonic_ns()}.log"
        env = linux_env(self.session, display=self.display, home=self.home)
        return start_linux(self.session, program, env, fake_time=fake_time, trace=self.trace)

    def test_icon_docks_and_shows_our_picture_and_nothing_else(self):
        self.start(linux_program(self.session))
        geometry = self.icon()
        shot = self.session.root / "tray.png"

        def painted():
            screenshot(self.display, shot)
            return (pixels_like(shot, geometry, RIM_BLUE) > 10
                    and pixels_like(shot, geometry, WAVE_ORANGE) > 5)
        # The icon window is docked a moment before its picture is drawn.
        self.assertTrue(wait_until(painted, 5, interval=0.25))

        icon_ids = {wid for wid, *_ in tray_icons(self.display, "tolvane")}

        def others_shown():
            return [w for w in x_windows(self.display) if "tolvane" in w[3]
                    and w[1] not in icon_ids and x_is_viewable(self.display, w[1])]
        self.assertEqual(others_shown(), [])

    def test_icon_docks_when_the_tray_starts_later(self):
        process = self.start(linux_program(self.session), tray_first=False)
        time.sleep(2)
        self.assertTrue(is_running(process))
        start_tray_host(self.session, self.display)
        self.icon(timeout=15)

    def test_left_click_speaks_the_time_at_once(self):
        self.start(linux_program(self.session), fake_time="2010-07-28 15:44:20")
        self.icon()
        self.click_icon(1)
        words = "提示 现在时间下午三点 四十四分".split()
        wait_until(lambda: len(strace_clips(self.trace)) >= len(words), 10)
        self.assertEqual(strace_clips(self.trace), words)

    def test_middle_click_speaks_the_date_and_the_time(self):
        self.start(linux_program(self.session), fake_time="2010-07-28 15:44:20")
        self.click_icon(2)
        words = "提示 今天是 二 零 一 零 年 七月 二十八日 星期三 现在时间下午三点 四十四分".split()
        wait_until(lambda: len(strace_clips(self.trace)) >= len(words), 10)
        self.assertEqual(strace_clips(self.trace), words)

    def test_right_click_opens_the_menu(self):
        process = self.start(linux_program(self.session))
        _, _, _, _, w, h, _, _ = self.open_menu()
        self.assertTrue(is_running(process))
        self.assertGreater(h, w // 2)  # twelve entries stacked

    def test_exit_from_the_menu_ends_cleanly_and_writes_nothing(self):
        program = linux_program(self.session)
        before = snapshot(program)
        process = self.start(program)
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)
        self.assertEqual(tray_icons(self.display, "tolvane"), [])
        self.assertEqual(snapshot(program), before)

    def test_announcements_off_is_stored_and_survives_a_restart(self):
        program = linux_program(self.session, value_ini="[Tolvane]\n格式设置=0\n")
        process = self.start(program)
        self.choose("c")
        wait_until(lambda: "关闭报时=1" in (program / "Value.ini").read_text(), 5)
        self.assertEqual((program / "Value.ini").read_text(), "[Tolvane]\n格式设置=0\n关闭报时=1\n")
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)

        self.start(program, fake_time="2010-07-28 09:59:57", tray_first=False)
        time.sleep(6)
        self.assertEqual(strace_clips(self.trace), [])


if __name__ == "__main__":
    unittest.main()
