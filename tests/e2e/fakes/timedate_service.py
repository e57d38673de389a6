#!/usr/bin/python3
"""A stand-in for systemd's org.freedesktop.timedate1 on a private bus: records every SetTime
call as "SetTime USEC_UTC RELATIVE INTERACTIVE" in the log and changes nothing. Ends by itself
after the given lifetime.

Usage: timedate_service.py BUS_ADDRESS LOG [LIFETIME_SECONDS]"""

import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

INTERFACE = "org.freedesktop.timedate1"


class Timedate(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/timedate1")
        self.log = log

    @dbus.service.method(INTERFACE, in_signature="xbb", out_signature="")
    def SetTime(self, usec_utc, relative, interactive):
        self.log.write(f"SetTime {int(usec_utc)} {str(bool(relative)).lower()} "
                       f"{str(bool(interactive)).lower()}\n")


def main():
    address, log_path = sys.argv[1], sys.argv[2]
    lifetime = int(sys.argv[3]) if len(sys.argv) > 3 else 600
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    log = open(log_path, "a", buffering=1)
    name = dbus.service.BusName(INTERFACE, bus)  # noqa: F841 (kept while the loop runs)
    Timedate(bus, log)
    log.write("ready\n")
    loop = GLib.MainLoop()
    GLib.timeout_add_seconds(lifetime, loop.quit)
    loop.run()


if __name__ == "__main__":
    main()
