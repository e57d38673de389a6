"""The settings dialog, its 高级设置 page and the About box of both programs, driven as a user
would: the tray menu opens them (also from a real click on the docked icon), the keyboard
changes settings, the file and the next announcement follow, the close box and Esc leave things
as they were, the About link opens the maker's page in the browser (a recording xdg-open), and
exit closes everything without writing."""

import json
import os
import re
import subprocess
import time
import unittest

from harness import (ABOUT_TITLE, ADVANCED_TITLE, RUN_KEY, SETTINGS_TITLE, SOURCE, E2ETest,
                     TrayDriver, Wine, WineTrayDriver, alsa_null_home, fake_opener, gbk_ini,
                     incomplete_pack, is_running, linux_env, linux_program, opened, snapshot,
                     start_linux, start_tray_host, start_xvfb, strace_clips, tray_icons,
                     wait_until, windows_program, wine_clips, x_close_box, x_tool, x_window_named,
                     x_windows_named)

ABOUT_PAGE = "https://www.tolvane.example/201072846.html"
# Places in the About box's client area (pixels at its design size, from its layout table): the
# link, OK.
LINK_POINT = (62 + 40, 180 + 8)
OK_POINT = (318 + 30, 176 + 12)


def point_in(window, point):
    """A point of a dialog's design in its window, grown as the dialog grew for the font."""
    _, width, _, x, y = window
    return x + point[0] * width // 382, y + point[1] * width // 382
# A logon entry of some other program (its path).
FOREIGN = "/opt/other/tolvane"
DATE_ONLY = "提示 今天是 二 零 一 零 年 七月 二十八日 星期三".split()
# Each dialog's layout table: name, kind, caption, index, tab, flags and accessible name of a row.
LAYOUTS = {SETTINGS_TITLE: "src/settings/SettingsLayout.h",
           ADVANCED_TITLE: "src/settings/AdvancedLayout.h", ABOUT_TITLE: "src/about/AboutBox.h"}
ROW = re.compile(r'\{"([^"]+)", ControlKind::(\w+), "[^"]*", "([^"]*)", (-?\d+), \{[^}]*\}, '
                 r'(-?\d+), [^,]+, ([^,]+), RoleOf\([^)]*\), "([^"]*)"\}')
ROLES = {"OptionButton": "radio button", "CheckBox": "check box", "Button": "push button",
         "LinkLabel": "push button", "TextField": "text", "Slider": "slider",
         "DropDown": "combo box"}


def layout(title):
    return ROW.findall((SOURCE / LAYOUTS[title]).read_text())


class DialogScenarios:
    """Scenarios shared by both programs; a subclass starts its program and reads its file."""

    startup_seconds = 0  # how long the program takes to start, eaten from the fake time

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        self.home = alsa_null_home(self.session)
        self.bin, self.opened = fake_opener(self.session)

    # --- helpers ----------------------------------------------------------------------------

    def keys(self, *keys):
        for key in keys:
            x_tool(self.display, "xdotool", "key", "--delay", "80", key)
            time.sleep(0.25)

    def type(self, text):
        x_tool(self.display, "xdotool", "type", "--delay", "120", text)
        time.sleep(0.25)

    def open_dialog(self, access_key, title, choose=None):
        (choose or self.choose)(access_key)
        return self.point_at(title)

    def point_at(self, title):
        window = wait_until(lambda: x_window_named(self.display, title), 15)
        self.assertTrue(window, f"{title} is not open")
        # No window manager runs here, so the keyboard goes to the window under the pointer,
        # and Wine leaves the focus of a window with a title bar to a window manager: point at
        # the dialog, or the keys go where the pointer is (after a click, the tray icon).
        x_tool(self.display, "xdotool", "mousemove", window[3] + 2, window[4] + 2)
        # Let it take the keyboard before typing.
        time.sleep(1.0)
        return window

    def gone(self, title, timeout=10):
        return wait_until(lambda: not x_windows_named(self.display, title), timeout)

    def tab_stops(self, title):
        """What Tab reaches in a dialog on default settings, in order, as [name, role]: each
        option group at its first option, greyed controls passed over."""
        rows = layout(title)
        stops = []
        for i, (_, kind, caption, index, tab, flags, spoken) in enumerate(rows):
            if kind not in ROLES or int(tab) < 0 or int(index) > 0 or "kDisabledAtLoad" in flags:
                continue
            label = rows[i - 1][2] if ROLES[kind] in ("text", "slider", "combo box") else None
            stops.append((int(tab), [self.spoken(spoken, caption, label) or ABOUT_PAGE,
                                     ROLES[kind]]))
        return [stop for _, stop in sorted(stops)]

    def walk_as_the_table_says(self, title):
        """The dialog holds the keyboard, its first control the focus, and Tab walks the
        table's stops round, each read with its name and role."""
        expected = self.tab_stops(title)
        focus, stops = self.walk(title, len(expected) + 1)
        self.assertEqual(focus, title)
        self.assertEqual(stops, expected + expected[:1])

    # --- scenarios --------------------------------------------------------------------------

    def test_second_start_every_stop_read_by_name(self):
        program = self.program("[Tolvane]\n安静开始=22:00\n安静结束=07:00\n")
        self.start(program, reader=True)
        self.assertEqual(self.start_again(program), 0)
        self.assertTrue(wait_until(lambda: x_window_named(self.display, SETTINGS_TITLE), 15))
        self.walk_as_the_table_says(SETTINGS_TITLE)
        # The walk ends on the second stop; five more reach 切换到高级设置.
        self.point_at(SETTINGS_TITLE)
        self.keys(*["Tab"] * 5, "space")
        self.point_at(ADVANCED_TITLE)
        self.walk_as_the_table_says(ADVANCED_TITLE)
        self.keys("Escape")
        self.point_at(SETTINGS_TITLE)
        self.keys("alt+b")
        self.point_at(ABOUT_TITLE)
        self.walk_as_the_table_says(ABOUT_TITLE)

    def test_keyboard_changes_reach_the_file_and_the_next_hour(self):
        program = self.program("[Tolvane]\n报时设置=2\n格式设置=0\n")
        self.start(program, fake_time=self.fake("13:59:20"))
        self.open_dialog("s", SETTINGS_TITLE)
        # The frequency group has the focus at 六时报时: Up picks 两时报时; Tab enters the format
        # group, Down picks 报年月日; Enter is OK.
        self.keys("Up", "Tab", "Down", "Return")
        self.assertTrue(self.gone(SETTINGS_TITLE))
        self.assertEqual(self.read_ini(), "[Tolvane]\n报时设置=1\n格式设置=1\n广告设置=0\n"
                                          "关闭报时=0\n自动校时=0\n")
        # Every second hour and the date only: 14:00 speaks the date (every sixth hour would
        # have kept silent, and the old format would have spoken the time).
        self.assertTrue(wait_until(lambda: len(self.clips()) >= len(DATE_ONLY), 60),
                        self.clips())
        time.sleep(1)
        self.assertEqual(self.clips(), DATE_ONLY)

    def test_announcements_off_applied_stops_the_schedule_and_moves_the_tray_mark(self):
        program = self.program("[Tolvane]\n格式设置=0\n")
        started = time.monotonic()
        self.start(program, fake_time=self.fake("09:59:25"))
        self.open_dialog("s", SETTINGS_TITLE)
        # The three option groups, then 关闭报时: Space ticks it, Alt+A applies.
        self.keys("Tab", "Tab", "Tab", "space", "alt+a")
        applied = "[Tolvane]\n格式设置=0\n报时设置=0\n广告设置=0\n关闭报时=1\n自动校时=0\n"
        wait_until(lambda: self.read_ini() == applied, 10)
        self.assertEqual(self.read_ini(), applied)
        # A change left unapplied, then the close box: nothing more is written.
        self.keys("shift+Tab", "Down")
        window = x_window_named(self.display, SETTINGS_TITLE)
        self.assertTrue(window)
        x_close_box(self.display, window[0])
        self.assertTrue(self.gone(SETTINGS_TITLE))
        self.assertEqual(self.read_ini(), applied)
        # The schedule stopped: nothing at 10:00.
        time.sleep(max(0.0, started + 45 - time.monotonic()))
        self.assertEqual(self.clips(), [])
        # The tray's mark followed Apply: choosing the entry now clears it.
        self.choose("c")
        wait_until(lambda: "关闭报时=0" in self.read_ini(), 10)
        self.assertEqual(self.read_ini(), applied.replace("关闭报时=1", "关闭报时=0"))

    def test_exit_with_both_dialogs_open_closes_them_and_writes_nothing(self):
        program = self.program("[Tolvane]\n格式设置=0\n")
        before = snapshot(program)
        process = self.start(program)
        self.open_dialog("s", SETTINGS_TITLE)
        self.keys("Tab", "Tab", "Down")  # a change that exit must drop
        # Choosing the entry again brings the open dialog forward; there is still one.
        self.choose("s")
        time.sleep(1.5)
        self.assertEqual(len(x_windows_named(self.display, SETTINGS_TITLE)), 1)
        self.open_dialog("a", ABOUT_TITLE)
        self.choose("e")
        self.assertEqual(process.wait(timeout=20), 0)
        self.assertEqual(x_windows_named(self.display, SETTINGS_TITLE), [])
        self.assertEqual(x_windows_named(self.display, ABOUT_TITLE), [])
        self.assertEqual(snapshot(program), before)

    def test_start_at_logon_box_acts_at_once_and_cancel_keeps_it(self):
        program = self.program(None)
        self.start(program)
        # The three option groups, 关闭报时, then 开机启动: Space registers at once.
        self.open_dialog("s", SETTINGS_TITLE)
        self.keys("Tab", "Tab", "Tab", "Tab", "space")
        ours = self.our_entry(program)
        self.assertTrue(wait_until(lambda: self.logon_entry() == ours, 10), self.logon_entry())
        self.keys("Escape")
        self.assertTrue(self.gone(SETTINGS_TITLE))
        self.assertEqual(self.logon_entry(), ours)
        # Registered: opening the dialog writes the entry back over a foreign one.
        self.write_logon_entry(FOREIGN)
        self.open_dialog("s", SETTINGS_TITLE)
        self.assertTrue(wait_until(lambda: self.logon_entry() == ours, 10), self.logon_entry())
        self.keys("Escape")
        self.assertTrue(self.gone(SETTINGS_TITLE))
        # The tray's mark followed the box: choosing the entry now unregisters.
        self.choose("r")
        self.assertTrue(wait_until(lambda: self.logon_entry() is None, 10), self.logon_entry())
        # Not registered: opening the dialog leaves a foreign entry alone.
        self.write_logon_entry(FOREIGN)
        self.open_dialog("s", SETTINGS_TITLE)
        self.keys("Escape")
        self.assertTrue(self.gone(SETTINGS_TITLE))
        time.sleep(1)
        self.assertEqual(self.logon_entry(), self.foreign_entry())
        self.assertFalse((program / "Value.ini").exists())

    def test_advanced_page_quiet_hour_is_silent_and_half_past_speaks(self):
        program = self.program("[Tolvane]\n格式设置=0\n")
        incomplete_pack(program)
        started = time.monotonic()
        process = self.start(program, fake_time=self.fake("09:59:10"))
        self.open_dialog("s", SETTINGS_TITLE)
        # The three option groups and three boxes, then the link: Space follows it.
        self.keys(*["Tab"] * 6, "space")
        self.point_at(ADVANCED_TITLE)
        # 半点报时 has the focus; then 安静时段 and its two times; past 广告设置, the volume, the
        # phrasing, the voice and 试听 the hotkey, where a combination pressed replaces what was
        # typed; Enter is OK. The voice: 男声, 我的声音 (it lacks a clip) refused, 默认 again.
        self.keys("space", "Tab", "space", "Tab")
        self.type("10:00")
        self.keys("Tab")
        self.type("10:30")
        self.keys(*["Tab"] * 4, "Down", "Down", "Up", "Tab", "Tab")
        self.type("x")
        self.keys("ctrl+alt+h", "Return")
        self.assertTrue(self.gone(ADVANCED_TITLE))
        saved = ("[Tolvane]\n格式设置=0\n报时热键=Ctrl+Alt+H\n半点报时=1\n报时音量=100\n报时说法=0\n"
                 "安静开始=10:00\n安静结束=10:30\n广告设置=0\n语音包=\n")
        self.assertEqual(self.read_ini(), saved)
        # Back on the first page, which Esc closes without writing.
        self.point_at(SETTINGS_TITLE)
        self.keys("Escape")
        self.assertTrue(self.gone(SETTINGS_TITLE))
        # Applied at once: the quiet 10:00 passes in silence.
        time.sleep(max(0.0, started + 75 - time.monotonic()))
        self.assertEqual(self.clips(), [])
        # The next start reads the keys: the span is over at 10:30, and half past speaks.
        self.choose("e")
        self.assertEqual(process.wait(timeout=20), 0)
        self.start(program, fake_time=self.fake("10:29:50"))
        expected = "提示 现在时间上午十点三十分".split()
        self.assertTrue(wait_until(lambda: len(self.clips()) >= len(expected), 40), self.clips())
        time.sleep(1)
        self.assertEqual(self.clips(), expected)
        self.assertEqual(self.read_ini(), saved)

    def test_about_link_opens_the_page_on_the_left_button_only(self):
        program = self.program(None)
        process = self.start(program)
        window = self.open_dialog("a", ABOUT_TITLE)
        wid, point = window[0], point_in(window, LINK_POINT)
        x_tool(self.display, "xdotool", "mousemove", *point, "click", "3")
        x_tool(self.display, "xdotool", "mousemove", *point, "click", "2")
        time.sleep(3)
        self.assertEqual(opened(self.opened), [], "a right or middle click opened something")
        x_tool(self.display, "xdotool", "mousemove", *point, "click", "1")
        self.assertTrue(wait_until(lambda: opened(self.opened), 20),
                        "the left button opened nothing")
        time.sleep(1)
        self.assertEqual(opened(self.opened), [ABOUT_PAGE])
        # The box stays open after opening the page. Where no browser can be had, a message
        # over the box says so; Enter closes it, then Esc the box, like OK.
        self.assertTrue(x_window_named(self.display, ABOUT_TITLE))
        self.break_opener()
        x_tool(self.display, "xdotool", "mousemove", *point, "click", "1")
        message = wait_until(lambda: [w for w in x_windows_named(self.display, ABOUT_TITLE)
                                      if w[1] != wid], 20)
        self.assertTrue(message, "a failed open said nothing")
        x_tool(self.display, "xdotool", "mousemove", message[0][6] + 5, message[0][7] + 5)
        time.sleep(1.0)
        self.keys("Return")
        x_tool(self.display, "xdotool", "mousemove", *point)
        time.sleep(0.5)
        self.keys("Escape")
        self.assertTrue(self.gone(ABOUT_TITLE))
        self.assertTrue(is_running(process))
        self.assertFalse((program / "Value.ini").exists())

    def test_about_opened_from_a_click_on_the_icon_closes_on_esc_and_on_ok(self):
        program = self.program(None)
        process = self.start(program)
        self.open_dialog("a", ABOUT_TITLE, self.choose_by_click)
        self.keys("Escape")
        self.assertTrue(self.gone(ABOUT_TITLE), "Esc left the box open")
        window = self.open_dialog("a", ABOUT_TITLE, self.choose_by_click)
        x_tool(self.display, "xdotool", "mousemove", *point_in(window, OK_POINT), "click", "1")
        self.assertTrue(self.gone(ABOUT_TITLE), "a click on 确定 left the box open")
        # Neither the box nor the menu holds the mouse: the menu opens again from a click.
        self.choose_by_click("e")
        self.assertEqual(process.wait(timeout=20), 0)
        self.assertFalse((program / "Value.ini").exists())


def text_width(text):
    """Pixels across that `text` takes at 16 pt in the dialogs' face, as FreeType draws it."""
    face = subprocess.run(["fc-match", "-f", "%{file}", "WenQuanYi Micro Hei"],
                          capture_output=True, text=True).stdout
    result = subprocess.run(["convert", "-font", face, "-density", "96", "-pointsize", "16",
                             f"label:{text}", "-format", "%w", "info:"], capture_output=True,
                            text=True, timeout=30)
    return int(result.stdout or 0)


class LinuxDialogs(DialogScenarios, TrayDriver, E2ETest):
    needs = "linux"
    env = None

    def program(self, ini):
        return linux_program(self.session, value_ini=ini)

    def spoken(self, name, caption, label):
        return name

    def with_reader(self):
        """A private session bus with the accessibility bus on it, and the user's font at 16 pt
        (a KDE desktop's setting, which Qt reads itself)."""
        bus = f"unix:path={self.session.root / 'bus'}"
        quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        self.session.spawn(["dbus-daemon", "--session", "--nofork", f"--address={bus}"], **quiet)
        self.assertTrue(wait_until((self.session.root / "bus").exists, 10))
        (self.session.folder("config") / "kdeglobals").write_text(
            "[General]\nfont=Noto Sans,16,-1,5,50,0,0,0,0,0\n")
        self.session.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately", "--a11y=1"],
                           env=dict(os.environ, DISPLAY=self.display, DBUS_SESSION_BUS_ADDRESS=bus),
                           **quiet)
        return {"DBUS_SESSION_BUS_ADDRESS": bus, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
                "XDG_CURRENT_DESKTOP": "KDE", "KDE_SESSION_VERSION": "5"}

    def walk(self, title, count):
        walked = json.loads(subprocess.run(
            ["/usr/bin/python3", SOURCE / "tests/e2e/helpers/atspi_walk.py", title, str(count)],
            env=self.env, capture_output=True, text=True, timeout=120).stdout or "{}")
        # At 16 pt no caption is wider than its box (a wrapped one takes the lines it needs).
        shown = {spoken: caption.replace("&", "") for _, _, caption, _, _, _, spoken
                 in layout(title) if caption}
        beside = {"label": 0, "check box": 20, "radio button": 20, "push button": 8}
        for name, role, width in walked.get("shown", []):
            if role in beside and "\n" not in name:
                self.assertLessEqual(text_width(shown.get(name, name)) + beside[role], width, name)
        return walked.get("focus"), walked.get("stops")

    def start_again(self, program):
        return start_linux(self.session, program, self.env).wait(timeout=20)

    def fake(self, clock):
        return f"2010-07-28 {clock}"

    def start(self, program, fake_time=None, reader=False):
        start_tray_host(self.session, self.display)
        self.program_folder = program
        self.trace = self.session.root / f"openat-{time.monotonic_ns()}.log"
        self.config = self.session.folder("config")
        env = linux_env(self.session, display=self.display, home=self.home,
                        extra={"PATH": f"{self.bin}:{os.environ.get('PATH', '')}",
                               "XDG_CONFIG_HOME": str(self.config),
                               **(self.with_reader() if reader else {})})
        self.env = env
        process = start_linux(self.session, program, env, fake_time=fake_time, trace=self.trace)
        self.assertTrue(wait_until(lambda: tray_icons(self.display, "tolvane"), 10))
        return process

    def read_ini(self):
        path = self.program_folder / "Value.ini"
        return path.read_text() if path.exists() else ""

    def break_opener(self):
        # xdg-open as it is where no browser is installed: it ends with status 3.
        (self.bin / "xdg-open").write_text("#!/bin/sh\nexit 3\n")

    def clips(self):
        return strace_clips(self.trace)

    def entry_file(self):
        return self.config / "autostart" / "Kestrune.desktop"

    def logon_entry(self):
        """The Exec line of the autostart entry, or None without one."""
        if not self.entry_file().exists():
            return None
        return next((line for line in self.entry_file().read_text().splitlines()
                     if line.startswith("Exec=")), "")

    def our_entry(self, program):
        return f'Exec="{program}/tolvane"'

    def foreign_entry(self):
        return f'Exec="{FOREIGN}"'

    def write_logon_entry(self, path):
        self.entry_file().parent.mkdir(parents=True, exist_ok=True)
        self.entry_file().write_text(f'[Desktop Entry]\nType=Application\nName=Tolvane\n'
                                     f'Exec="{path}"\n')


class WindowsDialogs(DialogScenarios, WineTrayDriver, E2ETest):
    needs = "win32"

    def setUp(self):
        super().setUp()
        start_tray_host(self.session, self.display)
        self.wine = Wine(self.session, display=self.display, home=self.home)
        self.wine.env["PATH"] = f"{self.bin}:{self.wine.env.get('PATH', '')}"

    def program(self, ini):
        return windows_program(self.session, value_ini=gbk_ini(ini) if ini else None)

    def spoken(self, name, caption, label):
        # Windows' own rule, which the tables' annotations improve on only where Windows has
        # annotations (not in Wine): a field by its label, the rest by its text less the '&'.
        return label or caption.replace("&", "", 1)

    def walk(self, title, count):
        out = self.session.root / "walk.txt"
        with open(out, "wb") as f:
            subprocess.run(self.wine.command(["wine", self.wine.helper("a11y_walk"), title,
                                              count]), env=self.wine.env, stdout=f, timeout=120)
        focus, *stops = out.read_bytes().decode("utf-8").splitlines() or [None]
        return focus, [stop.split("\t") for stop in stops]

    def start_again(self, program):
        return self.wine.run([program / "Tolvane.exe"]).returncode

    def fake(self, clock):
        # Wine's start-up eats into the fake time: start a few seconds earlier.
        hours, minutes, seconds = (int(part) for part in clock.split(":"))
        total = hours * 3600 + minutes * 60 + seconds - 10
        return f"2010-07-28 {total // 3600:02d}:{total // 60 % 60:02d}:{total % 60:02d}"

    def start(self, program, fake_time=None, reader=False):
        self.program_folder = program
        return super().start(program, fake_time)

    def read_ini(self):
        path = self.program_folder / "Value.ini"
        return path.read_bytes().decode("gbk").replace("\r\n", "\n") if path.exists() else ""

    def break_opener(self):
        # A system where no program takes web addresses.
        for scheme in ("http", "https"):
            self.wine.run(["reg", "delete", f"HKCR\\{scheme}", "/f"])

    def clips(self):
        return wine_clips(self.log)

    def logon_entry(self):
        """The data of the Run value "Kestrune", or None without one."""
        value = self.wine.registry_value("Kestrune")
        return None if value is None else value[1]

    def our_entry(self, program):
        return '"Z:%s\\Tolvane.exe"' % str(program).replace("/", "\\")

    def foreign_entry(self):
        return '"Z:%s"' % FOREIGN.replace("/", "\\")

    def write_logon_entry(self, path):
        self.wine.run(["reg", "add", RUN_KEY, "/v", "Kestrune", "/d",
                       '"Z:%s"' % path.replace("/", "\\"), "/f"])


if __name__ == "__main__":
    unittest.main()
