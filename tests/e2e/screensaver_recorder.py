#!/usr/bin/python3
# A stand-in for the desktop's screen saver service on a private session bus: answers Inhibit
# with a fresh cookie and writes every Inhibit and UnInhibit call, one a line, to the log file.
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.ScreenSaver"


class Recorder(dbus.service.Object):
    def __init__(self, bus, path, log):
        super().__init__(bus, path)
        self.log = log

    def write(self, line):
        with open(self.log, "a") as f:
            f.write(line + "\n")

    @dbus.service.method(NAME, in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        Recorder.cookie += 1
        self.write(f"Inhibit {Recorder.cookie} {application}: {reason}")
        return Recorder.cookie

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def UnInhibit(self, cookie):
        self.write(f"UnInhibit {cookie}")


Recorder.cookie = 40


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    keep = dbus.service.BusName(NAME, bus)
    objects = [Recorder(bus, path, sys.argv[1]) for path in ("/org/freedesktop/ScreenSaver", "/ScreenSaver")]
    open(sys.argv[1], "a").close()  # the log's existence says the service is up
    GLib.MainLoop().run()
    del keep, objects


main()
