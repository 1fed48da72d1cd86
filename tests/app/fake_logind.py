"""A stand-in logind on the bus given: sends PrepareForSleep(<line is "sleep">) per line read."""
import sys

import dbus
import dbus.lowlevel

bus = dbus.bus.BusConnection(sys.argv[1])
if bus.request_name("org.freedesktop.login1") != dbus.bus.REQUEST_NAME_REPLY_PRIMARY_OWNER:
    sys.exit("fake_logind: cannot own org.freedesktop.login1")
print("ready", flush=True)
for line in sys.stdin:
    signal = dbus.lowlevel.SignalMessage(
        "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep")
    signal.append(dbus.Boolean(line.strip() == "sleep"), signature="b")
    bus.send_message(signal)
    bus.flush()
