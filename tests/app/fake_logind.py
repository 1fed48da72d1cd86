"""A stand-in for logind on a private bus: owns org.freedesktop.login1 and sends
PrepareForSleep for every line read from standard input ("sleep" or "wake"), printing
"sent <line>" after each.

    fake_logind.py <bus address>
"""
import sys

import dbus
import dbus.lowlevel

bus = dbus.bus.BusConnection(sys.argv[1])
if bus.request_name("org.freedesktop.login1") != dbus.bus.REQUEST_NAME_REPLY_PRIMARY_OWNER:
    sys.exit("fake_logind: cannot own org.freedesktop.login1")
print("ready", flush=True)
for line in sys.stdin:
    word = line.strip()
    signal = dbus.lowlevel.SignalMessage(
        "/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep")
    signal.append(dbus.Boolean(word == "sleep"), signature="b")
    bus.send_message(signal)
    bus.flush()
    print("sent " + word, flush=True)
