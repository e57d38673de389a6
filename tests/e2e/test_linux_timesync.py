"""The Linux program sets the clock from a Daytime server through the timedate service, and
registers itself to start at logon with an XDG autostart entry. Servers and the system bus are
private: a network namespace of the test's own, a private dbus-daemon with a fake timedate1."""

import subprocess
import unittest

import test_linux_tray
from harness import (FAKETIME_LIB, E2ETest, PrivateNetwork, alsa_null_home, linux_env,
                     linux_program, start_tray_host, start_xvfb, wait_until)
from timeservers import (EXAMPLE_LINE, EXAMPLE_LOCAL, DaytimeServer, PrivateSystemBus, nist_line,
                         requests_that_set_nothing, utc_epoch)
from timeservers import clock_follows_a_utc_server, start_xinetd_daytime

SHANGHAI = 8  # hours east of UTC, no daylight saving time


class LinuxTimeSync(E2ETest):
    needs = "linux"

    # Driving the tray menu works as in the tray tests.
    icon = test_linux_tray.LinuxTray.icon
    click_icon = test_linux_tray.LinuxTray.click_icon
    popups = test_linux_tray.LinuxTray.popups
    open_menu = test_linux_tray.LinuxTray.open_menu
    choose = test_linux_tray.LinuxTray.choose

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        self.home = alsa_null_home(self.session)
        self.net = PrivateNetwork(self.session)
        self.bus = PrivateSystemBus(self.session)
        self.config = self.session.folder("config")

    def start(self, program, fake_time=None):
        extra = dict(self.bus.env, TZ="Asia/Shanghai", XDG_CONFIG_HOME=str(self.config))
        if fake_time:
            extra.update(LD_PRELOAD=FAKETIME_LIB, FAKETIME=fake_time)
        env = linux_env(self.session, display=self.display, home=self.home, extra=extra)
        process = self.net.spawn([program / "tolvane"], env=env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        self.icon()
        return process

    def sync_from_menu(self, server, connections):
        """Chooses "网络校时" and waits until the server has seen `connections` in all."""
        self.choose("t")
        return server.wait_accepted(connections)

    def assert_clock_set(self, *expected):
        """SetTime asked for each (epoch seconds, interactive), up to 1 s later for transit."""
        calls = self.bus.set_time_calls()
        self.assertEqual(len(calls), len(expected))
        self.assertEqual([(u // 10**6 - s in (0, 1), r, i) for (u, r, i), (s, _) in
                          zip(calls, expected)], [(True, False, i) for _, i in expected])

    def test_clock_follows_a_utc_server(self):
        start_xinetd_daytime(self.session, self.net)
        self.start(linux_program(self.session, value_ini="[Tolvane]\n校时服务器=127.0.0.1\n"))
        clock_follows_a_utc_server(
            self, lambda: self.choose("t"), lambda: [c[0] / 1e6 for c in self.bus.set_time_calls()])

    def test_menu_sync_against_every_kind_of_server(self):
        server = DaytimeServer(self.session, self.net)
        self.start(linux_program(self.session))

        requests_that_set_nothing(self, server, lambda: self.choose("t"))
        self.assertEqual(self.bus.set_time_calls(), [])

        # The example line: local time; the NIST form: UTC.
        server.set("send", EXAMPLE_LINE)
        self.assertTrue(self.sync_from_menu(server, 7))
        wait_until(lambda: len(self.bus.set_time_calls()) >= 1, 5)
        self.assert_clock_set((utc_epoch(EXAMPLE_LOCAL, SHANGHAI), True))
        nist_utc = (2026, 9, 7, 3, 4, 5)
        server.set("send", nist_line(nist_utc))
        self.assertTrue(self.sync_from_menu(server, 8))
        wait_until(lambda: len(self.bus.set_time_calls()) >= 2, 5)
        self.assert_clock_set((utc_epoch(EXAMPLE_LOCAL, SHANGHAI), True),
                              (utc_epoch(nist_utc), True))

    def test_hourly_sync_asks_the_configured_server_without_prompting(self):
        default = DaytimeServer(self.session, self.net, mode=("send", EXAMPLE_LINE))
        chosen = DaytimeServer(self.session, self.net, port=2013, mode=("send", EXAMPLE_LINE))
        program = linux_program(self.session, value_ini="[Tolvane]\n校时服务器=time.nist.gov:2013\n")
        # A hundred times faster: the 3601st tick of the one-second timer comes after ~36 s.
        self.start(program, fake_time="@2026-09-07 07:00:00 x100")
        self.assertTrue(chosen.wait_accepted(1, timeout=120))
        wait_until(lambda: self.bus.set_time_calls(), 5)
        self.assert_clock_set((utc_epoch(EXAMPLE_LOCAL, SHANGHAI), False))
        self.assertEqual(default.accepted(), 0)

    def test_start_at_logon_follows_the_menu_and_the_program_folder(self):
        entry = self.config / "autostart" / "Kestrune.desktop"

        def exec_line():
            if not entry.exists():
                return None
            return next((line for line in entry.read_text().splitlines()
                         if line.startswith("Exec=")), None)

        # A folder name that needs the desktop-entry escapes.
        first = linux_program(self.session, name="Tol vane $HOME %u")
        process = self.start(first)
        self.choose("r")
        self.assertTrue(wait_until(entry.exists, 5))
        self.assertEqual(exec_line(), 'Exec="%s/Tol vane \\\\$HOME %%%%u/tolvane"' % self.session.root)
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)

        # Restarted, it shows the mark: the entry now unregisters, then registers again.
        process = self.start(first)
        self.choose("r")
        self.assertTrue(wait_until(lambda: not entry.exists(), 5))
        self.choose("r")
        self.assertTrue(wait_until(entry.exists, 5))
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)

        # Moved to another folder it starts unmarked, so the entry registers the new path.
        moved = linux_program(self.session, name="moved")
        process = self.start(moved)
        self.choose("r")
        self.assertTrue(wait_until(lambda: exec_line() == f'Exec="{moved}/tolvane"', 5))
        self.choose("e")
        self.assertEqual(process.wait(timeout=10), 0)

        # An entry the desktop switched off counts as not registered and is written enabled.
        entry.write_text(entry.read_text() + "Hidden=true\n")
        process = self.start(moved)
        self.choose("r")
        self.assertTrue(wait_until(lambda: "Hidden" not in entry.read_text(), 5))
        self.assertEqual(exec_line(), f'Exec="{moved}/tolvane"')


if __name__ == "__main__":
    unittest.main()
