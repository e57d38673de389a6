"""Quiet while busy, on both programs: each signal holds back 10:00 (忙碌时不报时=1), and a pause
chosen in the tray menu outlives a restart. Linux works real desktop parts (dunst, openbox,
PulseAudio) and a fake logind; Windows gets the lock message, a full-screen window and the
microphone's privacy store."""

import os
import re
import subprocess
import time
import unittest

from harness import (SOURCE, E2ETest, PulseSink, TrayDriver, Wine, WineTrayDriver,
                     alsa_null_home, gbk_ini, linux_env, linux_program, start_linux,
                     start_tray_host, start_xvfb, stop, strace_clips, tray_icons, wait_until,
                     windows_program, wine_clips, x_tool)

BUSY = "[Tolvane]\n格式设置=0\n忙碌时不报时=1\n"
TEN = "提示 现在时间上午十点整".split()
MICROPHONE = (r"HKCU\Software\Microsoft\Windows\CurrentVersion\CapabilityAccessManager"
              r"\ConsentStore\microphone\NonPackaged\C:#Apps#Caller.exe")
FULL_SCREEN_TITLE = "Busy full screen"


class BusyScenarios:
    early = 0  # seconds the program starts before the fake time asked for

    def test_a_locked_session_skips_the_hour_and_a_click_still_speaks(self):
        self.busy_hour("lock", held=False)

    def test_do_not_disturb_skips_the_hour(self):
        self.busy_hour("dnd", held=False)

    def test_full_screen_holds_the_hour_until_it_ends(self):
        self.busy_hour("full", held=True)

    def test_the_microphone_holds_the_hour_until_it_is_free(self):
        self.busy_hour("microphone", held=True)

    def busy_hour(self, signal, held):
        # The signal's end (asked every five seconds) speaks the hour held back, or a click.
        self.prepare(signal)
        self.start(BUSY, "09:59:45")
        self.busy(signal, True)
        self.sleep_past("10:00:08")
        self.assertEqual(self.clips(), [])
        if held:
            self.busy(signal, False)
        else:
            self.click_icon(1)
        self.assertTrue(wait_until(lambda: len(self.clips()) >= len(TEN), 15), self.clips())
        time.sleep(1)
        self.assertEqual(self.clips(), TEN)

    def test_the_pause_chosen_in_the_menu_outlives_a_restart(self):
        self.start("[Tolvane]\n格式设置=0\n半点报时=1\n", "09:59:45")
        self.choose_by_click("p 1")
        paused = wait_until(lambda: re.search(r"暂停报时到=2010-07-28 1[01]:\d\d\n", self.ini()),
                            10)
        self.assertTrue(paused, self.ini())
        self.sleep_past("10:00:05")
        self.assertEqual(self.clips(), [])
        self.choose("e")
        self.assertEqual(self.process.wait(timeout=20), 0)
        # Half past, after a restart: still paused, and the tray's 继续报时 ends it.
        self.start(None, "10:29:50")
        self.sleep_past("10:30:05")
        self.assertEqual(self.clips(), [])
        self.choose_by_click("p r")
        self.assertTrue(wait_until(lambda: self.ini().endswith("暂停报时到=\n"), 10), self.ini())

    def sleep_past(self, clock):
        """Until the program's fake clock has passed `clock`."""
        start, at = self.started
        seconds = lambda t: sum(int(p) * f for p, f in zip(t.split(":"), (3600, 60, 1)))  # noqa
        time.sleep(max(0.0, start + self.early + seconds(clock) - seconds(at) - time.monotonic()))


class LinuxBusy(BusyScenarios, TrayDriver, E2ETest):
    needs = "linux"

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        self.extra, self.program = {}, None

    def prepare(self, signal):
        x_env = dict(os.environ, DISPLAY=self.display)
        if signal in ("lock", "dnd"):
            # One private bus serves as both the session's and the system's.
            socket = self.session.folder("bus", mode=0o700) / "bus"
            address = f"unix:path={socket}"
            self.extra.update(DBUS_SESSION_BUS_ADDRESS=address, DBUS_SYSTEM_BUS_ADDRESS=address)
            self.session.spawn(["dbus-daemon", "--session", "--nofork", f"--address={address}"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.assertTrue(wait_until(socket.exists, 10))
            self.bus_env = dict(os.environ, **self.extra)
        if signal == "lock":
            self.locked = self.session.root / "logind.state"
            self.session.spawn(["/usr/bin/python3", SOURCE / "tests/e2e/fakes/logind.py",
                                self.extra["DBUS_SYSTEM_BUS_ADDRESS"], self.locked])
            subprocess.run(["gdbus", "wait", "--session", "--timeout", "15",
                            "org.freedesktop.login1"], env=self.bus_env, timeout=20, check=True)
        if signal == "dnd":
            self.session.spawn(["dunst"], env=dict(self.bus_env, DISPLAY=self.display),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.assertTrue(wait_until(lambda: self.dunstctl("is-paused") == "false", 15))
        if signal == "full":
            self.session.spawn(["openbox"], env=x_env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
            time.sleep(1)
            self.session.spawn(["xlogo"], env=x_env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
            self.assertTrue(wait_until(lambda: self.wmctrl("-l").count("xlogo"), 10))
        if signal == "microphone":
            self.pulse = PulseSink(self.session)
            self.pulse_env = dict(os.environ, PULSE_SERVER=f"unix:{self.pulse.socket}")
            subprocess.run(["pactl", "load-module", "module-remap-source",
                            "master=nullsink.monitor", "source_name=mic"], env=self.pulse_env,
                           check=True, capture_output=True, timeout=15)
            self.extra["PULSE_SERVER"] = self.pulse_env["PULSE_SERVER"]

    def busy(self, signal, on):
        if signal == "lock":
            self.locked.write_text("locked" if on else "")
        if signal == "dnd":
            self.dunstctl("set-paused", "true" if on else "false")
        if signal == "full":
            self.wmctrl("-r", "xlogo", "-b", ("add" if on else "remove") + ",fullscreen")
        if signal == "microphone" and on:
            self.recorder = self.session.spawn(["parecord", "--device=mic", "/dev/null"],
                                               env=self.pulse_env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL)
        if signal == "microphone" and not on:
            stop(self.recorder)

    def dunstctl(self, *argv):
        return subprocess.run(["dunstctl", *argv], env=self.bus_env, capture_output=True,
                              text=True, timeout=15).stdout.strip()

    def wmctrl(self, *argv):
        return x_tool(self.display, "wmctrl", *argv).stdout

    def start(self, ini, clock):
        self.program = self.program or linux_program(self.session, value_ini=ini)
        self.trace = self.session.root / f"openat-{time.monotonic_ns()}.log"
        env = linux_env(self.session, display=self.display, home=alsa_null_home(self.session),
                        extra=self.extra)
        self.started = (time.monotonic(), clock)
        self.process = start_linux(self.session, self.program, env,
                                   fake_time=f"2010-07-28 {clock}", trace=self.trace)
        self.assertTrue(wait_until(lambda: tray_icons(self.display, "tolvane"), 10))

    def ini(self):
        return (self.program / "Value.ini").read_text()

    def clips(self):
        return strace_clips(self.trace)


class WindowsBusy(BusyScenarios, WineTrayDriver, E2ETest):
    needs = "win32"
    # Wine's start-up eats into the fake time: started this much earlier.
    early = 10

    def setUp(self):
        super().setUp()
        self.display = start_xvfb(self.session)
        start_tray_host(self.session, self.display)
        self.wine = Wine(self.session, display=self.display, home=alsa_null_home(self.session))
        self.program = None

    def prepare(self, signal):
        pass

    def busy(self, signal, on):
        if signal == "lock":
            self.assertTrue(self.wine.post_tray("lock" if on else "unlock"))
        if signal == "full" and on:
            self.wine.spawn([self.wine.helper("foreign_window"), FULL_SCREEN_TITLE, 300, "--full"])
            self.assertTrue(self.wine.find_window(FULL_SCREEN_TITLE, wait=10))
        if signal == "full" and not on:
            self.wine.run([self.wine.helper("window_state"), FULL_SCREEN_TITLE, "--close"])
        if signal == "microphone":
            self.wine.run(["reg", "add", MICROPHONE, "/v", "LastUsedTimeStop", "/t", "REG_QWORD",
                           "/d", "0" if on else "133500000000000000", "/f"])

    def start(self, ini, clock):
        self.program = self.program or windows_program(self.session, value_ini=gbk_ini(ini))
        hours, minutes, seconds = (int(p) for p in clock.split(":"))
        total = hours * 3600 + minutes * 60 + seconds - self.early
        self.started = (time.monotonic(), clock)
        self.process = super().start(self.program, fake_time="2010-07-28 %02d:%02d:%02d" % (
            total // 3600, total // 60 % 60, total % 60))

    def click_icon(self, button):
        self.assertTrue(self.wine.post_tray("left"))

    def ini(self):
        return (self.program / "Value.ini").read_bytes().decode("gbk").replace("\r\n", "\n")

    def clips(self):
        return wine_clips(self.log)


if __name__ == "__main__":
    unittest.main()
