#!/usr/bin/python3
"""A desktop's tray and notification services on a private session bus, as Qt's tray icon
finds them: org.kde.StatusNotifierWatcher (with a host registered, so the icon is exported as a
StatusNotifierItem) and org.freedesktop.Notifications. Logs "item SERVICE" for every icon
registered and "notify SUMMARY<TAB>BODY" for every notification. Ends after the lifetime.

Usage: desktop_services.py BUS_ADDRESS LOG [LIFETIME_SECONDS]"""

import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
PROPERTIES = "org.freedesktop.DBus.Properties"


class Watcher(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.log, self.items = log, []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        self.items.append(service if service.startswith(":") else sender + "|" + service)
        self.log.write(f"item {self.items[-1]}\n")

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    # Qt reads the properties through an interface built from this description.
    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return (f'<node><interface name="{WATCHER}">'
                '<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>'
                '<method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>'
                '<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>'
                '<property name="ProtocolVersion" type="i" access="read"/>'
                '<property name="RegisteredStatusNotifierItems" type="as" access="read"/>'
                '</interface></node>')

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0),
                "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s")}


class Notifications(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.log, self.count = log, 0

    @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i",
                         out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        self.log.write(f"notify {summary}\t{body}\n")
        self.count += 1
        return self.count

    @dbus.service.method("org.freedesktop.Notifications", out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method("org.freedesktop.Notifications", out_signature="ssss")
    def GetServerInformation(self):
        return ("fake", "tolvane-tests", "1", "1.2")

    @dbus.service.method("org.freedesktop.Notifications", in_signature="u")
    def CloseNotification(self, number):
        pass


def main():
    address, log_path = sys.argv[1], sys.argv[2]
    lifetime = int(sys.argv[3]) if len(sys.argv) > 3 else 600
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    log = open(log_path, "a", buffering=1)
    names = [dbus.service.BusName(n, bus) for n in (WATCHER, "org.freedesktop.Notifications")]
    services = [Watcher(bus, log), Notifications(bus, log)]  # noqa: F841 (kept while running)
    log.write("ready\n")
    loop = GLib.MainLoop()
    GLib.timeout_add_seconds(lifetime, loop.quit)
    loop.run()
    del names


if __name__ == "__main__":
    main()
