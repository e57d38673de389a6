"""The Linux program on real desktop parts, each on a private session bus of the test's own:
started before xfce4-panel, its icon moves into the panel's StatusNotifierItem tray when the
panel comes; a click speaks (a middle one the date), the menu holds its entries, a synchronisation
with no server reachable ends in dunst's history. On a display with no tray at all, dunst shows
the no-tray notice once."""

import json
import os
import re
import subprocess
import time
import unittest

from harness import (E2ETest, alsa_null_home, linux_env, linux_program, start_linux, start_xvfb,
                     strace_clips, wait_until)

PANEL_XML = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array"><value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="30"/>
      <property name="length" type="uint" value="100"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
"""
WATCHER = "org.kde.StatusNotifierWatcher"


class LinuxDesktops(E2ETest):
    needs = "linux"

    def start_desktop(self):
        self.display = start_xvfb(self.session)
        home = alsa_null_home(self.session)
        config = home / ".config" / "xfce4" / "xfconf" / "xfce-perchannel-xml"
        config.mkdir(parents=True)
        (config / "xfce4-panel.xml").write_text(PANEL_XML)
        socket = self.session.folder("bus", mode=0o700) / "bus"
        address = f"unix:path={socket}"
        # Services the bus starts on demand (xfconfd) inherit its environment.
        self.env = linux_env(self.session, display=self.display, home=home, extra={
            "DBUS_SESSION_BUS_ADDRESS": address, "DBUS_SYSTEM_BUS_ADDRESS": address,
            "XDG_CONFIG_HOME": str(home / ".config"), "XDG_CACHE_HOME": str(home / ".cache")})
        self.session.spawn(["dbus-daemon", "--session", "--nofork", f"--address={address}"],
                           env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertTrue(wait_until(socket.exists, 10))
        self.session.spawn(["dunst"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        self.assertTrue(wait_until(lambda: self.owned("org.freedesktop.Notifications"), 15))

    def start_program(self):
        self.trace = self.session.root / "openat.log"
        self.errors = self.session.root / "stderr.log"
        program = linux_program(self.session)
        with open(self.errors, "w") as errors:
            self.session.spawn(["strace", "-f", "-qq", "-ttt", "-e", "trace=openat", "-o", self.trace,
                                program / "tolvane"], env=self.env, stdout=subprocess.DEVNULL,
                               stderr=errors)

    def gdbus(self, method, *args, dest=WATCHER, path="/StatusNotifierWatcher"):
        return subprocess.run(["gdbus", "call", "--session", "--dest", dest, "--object-path",
                               path, "--method", method, "--", *args], env=self.env,
                              capture_output=True, text=True, timeout=15).stdout

    def owned(self, name):
        return name in self.gdbus("org.freedesktop.DBus.ListNames", dest="org.freedesktop.DBus",
                                  path="/org/freedesktop/DBus")

    def history(self):
        subprocess.run(["dunstctl", "close-all"], env=self.env, timeout=15)
        out = subprocess.run(["dunstctl", "history"], env=self.env, capture_output=True,
                             text=True, timeout=15).stdout
        return [(n["appname"]["data"], n["summary"]["data"], n["body"]["data"])
                for n in (json.loads(out)["data"][0] if out.strip() else [])]

    def test_item_moves_into_a_late_panel_speaks_and_notifies(self):
        self.start_desktop()
        self.start_program()
        time.sleep(2)  # the program runs on with no tray yet
        self.session.spawn(["xfce4-panel"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        items = wait_until(lambda: re.findall(r"org\.kde\.StatusNotifierItem-\d+-1", self.gdbus(
            "org.freedesktop.DBus.Properties.Get", WATCHER, "RegisteredStatusNotifierItems")), 30)
        self.assertTrue(items, "the item never registered with the panel's watcher")
        item = dict(dest=items[0], path="/StatusNotifierItem")

        before = len(strace_clips(self.trace))
        self.gdbus("org.kde.StatusNotifierItem.Activate", "0", "0", **item)
        self.assertTrue(wait_until(lambda: strace_clips(self.trace)[before:][:1] == ["提示"], 15),
                        strace_clips(self.trace))

        menu = dict(dest=items[0], path="/MenuBar")
        layout = self.gdbus("com.canonical.dbusmenu.GetLayout", "0", "-1", "[]", **menu)
        labels = re.findall(r"'label': <'([^']*)'>", layout)
        self.assertEqual(labels, ["关闭报时[_C]", "开机启动[_R]", "网络校时[_T]", "参数设置[_S]",
                                  "关于[_A]", "暂停报时[_P]", "_1 小时", "到明天早上[_M]",
                                  "继续报时[_R]", "退出程序[_E]"])
        sync = re.search(r"\((\d+), \{[^}]*'网络校时", layout).group(1)
        self.gdbus("com.canonical.dbusmenu.Event", sync, "clicked", "<0>", "0", **menu)
        notices = wait_until(lambda: [n for n in self.history() if n[1] == "网络校时"], 30)
        self.assertTrue(notices, self.history())
        self.assertEqual(notices[0][0], "Tolvane")
        before = len(strace_clips(self.trace))
        self.gdbus("org.kde.StatusNotifierItem.SecondaryActivate", "0", "0", **item)
        self.assertTrue(wait_until(lambda: "今天是" in strace_clips(self.trace)[before:], 15))
        self.assertNotIn("没有通知区域", self.errors.read_text())

    def test_a_display_without_a_tray_is_told_once(self):
        self.start_desktop()
        self.start_program()
        told = wait_until(lambda: [n for n in self.history() if "没有通知区域" in n[1]], 25)
        self.assertEqual(len(told), 1, self.history())
        time.sleep(3)
        self.assertEqual(len([n for n in self.history() if "没有通知区域" in n[1]]), 1)
        self.assertEqual(self.errors.read_text().count("no notification area"), 1)


if __name__ == "__main__":
    unittest.main()
