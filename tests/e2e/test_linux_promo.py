"""Two seconds after start-up: the update library from the program folder, the advert decision
and the advert window sliding up above the taskbar, on the Linux program inside a private
network with a web server of our own."""

import base64
import os
import re
import shutil
import subprocess
import time
import unittest

from harness import (ADVERT_PAGE, ADVERT_TITLE, LINUX_BUILD, NEWER_RELEASE, OFFER_TITLE, RELEASE,
                     SECOND_PAGE, UPDATE_DESCRIPTION, E2ETest, TrayDriver, WebServer,
                     alsa_null_home, fake_opener, is_running, linux_env, linux_program, opened,
                     peak_memory_kb, pixels_like, screenshot, start_linux, start_tray_host,
                     start_xvfb, stop, strace_clips, wait_until, x_is_viewable, x_tool, x_windows)

PICTURE = "/ad/picture.png"
PLANTED = LINUX_BUILD / "tests" / "e2e" / "planted" / "libupdate.so"
X_CLOSE = LINUX_BUILD / "tests" / "e2e" / "x_close"
SCREEN = (1024, 768)
TASKBAR = 40  # kept free at the bottom through _NET_WORKAREA, as a panel would


def picture(size="160x60"):
    png = subprocess.run(["convert", "-size", size, "xc:#e05a20", "-define", "png:color-type=2",
                          "png:-"], capture_output=True, timeout=30, check=True).stdout
    return base64.b64encode(png).decode()


def routes(description=f"{RELEASE}\nhttps://update.tolvane.example/download\n"):
    # ℃: the page's first font (WenQuanYi Micro Hei) lists it but has no drawing for it.
    page = ("<html><head><meta charset='utf-8'></head><body><p>℃℃℃℃</p><p>Tolvane 推荐</p>"
            f"<img src='{PICTURE}'></body></html>")
    return {ADVERT_PAGE: {"body": page},
            PICTURE: {"base64": picture(), "type": "image/png"},
            UPDATE_DESCRIPTION: {"body": description, "type": "text/plain"}}


_CONFIGURE = re.compile(r"ConfigureNotify event.*\n.*window (0x[0-9a-f]+), \((-?\d+),(-?\d+)\), "
                        r"width (\d+), height (\d+)")


class LinuxPromo(TrayDriver, E2ETest):
    needs = "linux"

    def setUp(self):
        super().setUp()
        self.home = alsa_null_home(self.session)
        self.opener, self.opened = fake_opener(self.session)
        self.display = None

    def env(self, extra=None):
        path = f"{self.opener}:{os.environ['PATH']}"
        return linux_env(self.session, display=self.display, home=self.home,
                         extra=dict({"PATH": path}, **(extra or {})))

    def desktop(self):
        """Xvfb with a tray at the top and 40 pixels kept free at the bottom."""
        self.display = start_xvfb(self.session, size=f"{SCREEN[0]}x{SCREEN[1]}x24")
        x_tool(self.display, "xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set",
               "_NET_WORKAREA", f"0, 0, {SCREEN[0]}, {SCREEN[1] - TASKBAR}")
        start_tray_host(self.session, self.display)

    def start(self, program, fake_time=None, cwd=None, extra=None):
        self.trace = self.session.root / f"openat-{time.monotonic_ns()}.log"
        return start_linux(self.session, program, self.env(extra), fake_time=fake_time,
                           trace=self.trace, cwd=cwd)

    def windows(self, title):
        return [w for w in x_windows(self.display) if w[2] == title and "tolvane" in w[3]
                and x_is_viewable(self.display, w[1])]

    def count(self, server, path):
        return server.paths().count(path)

    def frame(self, window):
        """(width, height, left, top) of the window's frame: its ancestor among the root's
        children."""
        tree = x_windows(self.display)
        top = min(w[0] for w in tree)
        at = [w[1] for w in tree].index(window)
        return next(w for w in reversed(tree[:at + 1]) if w[0] == top)[4:]

    def test_every_start_slides_up_above_the_taskbar_and_the_close_box_opens_the_second_page(self):
        self.desktop()
        server = WebServer(self.session, routes())
        value_ini = "[Tolvane]\n广告设置=0\n广告日期=2020|01|01\n"
        program = linux_program(self.session, value_ini=value_ini)
        events = self.session.root / "xev.log"
        with open(events, "w") as out:
            self.session.spawn(["xev", "-root", "-event", "substructure"],
                               env=dict(os.environ, DISPLAY=self.display), stdout=out)
        time.sleep(0.5)
        started = time.monotonic()
        process = self.start(program)

        final = (300, 200, SCREEN[0] - 300, SCREEN[1] - 200 - TASKBAR)
        at_rest = wait_until(
            lambda: [w for w in self.windows(ADVERT_TITLE) if w[4:] == final], 20)
        self.assertTrue(at_rest, f"advert not at rest at {final}: {self.windows(ADVERT_TITLE)}")
        self.assertGreater(time.monotonic() - started, 1.5)  # not before the two seconds
        self.assertEqual(self.count(server, ADVERT_PAGE), 1)
        self.assertEqual(self.count(server, PICTURE), 1)
        self.assertEqual(self.count(server, UPDATE_DESCRIPTION), 0)  # no libupdate.so in the folder

        # One pixel a step from just below the screen's bottom edge up to the rest position.
        window = at_rest[0][1]
        tops = [int(y) for wid, x, y, w, h in _CONFIGURE.findall(events.read_text())
                if wid == window and int(x) == final[2]]
        self.assertEqual(tops[-1], final[3])
        self.assertLessEqual(set(range(final[3], SCREEN[1])), set(tops))
        self.assertTrue(all(final[3] <= top <= SCREEN[1] for top in tops), tops)

        # The first line, ℃℃℃℃, is drawn (by a fallback font).
        shot = screenshot(self.display, self.session.root / "advert.png")
        self.assertGreater(pixels_like(shot, (60, 20, final[2] + 4, final[3] + 2), (0, 0, 0)), 20)

        closed = subprocess.run([X_CLOSE, window], env=dict(os.environ, DISPLAY=self.display),
                                timeout=10)
        self.assertEqual(closed.returncode, 0)
        self.assertTrue(wait_until(lambda: opened(self.opened), 10))
        self.assertEqual(opened(self.opened), [SECOND_PAGE])
        self.assertFalse(self.windows(ADVERT_TITLE))
        self.assertTrue(is_running(process))
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)

        # Every start: the page again, and exit while the window is up opens nothing. Under a
        # window manager that adds a title bar, the frame comes to rest inside the work area.
        self.session.spawn(["openbox", "--sm-disable"], env=dict(os.environ, DISPLAY=self.display),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        process = self.start(program)
        self.assertTrue(wait_until(lambda: self.windows(ADVERT_TITLE), 20))
        self.assertEqual(self.count(server, ADVERT_PAGE), 2)
        work = [int(v) for v in re.findall(r"\d+", x_tool(
            self.display, "xprop", "-root", "_NET_WORKAREA").stdout)[:4]]
        window = self.windows(ADVERT_TITLE)[0][1]

        def framed_at_rest():
            w, h, x, y = self.frame(window)
            return h > 200 and (x + w, y + h) == (work[0] + work[2], work[1] + work[3])
        self.assertTrue(wait_until(framed_at_rest, 10), f"{self.frame(window)}, work area {work}")
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)
        time.sleep(1)
        self.assertEqual(opened(self.opened), [SECOND_PAGE])

        # A page that cannot be loaded never rises: no error page over the desktop.
        server.set_routes({})
        process = self.start(program)
        self.assertTrue(wait_until(lambda: self.count(server, ADVERT_PAGE) == 3, 15))
        time.sleep(2)
        self.assertFalse(self.windows(ADVERT_TITLE))
        self.assertTrue(is_running(process))
        self.assertEqual((program / "Value.ini").read_text(), value_ini)

    def test_once_a_day_under_fake_time(self):
        server = WebServer(self.session, routes())
        program = linux_program(self.session,
                                value_ini="[Tolvane]\n广告设置=1\n广告日期=2026|9|7\n")

        def run(moment, pages):
            process = self.start(program, fake_time=moment)
            self.assertTrue(wait_until(lambda: self.count(server, ADVERT_PAGE) == pages, 10))
            time.sleep(3)
            self.assertEqual(self.count(server, ADVERT_PAGE), pages)
            stop(process)

        run("2026-09-07 10:00:00", 1)  # another spelling of the same day is another text
        self.assertEqual((program / "Value.ini").read_text(),
                         "[Tolvane]\n广告设置=1\n广告日期=2026|09|07\n")
        run("2026-09-07 18:30:00", 1)
        run("2026-09-08 08:00:00", 2)
        self.assertEqual((program / "Value.ini").read_text(),
                         "[Tolvane]\n广告设置=1\n广告日期=2026|09|08\n")
        self.assertEqual(opened(self.opened), [])  # never shown here: killed, not closed

    def test_mode_2_shows_no_advert_and_the_offer_leaves_the_tray_working(self):
        self.desktop()
        server = WebServer(self.session,
                           routes(f"{NEWER_RELEASE}\nhttps://update.tolvane.example/download\n"),
                           trusted=False)
        program = linux_program(self.session, value_ini="[Tolvane]\n广告设置=2\n", update=True)
        process = self.start(program)
        # A server no authority of this system vouches for is told nothing and offers nothing.
        self.assertTrue(wait_until(lambda: server.requests("REFUSED"), 15))
        time.sleep(1)
        self.assertEqual((server.requests(), self.windows(OFFER_TITLE)), ([], []))
        stop(process)

        server.trust()
        process = self.start(program, fake_time="2010-07-28 15:44:20")
        self.assertTrue(wait_until(lambda: self.windows(OFFER_TITLE), 20), "no update offer")
        self.assertEqual(server.requests(), [("update.tolvane.example", UPDATE_DESCRIPTION)])
        self.assertFalse(self.windows(ADVERT_TITLE))
        # While the offer waits for an answer the tray speaks at once, and its menu ends the
        # program, offer and all.
        clicked = time.time()
        self.click_icon(1)
        self.assertTrue(wait_until(lambda: strace_clips(self.trace), 5))
        self.assertLess(strace_clips(self.trace, with_times=True)[0][1] - clicked, 1.0)
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)
        self.assertEqual(opened(self.opened), [])  # nothing without the user's yes

        # Asked again, as nobody answered; 否 (Esc) is remembered beside Value.ini, and the next
        # start asks no more about that version.
        process = self.start(program)
        offer = wait_until(lambda: self.windows(OFFER_TITLE), 20)
        self.assertTrue(offer, "not asked again")
        x_tool(self.display, "xdotool", "mousemove", offer[0][6] + 10, offer[0][7] + 10)
        time.sleep(1)
        x_tool(self.display, "xdotool", "key", "Escape")
        self.assertTrue(wait_until(lambda: (program / "Update.ini").exists(), 10))
        stop(process)
        self.start(program)
        self.assertTrue(wait_until(lambda: len(server.requests()) == 3, 15))
        time.sleep(2)
        self.assertEqual((self.windows(OFFER_TITLE), opened(self.opened)), ([], []))

    def test_hostile_pages_leave_memory_bounded_and_the_tray_speaking(self):
        self.desktop()
        # 60 KB of pictures that decode to 64 MB each, the last of them never ending.
        bomb = picture("4000x4000")
        pictures = {f"/p{i}.png": {"base64": bomb, "type": "image/png"} for i in range(31)}
        pictures["/p31.png"] = {"base64": bomb, "chunked": True, "endless": True}
        local = self.session.root / "local.png"  # a page names files of this computer in vain
        tags = [f"<img src='/p{i % 32}.png'>" for i in range(3000)]
        tags[32:32] = [f"<img src='{local}'>", f"<img src='file://{local}'>"]
        page = {"body": "".join(tags), "chunked": True}
        pages = [(dict(pictures, **{ADVERT_PAGE: page}), "/p31.png"),
                 ({ADVERT_PAGE: {"body": "<p>" + "x" * 4096, "chunked": True, "endless": True}},
                  ADVERT_PAGE)]
        server = WebServer(self.session, {})
        program = linux_program(self.session, value_ini="[Tolvane]\n广告设置=0\n")
        for hostile, endless in pages:
            server.set_routes(hostile)
            process = self.start(program, fake_time="2010-07-28 15:44:20")
            self.assertTrue(wait_until(lambda: ADVERT_PAGE in server.paths(), 15))
            for _ in range(6):
                spoken = len(strace_clips(self.trace))
                clicked = time.time()
                self.click_icon(1)
                self.assertTrue(wait_until(lambda: len(strace_clips(self.trace)) > spoken, 5))
                self.assertLess(strace_clips(self.trace, with_times=True)[spoken][1] - clicked, 1.0)
                time.sleep(1)
            traced = open(f"/proc/{process.pid}/task/{process.pid}/children").read().split()
            self.assertLess(peak_memory_kb(int(traced[0])), 200_000)
            self.assertIn(endless, [path for path, _ in server.requests("DROP")])
            self.assertNotIn(str(local), self.trace.read_text())
            # Pictures refused or cut off leave gaps; a page cut off never shows.
            self.assertEqual(bool(self.windows(ADVERT_TITLE)), endless != ADVERT_PAGE)
            stop(process)

    def test_update_library_comes_only_from_the_program_folder(self):
        self.desktop()
        server = WebServer(self.session, routes("2.9\nhttps://update.tolvane.example/old\n"))
        marker = self.session.root / "planted.log"
        planted = {name: self.session.folder(name) for name in ("cwd", "libs", "bin")}
        for folder in planted.values():
            shutil.copy2(PLANTED, folder / "libupdate.so")
        extra = {"TOLVANE_PLANTED_MARKER": str(marker), "LD_LIBRARY_PATH": str(planted["libs"]),
                 "PATH": f"{self.opener}:{planted['bin']}:{os.environ['PATH']}"}
        program = linux_program(self.session, value_ini="[Tolvane]\n广告设置=2\n")

        def run(expect_description):
            process = self.start(program, cwd=planted["cwd"], extra=extra)
            wait_until(lambda: self.count(server, UPDATE_DESCRIPTION) == expect_description, 8)
            time.sleep(3)
            self.assertEqual(self.count(server, UPDATE_DESCRIPTION), expect_description)
            self.assertFalse(self.windows(OFFER_TITLE))
            self.assertTrue(is_running(process))
            stop(process)

        run(0)  # none in the program folder: none anywhere else either
        self.assertFalse(marker.exists())
        shutil.copy2(LINUX_BUILD / "libupdate.so", program / "libupdate.so")
        run(1)  # ours, asked; a lower version offers nothing
        server.set_routes(routes("3.1 https://update.tolvane.example/new\n"))
        run(2)  # malformed: nothing
        self.assertFalse(marker.exists())
        shutil.copy2(PLANTED, program / "libupdate.so")
        process = self.start(program, cwd=planted["cwd"], extra=extra)
        self.assertTrue(
            wait_until(lambda: marker.exists() and "DoUpdate" in marker.read_text(), 10))
        stop(process)

    def test_a_silent_update_server_leaves_the_tray_responsive(self):
        self.desktop()
        server = WebServer(self.session,
                           dict(routes(), **{UPDATE_DESCRIPTION: {"hang": True}}))
        program = linux_program(self.session, value_ini="[Tolvane]\n广告设置=2\n", update=True)
        self.start(program, fake_time="2010-07-28 15:44:20")
        self.assertTrue(wait_until(lambda: self.count(server, UPDATE_DESCRIPTION) == 1, 15))
        self.icon()
        time.sleep(0.5)
        clicked = time.time()
        self.click_icon(1)
        self.assertTrue(wait_until(lambda: strace_clips(self.trace), 5))
        first = strace_clips(self.trace, with_times=True)[0]
        self.assertEqual(first[0], "提示")
        self.assertLess(first[1] - clicked, 1.0)


if __name__ == "__main__":
    unittest.main()
