#!/usr/bin/python3
# A stand-in for the desktop's screen saver service on a private session bus: answers Inhibit
# with a fresh cookie and writes every Inhibit and UnInhibit call, one a line, to the log file.
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.ScreenSaver"
LOG = sys.argv[1]


class Recorder(dbus.service.Object):
    cookie = 40

    def write(self, line):
        with open(LOG, "a") as f:
            f.write(line + "\n")

    @dbus.service.method(NAME, in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        Recorder.cookie += 1
        self.write(f"Inhibit {Recorder.cookie} {application}: {reason}")
        return Recorder.cookie

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def UnInhibit(self, cookie):
        self.write(f"UnInhibit {cookie}")


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName(NAME, bus)
recorder = Recorder(bus, "/org/freedesktop/ScreenSaver")
open(LOG, "a").close()  # the log's existence says the service is up
GLib.MainLoop().run()
