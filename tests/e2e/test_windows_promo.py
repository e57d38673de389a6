"""Two seconds after start-up, on Tolvane.exe under Wine inside a private network with a web
server of our own: update.dll from the program folder only, the advert decision, and the
advert window (Wine's browser control cannot render, so it asks for the page and stays hidden
below the screen)."""

import shutil
import time
import unittest

from harness import (ADVERT_PAGE, ADVERT_TITLE, NEWER_RELEASE, OFFER_TITLE, RELEASE, SECOND_PAGE,
                     UPDATE_DESCRIPTION, WIN32_BUILD, E2ETest, WebServer, Wine, WineTrayDriver,
                     alsa_null_home, fake_opener, gbk_ini, is_running, opened, start_tray_host,
                     start_xvfb, stop, wait_until, windows_path, windows_program, wine_clips,
                     x_tool)

PLANTED = WIN32_BUILD / "tests" / "e2e" / "planted" / "update.dll"


def routes(description=f"{RELEASE}\r\nhttps://update.tolvane.example/download\r\n"):
    return {ADVERT_PAGE: {"body": "<html><body>Tolvane 推荐</body></html>"},
            UPDATE_DESCRIPTION: {"body": description, "type": "text/plain"}}


class WindowsPromo(WineTrayDriver, E2ETest):
    needs = "win32"

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        self.wine = Wine(self.session, display=self.display, home=alsa_null_home(self.session))
        self.opener, self.opened = fake_opener(self.session)
        self.wine.env["PATH"] = f"{self.opener}:{self.wine.env['PATH']}"

    def helper(self, *argv):
        return self.wine.run([self.wine.helper(argv[0])] + list(argv[1:]), timeout=30).returncode

    def advert_state(self):
        out = self.session.root / "advert.txt"
        if self.helper("window_state", ADVERT_TITLE, windows_path(out)) != 0:
            return None
        return dict(item.split("=") for item in out.read_text().split())

    def exit_through_the_menu(self, process):
        self.assertEqual(self.helper("post_tray", "right"), 0)
        self.assertEqual(self.helper("post_tray", "menu"), 0)
        x_tool(self.display, "xdotool", "key", "e")
        self.assertEqual(process.wait(timeout=15), 0)

    def count(self, server, path):
        return server.paths().count(path)

    def test_every_start_asks_for_the_page_and_closing_the_window_opens_the_second_page(self):
        server = WebServer(self.session, routes())
        value_ini = gbk_ini("[Tolvane]\n广告设置=0\n广告日期=2020|01|01\n")
        program = windows_program(self.session, value_ini=value_ini)
        process = self.start(program)
        self.assertTrue(wait_until(lambda: self.count(server, ADVERT_PAGE) == 1, 15))
        self.assertEqual(server.requests()[0][0], "www.tolvane.example")
        state = wait_until(self.advert_state, 10)
        self.assertTrue(state, "no advert window")
        # Loaded and parked: hidden, right edge on the screen's, top at the screen's height.
        width, height = state["screen"].split(",")
        self.assertEqual(state["visible"], "0")
        self.assertEqual(state["top"], height)
        self.assertEqual(state["right"], width)

        self.assertEqual(self.helper("window_state", ADVERT_TITLE, "--close"), 0)
        self.assertTrue(wait_until(lambda: opened(self.opened), 20))
        self.assertEqual(opened(self.opened), [SECOND_PAGE])
        self.assertIsNone(self.advert_state())
        self.assertTrue(is_running(process))
        self.exit_through_the_menu(process)

        # Every start asks again; exit while the window is loaded opens nothing.
        process = self.start(program)
        self.assertTrue(wait_until(lambda: self.count(server, ADVERT_PAGE) == 2, 15))
        self.assertTrue(wait_until(self.advert_state, 10))
        self.exit_through_the_menu(process)
        time.sleep(2)
        self.assertEqual(opened(self.opened), [SECOND_PAGE])
        self.assertEqual((program / "Value.ini").read_bytes(), value_ini)

    def test_once_a_day_under_fake_time(self):
        server = WebServer(self.session, routes())
        program = windows_program(
            self.session, value_ini=gbk_ini("[Tolvane]\n广告设置=1\n广告日期=2026|9|7\n"))

        def run(moment, pages):
            process = self.start(program, fake_time=moment)
            self.assertTrue(wait_until(lambda: self.count(server, ADVERT_PAGE) == pages, 15))
            time.sleep(3)
            self.assertEqual(self.count(server, ADVERT_PAGE), pages)
            stop(process)
            self.wine.kill_server()

        run("2026-09-07 10:00:00", 1)
        self.assertEqual((program / "Value.ini").read_bytes(),
                         gbk_ini("[Tolvane]\n广告设置=1\n广告日期=2026|09|07\n"))
        run("2026-09-07 18:30:00", 1)
        run("2026-09-08 08:00:00", 2)
        self.assertEqual((program / "Value.ini").read_bytes(),
                         gbk_ini("[Tolvane]\n广告设置=1\n广告日期=2026|09|08\n"))

    def test_mode_2_asks_for_no_page_but_the_update_offer_comes(self):
        server = WebServer(self.session, routes(
            f"{NEWER_RELEASE}\r\nhttps://update.tolvane.example/download\r\n"))
        program = windows_program(self.session, value_ini=gbk_ini("[Tolvane]\n广告设置=2\n"),
                                  update=True)
        process = self.start(program)
        self.assertTrue(self.wine.find_window(OFFER_TITLE, wait=20), "no update offer")
        self.assertEqual(server.requests(), [("update.tolvane.example", UPDATE_DESCRIPTION)])
        self.assertIsNone(self.advert_state())
        self.assertTrue(is_running(process))
        self.assertEqual(opened(self.opened), [])
        # 否 is remembered beside Value.ini: the next start asks no more about that version.
        self.assertEqual(self.helper("window_state", OFFER_TITLE, "--press", "7"), 0)
        self.assertTrue(wait_until(lambda: (program / "Update.ini").exists(), 10))
        stop(process)
        self.wine.kill_server()
        self.start(program)
        self.assertTrue(wait_until(lambda: len(server.requests()) == 2, 15))
        time.sleep(3)
        self.assertFalse(self.wine.find_window(OFFER_TITLE))
        self.assertEqual(opened(self.opened), [])

    def test_update_library_comes_only_from_the_program_folder(self):
        server = WebServer(self.session, routes("2.9\r\nhttps://update.tolvane.example/old\r\n"))
        marker = self.session.root / "planted.log"
        cwd, path = self.session.folder("cwd"), self.session.folder("path")
        for folder in (cwd, path):
            shutil.copy2(PLANTED, folder / "update.dll")
        extra = {"TOLVANE_PLANTED_MARKER": windows_path(marker), "WINEPATH": windows_path(path)}
        program = windows_program(self.session, value_ini=gbk_ini("[Tolvane]\n广告设置=2\n"))

        def run(expect_description):
            process = self.start(program, cwd=cwd, extra=extra)
            wait_until(lambda: self.count(server, UPDATE_DESCRIPTION) == expect_description, 10)
            time.sleep(3)
            self.assertEqual(self.count(server, UPDATE_DESCRIPTION), expect_description)
            self.assertFalse(self.wine.find_window(OFFER_TITLE))
            self.assertTrue(is_running(process))
            stop(process)
            self.wine.kill_server()

        run(0)
        self.assertFalse(marker.exists())
        shutil.copy2(WIN32_BUILD / "update.dll", program / "update.dll")
        run(1)
        server.set_routes(routes("3.1 https://update.tolvane.example/new\r\n"))
        run(2)
        self.assertFalse(marker.exists())
        shutil.copy2(PLANTED, program / "update.dll")
        self.start(program, cwd=cwd, extra=extra)
        self.assertTrue(
            wait_until(lambda: marker.exists() and "DoUpdate" in marker.read_text(), 10))

    def test_a_description_trickling_in_is_given_up_at_ten_seconds(self):
        description = f"{NEWER_RELEASE}\r\nhttps://update.tolvane.example/download\r\n"
        server = WebServer(self.session, dict(routes(), **{
            UPDATE_DESCRIPTION: {"body": description, "type": "text/plain", "trickle": 15}}))
        program = windows_program(self.session, value_ini=gbk_ini("[Tolvane]\n广告设置=2\n"),
                                  update=True)
        self.start(program)
        dropped = wait_until(lambda: server.requests("DROP"), 30)
        self.assertTrue(dropped, "the description was read to its end")
        self.assertLess(float(dropped[0][1]), 12)
        self.assertFalse(self.wine.find_window(OFFER_TITLE, wait=7), "an offer after 10 s")

    def test_a_silent_update_server_leaves_the_tray_responsive(self):
        server = WebServer(self.session,
                           dict(routes(), **{UPDATE_DESCRIPTION: {"hang": True}}))
        program = windows_program(self.session, value_ini=gbk_ini("[Tolvane]\n广告设置=2\n"),
                                  update=True)
        self.start(program, fake_time="2010-07-28 15:44:15")
        self.assertTrue(wait_until(lambda: self.count(server, UPDATE_DESCRIPTION) == 1, 15))
        self.assertEqual(self.helper("post_tray", "left"), 0)
        posted = time.monotonic()
        self.assertTrue(wait_until(lambda: wine_clips(self.log), 5))
        self.assertLess(time.monotonic() - posted, 1.0)
        self.assertEqual(wine_clips(self.log)[0], "提示")


if __name__ == "__main__":
    unittest.main()
