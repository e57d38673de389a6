#!/usr/bin/python3
"""A desktop's tray and notification services, as Qt's tray icon looks for them on the session
bus: org.kde.StatusNotifierWatcher with a host (so the icon is exported as a
StatusNotifierItem) and org.freedesktop.Notifications. Logs "item SERVICE" for every icon and
"notify SUMMARY<TAB>BODY" for every notification. Ends by itself after the lifetime.

Usage: desktop_services.py BUS_ADDRESS LOG [LIFETIME_SECONDS]"""

import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
NOTIFICATIONS = "org.freedesktop.Notifications"


class Desktop(dbus.service.Object):
    def __init__(self, bus, path, log):
        super().__init__(bus, path)
        self.log, self.count = log, 0

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierItem(self, service):
        self.log.write(f"item {service}\n")

    # Qt reads the watcher's property through an interface built from this description.
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return (f'<node><interface name="{WATCHER}"><method name="RegisterStatusNotifierItem">'
                '<arg type="s" direction="in"/></method><property type="b" access="read" '
                'name="IsStatusNotifierHostRegistered"/></interface></node>')

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return True

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.log.write(f"notify {summary}\t{body}\n")
        self.count += 1
        return self.count


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(sys.argv[1])
    log = open(sys.argv[2], "a", buffering=1)
    names = [dbus.service.BusName(name, bus) for name in (WATCHER, NOTIFICATIONS)]  # noqa: F841
    services = [Desktop(bus, "/StatusNotifierWatcher", log),  # noqa: F841
                Desktop(bus, "/org/freedesktop/Notifications", log)]
    log.write("ready\n")
    loop = GLib.MainLoop()
    GLib.timeout_add_seconds(int(sys.argv[3]) if len(sys.argv) > 3 else 600, loop.quit)
    loop.run()


if __name__ == "__main__":
    main()
