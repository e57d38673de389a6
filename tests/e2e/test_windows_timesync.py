"""Tolvane.exe under Wine sets the clock from a Daytime server (SetLocalTime, which Wine refuses
while printing the difference asked for) and registers itself under the Run key. The wineserver
and the fake servers share a private network namespace."""

import re
import time
import unittest

from harness import (RUN_KEY, E2ETest, PrivateNetwork, Wine, WineTrayDriver, alsa_null_home,
                     gbk_ini, start_tray_host, start_xvfb, wait_until, windows_program)
from timeservers import (EXAMPLE_LINE, EXAMPLE_LOCAL, DaytimeServer, nist_line,
                         requests_that_set_nothing, utc_epoch)
from timeservers import clock_follows_a_utc_server, start_xinetd_daytime

SHANGHAI = 8  # hours east of UTC, no daylight saving time
DIFFERENCE = re.compile(r"NtSetSystemTime not allowed: difference (-?\d+) ms")


class WindowsTimeSync(WineTrayDriver, E2ETest):
    needs = "win32"

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        # A name with three addresses, of which only the last has a server listening.
        self.net = PrivateNetwork(self.session, steps=[
            f"printf '127.0.0.{n} three.time.example\\n' >> /etc/hosts" for n in (2, 3, 1)])
        self.wine = Wine(self.session, display=self.display, home=alsa_null_home(self.session),
                         network=self.net)
        self.wine.env["TZ"] = "Asia/Shanghai"
        self.requests, self.offset = [], 0

    def start(self, program, near=None):
        """Starts the program; with `near` (epoch seconds) its clock stands there, so the
        difference Wine prints for a refused clock setting stays small."""
        if near is not None:
            self.wine.set_fake_time(time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(near)))
            self.offset = near - time.time()
        return super().start(program, extra={"WINEDEBUG": "-all,err+sync"})

    def requested_times(self):
        """Epoch seconds of every clock setting asked for, from Wine's refusals: the program's
        now (seen from here when the line appeared) plus the difference."""
        text = self.log.read_text(errors="replace")
        found = DIFFERENCE.findall(text)
        new = found[len(self.requests):]
        now = time.time() + self.offset
        self.requests.extend(now + int(ms) / 1000 for ms in new)
        return self.requests

    def test_clock_follows_a_utc_server(self):
        start_xinetd_daytime(self.session, self.net)
        # Wine prints only a difference of a second or more, and in 32 bits of milliseconds.
        ini = gbk_ini("[Tolvane]\n校时服务器=127.0.0.1\n")
        self.start(windows_program(self.session, value_ini=ini),
                   near=int(time.time()) - 600)
        clock_follows_a_utc_server(self, lambda: self.choose("t"), self.requested_times)

    def test_menu_sync_against_every_kind_of_server(self):
        server = DaytimeServer(self.session, self.net)
        example = utc_epoch(EXAMPLE_LOCAL, SHANGHAI)
        self.start(windows_program(self.session), near=example - 600)

        requests_that_set_nothing(self, server, lambda: self.choose("t"))
        self.assertEqual(self.requested_times(), [])

        server.set("send", EXAMPLE_LINE)
        self.choose("t")
        self.assertTrue(server.wait_accepted(7))
        wait_until(lambda: len(self.requested_times()) >= 1, 10, interval=0.02)
        # Refused for lack of rights, the menu now offers them instead: a new copy asks anew.
        first, self.requests = self.requested_times(), []
        self.choose("e")
        self.start(windows_program(self.session, name="again"), near=example - 600)
        nist_utc = (2026, 9, 7, 0, 1, 2)
        server.set("send", nist_line(nist_utc))
        self.choose("t")
        self.assertTrue(server.wait_accepted(8))
        wait_until(lambda: len(self.requested_times()) >= 2, 10, interval=0.02)
        requested = first + self.requested_times()
        self.assertEqual(len(requested), 2)
        self.assertAlmostEqual(requested[0], example, delta=2)
        self.assertAlmostEqual(requested[1], utc_epoch(nist_utc), delta=2)

    def test_configured_server_is_asked_instead_of_the_default(self):
        default = DaytimeServer(self.session, self.net, mode=("send", EXAMPLE_LINE))
        chosen = DaytimeServer(self.session, self.net, port=2013, mode=("send", EXAMPLE_LINE))
        program = windows_program(
            self.session, value_ini=gbk_ini("[Tolvane]\n校时服务器=three.time.example:2013\n"))
        self.start(program, near=utc_epoch(EXAMPLE_LOCAL, SHANGHAI) + 300)
        self.choose("t")
        self.assertTrue(chosen.wait_accepted(1))
        wait_until(lambda: self.requested_times(), 10, interval=0.02)
        self.assertAlmostEqual(self.requested_times()[0], utc_epoch(EXAMPLE_LOCAL, SHANGHAI),
                               delta=2)
        self.assertEqual(default.accepted(), 0)

    def reg_query(self):
        """The Run value "Kestrune" as (type, data), or None when there is none."""
        return self.wine.registry_value("Kestrune")

    def command_of(self, program):
        return '"Z:%s\\Tolvane.exe"' % str(program).replace("/", "\\")

    def test_start_at_logon_follows_the_menu_and_the_program_folder(self):
        # A number stored under the name is no registration.
        self.wine.run(["reg", "add", RUN_KEY, "/v", "Kestrune", "/t", "REG_DWORD", "/d", "5",
                       "/f"])
        self.assertEqual(self.reg_query(), ("REG_DWORD", "0x5"))
        first = windows_program(self.session, name="校时 程序")
        process = self.start(first)
        self.choose("r")
        wait_until(lambda: self.reg_query() == ("REG_SZ", self.command_of(first)), 10)
        self.assertEqual(self.reg_query(), ("REG_SZ", self.command_of(first)))
        self.choose("e")
        self.assertEqual(process.wait(timeout=15), 0)

        # Restarted, it shows the mark: the entry now deletes the value, then writes it again.
        process = self.start(first)
        self.choose("r")
        self.assertTrue(wait_until(lambda: self.reg_query() is None, 10))
        self.choose("r")
        self.assertTrue(wait_until(lambda: self.reg_query() is not None, 10))
        self.choose("e")
        self.assertEqual(process.wait(timeout=15), 0)

        # Moved to another folder it starts unmarked, so the entry writes the new path.
        moved = windows_program(self.session, name="moved")
        self.start(moved)
        self.choose("r")
        wait_until(lambda: self.reg_query() == ("REG_SZ", self.command_of(moved)), 10)
        self.assertEqual(self.reg_query(), ("REG_SZ", self.command_of(moved)))


if __name__ == "__main__":
    unittest.main()
