#!/usr/bin/python3
"""A stand-in for systemd's org.freedesktop.timedate1 on a private bus: records every SetTime
call as "SetTime USEC_UTC RELATIVE INTERACTIVE" in the log and changes nothing. With --ntp it
says an NTP client keeps the clock synchronised (each look logged as "GetAll") and refuses
SetTime as timedated then does. Ends by itself after the given lifetime.

Usage: timedate_service.py BUS_ADDRESS LOG [LIFETIME_SECONDS] [--ntp]"""

import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

INTERFACE = "org.freedesktop.timedate1"


class Timedate(dbus.service.Object):
    def __init__(self, bus, log, ntp):
        super().__init__(bus, "/org/freedesktop/timedate1")
        self.log, self.ntp = log, ntp

    @dbus.service.method(INTERFACE, in_signature="xbb", out_signature="")
    def SetTime(self, usec_utc, relative, interactive):
        self.log.write(f"SetTime {int(usec_utc)} {str(bool(relative)).lower()} "
                       f"{str(bool(interactive)).lower()}\n")
        if self.ntp:
            raise dbus.exceptions.DBusException(
                "Automatic time synchronization is enabled",
                name="org.freedesktop.timedate1.AutomaticTimeSyncEnabled")

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="s",
                         out_signature="a{sv}")
    def GetAll(self, interface):
        if not self.ntp:
            raise dbus.exceptions.DBusException(name="org.freedesktop.DBus.Error.UnknownMethod")
        self.log.write("GetAll\n")
        return {"NTP": True, "NTPSynchronized": True}


def main():
    address, log_path = sys.argv[1], sys.argv[2]
    numbers = [a for a in sys.argv[3:] if a.isdigit()]
    lifetime = int(numbers[0]) if numbers else 600
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    log = open(log_path, "a", buffering=1)
    name = dbus.service.BusName(INTERFACE, bus)  # noqa: F841 (kept while the loop runs)
    Timedate(bus, log, "--ntp" in sys.argv[3:])
    log.write("ready\n")
    loop = GLib.MainLoop()
    GLib.timeout_add_seconds(lifetime, loop.quit)
    loop.run()


if __name__ == "__main__":
    main()
