#!/usr/bin/python3
"""A stand-in for systemd-logind on a private bus: the caller's session
(/org/freedesktop/login1/session/auto) is locked (LockedHint true) while the state file says
"locked"; every look is logged as "LockedHint". Ends by itself after ten minutes.

Usage: logind.py BUS_ADDRESS LOG STATE_FILE"""

import sys
from pathlib import Path

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


class Session(dbus.service.Object):
    def __init__(self, bus, log, state):
        super().__init__(bus, "/org/freedesktop/login1/session/auto")
        self.log, self.state = log, Path(state)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        self.log.write(f"{name}\n")
        return dbus.Boolean(self.state.exists() and self.state.read_text() == "locked")


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(sys.argv[1])
    log = open(sys.argv[2], "a", buffering=1)
    name = dbus.service.BusName("org.freedesktop.login1", bus)  # noqa: F841 (kept while it runs)
    Session(bus, log, sys.argv[3])
    log.write("ready\n")
    loop = GLib.MainLoop()
    GLib.timeout_add_seconds(600, loop.quit)
    loop.run()


if __name__ == "__main__":
    main()
