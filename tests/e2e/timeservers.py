"""Fake time services for the time-synchronisation tests: a Daytime server inside a private
network, and a private system bus whose timedate service records the clock settings asked
for. Both end with the session (by PID)."""

import calendar
import os
import subprocess
import sys
import time
from pathlib import Path

from harness import wait_until

FAKES = Path(__file__).resolve().parent / "fakes"

# The example reply, and the moment it names (local time).
EXAMPLE_LINE = b"07 SEPT 2026 08:05:09 +0800\r\n"
EXAMPLE_LOCAL = (2026, 9, 7, 8, 5, 9)


def nist_line(utc):
    """NIST's reply for the UTC moment (y, m, d, H, M, S), with its leading empty line."""
    y, m, d, hh, mm, ss = utc
    mjd = 40587 + calendar.timegm((y, m, d, 0, 0, 0)) // 86400
    return (f"\n{mjd} {y % 100:02d}-{m:02d}-{d:02d} {hh:02d}:{mm:02d}:{ss:02d} 50 0 0  50.0 "
            f"UTC(NIST) *\n").encode()


def utc_epoch(moment, utc_offset_hours=0):
    """Seconds since the epoch of (y, m, d, H, M, S) in a zone `utc_offset_hours` east of UTC."""
    return calendar.timegm(tuple(moment) + (0, 0, 0)) - utc_offset_hours * 3600


class DaytimeServer:
    """A fake Daytime server on 127.0.0.1:port inside `net`; `mode` chooses its next answers."""

    def __init__(self, session, net, port=13, mode=("silent",)):
        self.control = session.root / f"daytime-{port}.mode"
        self.log = session.root / f"daytime-{port}.log"
        self.log.touch()
        self.set(*mode)
        self.process = net.spawn([sys.executable, FAKES / "daytime_server.py", "--port", port,
                                  "--control", self.control, "--log", self.log],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: self.lines(), 10):
            raise RuntimeError(f"the Daytime server on port {port} did not start")

    def set(self, mode, data=b"", delay=None):
        words = [mode] + ([str(delay)] if delay is not None else []) + ([data.hex()] if data else [])
        temp = self.control.with_suffix(".tmp")
        temp.write_text(" ".join(words))
        os.replace(temp, self.control)

    def lines(self):
        return self.log.read_text().splitlines()

    def accepted(self):
        return sum(1 for line in self.lines() if line.startswith("accept"))

    def wait_accepted(self, count, timeout=10):
        return wait_until(lambda: self.accepted() >= count, timeout) and self.accepted() == count


def start_xinetd_daytime(session, net):
    """xinetd's built-in daytime service on 127.0.0.1:13 inside `net`, in UTC as servers usually
    are ("07 DEC 2026 16:30:58 UTC", September as SEP)."""
    config, log = session.root / "xinetd.conf", session.root / "xinetd.log"
    config.write_text("service daytime\n{\ntype = INTERNAL UNLISTED\nid = daytime-stream\n"
                      "socket_type = stream\nwait = no\nuser = root\nport = 13\n"
                      "bind = 127.0.0.1\n}\n")
    log.touch()
    net.spawn(["/usr/sbin/xinetd", "-f", config, "-dontfork", "-filelog", log, "-pidfile",
               session.root / "xinetd.pid"], env=dict(TZ="UTC"), stdout=subprocess.DEVNULL)
    if not wait_until(lambda: "Started working" in log.read_text(errors="replace"), 10):
        raise RuntimeError("xinetd did not start")


def clock_follows_a_utc_server(test, choose_sync, requested_times):
    """A program at UTC+8 asks xinetd for the time: the clock is to be set right, not 8 h behind."""
    choose_sync()
    test.assertTrue(wait_until(requested_times, 10, interval=0.02))
    test.assertAlmostEqual(requested_times()[0], time.time(), delta=2)


class PrivateSystemBus:
    """dbus-daemon on a socket of our own with a fake org.freedesktop.timedate1; programs get
    it as their system bus through `env`."""

    def __init__(self, session, ntp=False):
        folder = session.folder("system-bus", mode=0o700)
        socket = folder / "bus"
        self.address = f"unix:path={socket}"
        self.env = {"DBUS_SYSTEM_BUS_ADDRESS": self.address}
        clean = {k: v for k, v in os.environ.items() if not k.startswith("DBUS_")}
        session.spawn(["dbus-daemon", "--session", "--nofork", f"--address={self.address}"],
                      env=clean, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(socket.exists, 10):
            raise RuntimeError("dbus-daemon did not start")
        self.log = folder / "timedate.log"
        self.log.touch()
        session.spawn(["/usr/bin/python3", FAKES / "timedate_service.py", self.address, self.log]
                      + (["--ntp"] if ntp else []), env=clean, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: "ready" in self.log.read_text(), 15):
            raise RuntimeError("the fake timedate service did not start")

    def set_time_calls(self):
        """(usec_utc, relative, interactive) of every SetTime so far."""
        calls = []
        for line in self.log.read_text().splitlines():
            words = line.split()
            if words and words[0] == "SetTime":
                calls.append((int(words[1]), words[2] == "true", words[3] == "true"))
        return calls


def requests_that_set_nothing(test, server, choose_sync):
    """Asks a program (through `choose_sync`, its menu entry) for the time while `server`
    answers in every way that must not set the clock: lines that do not fit, a line cut short
    by a reset, a refused connection, a silent server, half a line and a stall. Each time the
    next request connects again; a request made while a connection is open is dropped. Six
    connections in all."""
    for count, (mode, reply) in enumerate((("send", b"garbage that is no time at all\r\n"),
                                           ("send", b"07 SEPTEMBER 2026 08:05:09\r\n"),
                                           ("send", b"X" * 1500),
                                           ("reset", b"07 SEPT 2026 08:05:5")), start=1):
        server.set(mode, reply)
        choose_sync()
        test.assertTrue(server.wait_accepted(count), reply[:20])
    server.set("refuse")
    wait_until(lambda: "refusing" in server.lines(), 5)
    choose_sync()
    time.sleep(1.5)
    test.assertEqual(server.accepted(), 4)
    # The 10 s limit ends a silent connection; until then a second request is dropped.
    server.set("silent")
    choose_sync()
    test.assertTrue(server.wait_accepted(5))
    choose_sync()
    time.sleep(2)
    test.assertEqual(server.accepted(), 5)
    time.sleep(9)
    server.set("stall", b"07 SEPT 2026 08:0")
    choose_sync()
    test.assertTrue(server.wait_accepted(6))
    time.sleep(11)
