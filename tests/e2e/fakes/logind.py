#!/usr/bin/python3
"""A stand-in for systemd-logind on a private bus: the caller's session
(/org/freedesktop/login1/session/auto) is locked (LockedHint true) while the state file says
"locked". Ends by itself after ten minutes.

Usage: logind.py BUS_ADDRESS STATE_FILE"""

import sys
from pathlib import Path

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


class Session(dbus.service.Object):
    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        state = Path(sys.argv[2])
        return dbus.Boolean(state.exists() and state.read_text() == "locked")


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(sys.argv[1])
    name = dbus.service.BusName("org.freedesktop.login1", bus)  # noqa: F841 (kept while it runs)
    Session(bus, "/org/freedesktop/login1/session/auto")
    loop = GLib.MainLoop()
    GLib.timeout_add_seconds(600, loop.quit)
    loop.run()


if __name__ == "__main__":
    main()
