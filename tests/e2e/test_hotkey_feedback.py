"""The hotkey, the report of a synchronisation chosen from the menu, and the muted tray icon,
in both programs: Ctrl+Alt+T from Value.ini speaks the time whichever window has the keyboard,
"网络校时" against a fake Daytime server ends in a notification saying what became of the
clock, and the icon and its tooltip show while announcements are off. Linux runs under a fake
desktop (its tray and notifications on a private session bus); Windows under Wine's tray."""

import os
import re
import subprocess
import time
import unittest

from harness import (E2ETest, Wine, WineTrayDriver, alsa_null_home, gbk_ini, incomplete_pack,
                     linux_env, linux_program, pixels_like, private_network, screenshot,
                     start_linux,
                     start_tray_host, start_xvfb, strace_clips, tray_icons, wait_until,
                     windows_path, windows_program, wine_clips, x_tool)
from timeservers import (EXAMPLE_LINE, EXAMPLE_LOCAL, FAKES, DaytimeServer, PrivateSystemBus,
                         utc_epoch)

SHANGHAI = 8
CROSS_RED = (215, 38, 30)
DIFFERENCE = re.compile(r"NtSetSystemTime not allowed: difference (-?\d+) ms")
INI = "[Tolvane]\n报时热键=ctrl+alt+t\n关闭报时=1\n"
# Ten minutes before the time the server sends: 07:55:09.
START = utc_epoch(EXAMPLE_LOCAL, SHANGHAI) - 600
SPOKEN = "提示 现在时间上午七点 五十五分".split()


class HotkeyFeedbackScenario:
    def test_hotkey_sync_report_muted_icon(self):
        self.net = private_network(self.session)  # the one start_linux runs the program in
        DaytimeServer(self.session, self.net, mode=("send", EXAMPLE_LINE))
        self.start(INI)
        self.assertTrue(wait_until(self.muted_icon, 10))
        self.assertTrue(self.tooltip().endswith("\n报时已关闭"), self.tooltip())

        # Held longer than the announcement it starts, as a keyboard repeats it: said once.
        self.hold_hotkey(8)
        wait_until(lambda: len(self.clips()) >= len(SPOKEN), 15)
        time.sleep(1.5)
        self.assertEqual(self.clips(), SPOKEN)

        # Switched on from the menu: the plain icon, and the line is gone.
        self.choose("c")
        self.assertTrue(wait_until(lambda: not self.muted_icon(), 10))
        self.assertFalse(self.tooltip().endswith("报时已关闭"), self.tooltip())

        self.choose("t")
        self.assertRegex(self.notice(), self.sync_notice)

    def test_menu_sync_where_the_program_may_not_set_the_clock(self):
        """Linux: an NTP client keeps the clock; Windows (Wine): no rights to set it."""
        self.net = private_network(self.session)
        server = DaytimeServer(self.session, self.net, mode=("send", EXAMPLE_LINE))
        self.start("[Tolvane]\n语音包=我的声音\n", guarded=True)
        # The chosen pack lost a clip: said at start (the default voice speaks meanwhile).
        self.assertEqual(self.notice("报时声音"), "语音包“我的声音”缺少 三.wav，现用默认声音报时")
        self.choose("t")
        self.assertRegex(self.notice(), self.guarded_notice)
        self.assertTrue(wait_until(lambda: re.search(self.guarded_tooltip, self.tooltip()), 5),
                        self.tooltip())
        self.after_the_notice(server)
        self.assertEqual(server.accepted(), 1)


class LinuxHotkeyFeedback(HotkeyFeedbackScenario, E2ETest):
    needs = "linux"
    # Ten minutes forward, less the moments the fake time has run since the start.
    sync_notice = r"^时间已校准，调整了 \+(10 分|9 分 5\d 秒)$"
    guarded_notice = r"^系统已自动校时，与时间服务器相差 [+-]\d.* 秒（±\d+\.\d 秒）$"
    guarded_tooltip = r"\n上次校时 \d\d:\d\d [+-]\d.* 秒$"

    def start(self, ini, guarded=False):
        program = linux_program(self.session, value_ini=ini)
        incomplete_pack(program)
        self.display = start_xvfb(self.session)
        # One private bus is both the system bus (timedate) and the desktop's session bus.
        self.bus = bus = PrivateSystemBus(self.session, ntp=guarded)
        self.desktop = self.session.root / "desktop.log"
        self.desktop.touch()
        self.session.spawn(["/usr/bin/python3", FAKES / "desktop_services.py", bus.address,
                            self.desktop], stdout=subprocess.DEVNULL)
        self.assertTrue(wait_until(lambda: "ready" in self.desktop.read_text(), 15))
        self.bus_env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus.address)
        self.trace = self.session.root / "openat.log"
        env = linux_env(self.session, display=self.display, home=alsa_null_home(self.session),
                        extra=dict(bus.env, DBUS_SESSION_BUS_ADDRESS=bus.address,
                                   TZ="Asia/Shanghai"))
        # Guarded, a hundred times faster: the hourly moment comes about 36 s after the start.
        start_linux(self.session, program, env, trace=self.trace, fake_time=time.strftime(
            "%Y-%m-%d %H:%M:%S", time.gmtime(START + SHANGHAI * 3600)) + (" x100" * guarded))
        item = wait_until(lambda: re.findall(r"^item (\S+)", self.desktop.read_text(), re.M), 15)
        self.assertTrue(item, "no tray icon was registered")
        self.item = item[0]
        self.menu = re.search(r"'(/[^']*)'", self.property("Menu")).group(1)

    def call(self, path, method, *args):
        """A method of the tray icon's service, its answer as gdbus prints it."""
        return subprocess.run(["gdbus", "call", "--session", "--dest", self.item,
                               "--object-path", path, "--method", method, "--", *args],
                              env=self.bus_env, capture_output=True, text=True, timeout=15,
                              check=True).stdout

    def property(self, name):
        return self.call("/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                         "org.kde.StatusNotifierItem", name)

    def muted_icon(self):
        # The picture goes by name, from the theme folder the item names.
        name, folder = (re.search(r"'([^']*)'", self.property(p)).group(1)
                        for p in ("IconName", "IconThemePath"))
        return name != "" and pixels_like(f"{folder}/{name}.png", (64, 64, 0, 0), CROSS_RED) > 5

    def tooltip(self):
        return re.findall(r"'((?:[^'\\]|\\.)*)'", self.property("ToolTip"))[2].replace("\\n", "\n")

    def hold_hotkey(self, seconds):
        x_tool(self.display, "xdotool", "keydown", "ctrl+alt+t")
        time.sleep(seconds)
        x_tool(self.display, "xdotool", "keyup", "ctrl+alt+t")

    def after_the_notice(self, server):
        # The hourly request only looks whether the system keeps the time, and asks nothing.
        looks = lambda: self.bus.log.read_text().count("GetAll")  # noqa: E731
        self.assertTrue(wait_until(lambda: looks() >= 2, 90))
        self.assertEqual(self.bus.set_time_calls(), [])

    def clips(self):
        return strace_clips(self.trace)

    def choose(self, access_key):
        layout = self.call(self.menu, "com.canonical.dbusmenu.GetLayout", "0", "-1", "['label']")
        ids = re.findall(r"\((\d+), \{[^}]*'label': <'[^']*\[_%s\]'>" % access_key.upper(),
                         layout)
        self.assertEqual(len(ids), 1, layout)
        self.call(self.menu, "com.canonical.dbusmenu.Event", ids[0], "clicked", "<0>", "0")

    def notice(self, title="网络校时"):
        found = wait_until(lambda: re.findall(rf"^notify {title}\t(.*)$",
                                              self.desktop.read_text(), re.M), 15)
        self.assertTrue(found, "no notification")
        return found[-1]


class WindowsHotkeyFeedback(HotkeyFeedbackScenario, WineTrayDriver, E2ETest):
    needs = "win32"
    # Wine never lets a program set the host's clock: it lacks the right.
    sync_notice = guarded_notice = (r"^需要管理员权限才能修改时间，与时间服务器相差 \+(10 分( \d 秒)?|9 分 5\d 秒)"
                                    r"（±\d+\.\d 秒）。点击此通知或再次选择“网络校时”，即以管理员身份校时$")
    guarded_tooltip = r"\n上次校时 07:5\d 失败\n需要管理员权限才能校时$"

    def start(self, ini, guarded=False):
        program = windows_program(self.session, value_ini=gbk_ini(ini))
        incomplete_pack(program)
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        self.wine = Wine(self.session, display=self.display, home=alsa_null_home(self.session),
                         network=self.net)
        self.wine.env["TZ"] = "Asia/Shanghai"
        # Wine's start-up eats a few seconds of the fake time.
        super().start(program, fake_time=time.strftime("%Y-%m-%d %H:%M:%S",
                                                       time.localtime(START - 5)),
                      extra={"WINEDEBUG": "-all,+file,err+sync"})

    def helper(self, *argv):
        return self.wine.run([self.wine.helper("keys_and_balloons"), *argv]).returncode == 0

    def read_tip(self, kind):
        out = self.session.root / f"{kind}.txt"
        out.unlink(missing_ok=True)
        self.assertTrue(self.helper(kind, windows_path(out)), f"no {kind} shown")
        return out.read_text(encoding="utf-8").replace("\r\n", "\n")

    def muted_icon(self):
        icons = tray_icons(self.display, "explorer.exe")
        if not icons:
            return False
        shot = screenshot(self.display, self.session.root / "tray.png")
        return pixels_like(shot, icons[0][1:], CROSS_RED) > 5

    def tooltip(self):
        _, w, h, x, y = tray_icons(self.display, "explorer.exe")[0]
        x_tool(self.display, "xdotool", "mousemove", x + w // 2, y + h // 2)
        text = self.read_tip("tip")
        x_tool(self.display, "xdotool", "mousemove", 0, 400)
        return text

    def hold_hotkey(self, seconds):
        self.assertTrue(self.helper("hold", str(seconds * 1000), "11", "12", "54"))  # Ctrl+Alt+T

    def clips(self):
        return wine_clips(self.log)

    def notice(self, title=None):
        return self.read_tip("balloon")

    def after_the_notice(self, server):
        # While the offer stands the entry starts a copy with rights (Wine asks nothing), which
        # asks for the server's time from its own clock, is refused as well and ends.
        self.choose("t")
        asked = lambda: DIFFERENCE.findall(self.log.read_text(errors="replace"))  # noqa: E731
        self.assertTrue(wait_until(lambda: len(asked()) >= 2, 20), asked())
        # The right time now is the server's, carried on by the time since it was measured:
        # the offset the copy asks for is the one the program found (10 minutes or so).
        first, copy = (int(ms) for ms in asked()[:2])
        self.assertTrue(abs(copy - first) < 100 and 590000 < first < 610000, asked())
        self.assertTrue(wait_until(lambda: self.notice() == "系统拒绝修改时间", 30))
        self.assertEqual(len(tray_icons(self.display, "explorer.exe")), 1)


if __name__ == "__main__":
    unittest.main()
