"""A stand-in for the desktop's settings portal: owns org.freedesktop.portal.Desktop on
the session bus and answers ReadOne and Read for one setting; every other one is not
found. On SIGUSR1 the setting takes its second value and SettingChanged says so.

    fake_settings_portal.py <namespace> <key> <u|b|d> <first value> <second value>
"""
import signal
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

SETTINGS = "org.freedesktop.portal.Settings"


def typed(kind, text, level=0):
    """The value as D-Bus type `kind`, inside `level` variants beyond the one of a 'v'."""
    if kind == "u":
        return dbus.UInt32(int(text), variant_level=level)
    if kind == "b":
        return dbus.Boolean(text == "true", variant_level=level)
    return dbus.Double(float(text), variant_level=level)


class Portal(dbus.service.Object):
    def __init__(self, bus, space, key, kind, first, second):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.space, self.key, self.kind = space, key, kind
        self.value, self.second = first, second

    def value_of(self, space, key, level):
        if (space, key) != (self.space, self.key):
            raise dbus.DBusException("not found", name="org.freedesktop.portal.Error.NotFound")
        return typed(self.kind, self.value, level)

    @dbus.service.method(SETTINGS, in_signature="ss", out_signature="v")
    def ReadOne(self, space, key):
        return self.value_of(space, key, 0)

    @dbus.service.method(SETTINGS, in_signature="ss", out_signature="v")
    def Read(self, space, key):  # the older call: a variant inside the variant
        return self.value_of(space, key, 2)

    @dbus.service.signal(SETTINGS, signature="ssv")
    def SettingChanged(self, space, key, value):
        pass

    def change(self):
        self.value = self.second
        self.SettingChanged(self.space, self.key, typed(self.kind, self.value))
        return True


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, *sys.argv[1:6])
    name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, portal.change)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name


if __name__ == "__main__":
    main()
