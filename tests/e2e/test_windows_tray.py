"""Tolvane.exe's tray icon under Wine with an XEmbed notification area: it docks, the callback
messages of the icon speak or open the menu, and the menu's commands act."""

import time
import unittest

from harness import (E2ETest, Wine, WineTrayDriver, alsa_null_home, gbk_ini, is_running,
                     pixels_like, screenshot, snapshot, start_tray_host, start_xvfb, tray_icons,
                     wait_until, windows_program, wine_clips, x_tool)

RIM_BLUE = (20, 78, 150)


class WindowsTray(WineTrayDriver, E2ETest):
    needs = "win32"

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        self.wine = Wine(self.session, display=self.display, home=alsa_null_home(self.session))

    def post(self, what):
        return self.wine.post_tray(what)

    def icons(self):
        return tray_icons(self.display, "explorer.exe")

    def test_icon_docks_with_our_picture(self):
        self.start(windows_program(self.session))
        icons = wait_until(self.icons, 10)
        self.assertTrue(icons)
        _, w, h, x, y = icons[0]
        shot = self.session.root / "tray.png"

        def painted():
            screenshot(self.display, shot)
            return pixels_like(shot, (w, h, x, y), RIM_BLUE) > 10
        self.assertTrue(wait_until(painted, 5, interval=0.25))

    def test_left_button_speaks_the_time_at_once(self):
        self.start(windows_program(self.session), fake_time="2010-07-28 15:44:15")
        self.assertTrue(self.post("left"))
        words = "提示 现在时间下午三点 四十四分".split()
        wait_until(lambda: len(wine_clips(self.log)) >= len(words), 15)
        self.assertEqual(wine_clips(self.log), words)

    def test_middle_button_speaks_the_date_and_the_time(self):
        self.start(windows_program(self.session), fake_time="2010-07-28 15:44:15")
        _, w, h, x, y = wait_until(self.icons, 10)[0]
        x_tool(self.display, "xdotool", "mousemove", x + w // 2, y + h // 2, "click", "2")
        words = "提示 今天是 二 零 一 零 年 七月 二十八日 星期三 现在时间下午三点 四十四分".split()
        wait_until(lambda: len(wine_clips(self.log)) >= len(words), 15)
        self.assertEqual(wine_clips(self.log), words)

    def test_right_button_opens_the_menu(self):
        process = self.start(windows_program(self.session))
        self.assertTrue(self.post("right"))
        self.assertTrue(self.post("menu"))
        self.assertTrue(is_running(process))

    def test_exit_from_the_menu_removes_the_icon_and_writes_nothing(self):
        program = windows_program(self.session)
        before = snapshot(program)
        process = self.start(program)
        self.assertTrue(wait_until(self.icons, 10))
        self.choose("e")
        self.assertEqual(process.wait(timeout=15), 0)
        self.assertTrue(self.wine.find_window(gone=True))
        self.assertEqual(wait_until(lambda: not self.icons(), 5), True)
        self.assertEqual(snapshot(program), before)

    def test_announcements_off_is_stored_and_survives_a_restart(self):
        program = windows_program(self.session, value_ini=gbk_ini("[Tolvane]\n格式设置=0\n"))
        process = self.start(program)
        self.choose("c")
        expected = gbk_ini("[Tolvane]\n格式设置=0\n关闭报时=1\n")
        wait_until(lambda: (program / "Value.ini").read_bytes() == expected, 5)
        self.assertEqual((program / "Value.ini").read_bytes(), expected)
        self.choose("e")
        self.assertEqual(process.wait(timeout=15), 0)

        self.start(program, fake_time="2010-07-28 09:59:55")
        time.sleep(9)
        self.assertEqual(wine_clips(self.log), [])


if __name__ == "__main__":
    unittest.main()
