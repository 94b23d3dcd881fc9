#!/usr/bin/env python3
"""Prints what a running program's window shows, as its accessibility interface tells a screen
reader: one line per object of the window, in the order of the tree, "role<TAB>name<TAB>text",
the name's and text's line breaks written as "\\n" (and carriage returns as "\\r"). Reads the
accessibility bus of the session bus in DBUS_SESSION_BUS_ADDRESS; the program must have been
started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 on that session. Status 1 when the application
or the window is not there.

usage: accessible_texts.py APPLICATION_NAME WINDOW_TITLE
"""

import sys

import dbus

ACCESSIBLE = "org.a11y.atspi.Accessible"
TEXT = "org.a11y.atspi.Text"
ROOT = "/org/a11y/atspi/accessible/root"


def shown(value):
    return str(value).replace("\r", "\\r").replace("\n", "\\n").replace("\t", " ")


def main(argv):
    wanted, title = argv[1], argv[2]
    session = dbus.SessionBus()
    address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
        dbus_interface="org.a11y.Bus")
    bus = dbus.bus.BusConnection(str(address))

    def prop(name, path, interface, key):
        return bus.get_object(name, path, introspect=False).Get(
            interface, key, dbus_interface="org.freedesktop.DBus.Properties", timeout=5)

    def call(name, path, interface, method, *args):
        return getattr(bus.get_object(name, path, introspect=False), method)(
            *args, dbus_interface=interface, timeout=5)

    # Each application on the bus owns a root object; the program's carries its name.
    roots = []
    for name in bus.list_names():
        if not str(name).startswith(":"):
            continue
        try:
            if str(prop(name, ROOT, ACCESSIBLE, "Name")) == wanted:
                roots.append(str(name))
        except dbus.DBusException:
            pass
    if not roots:
        print(f"accessible_texts: no application {wanted!r} on the accessibility bus",
              file=sys.stderr)
        return 1

    # The window is one of the application's children; its objects follow depth first.
    windows = [(str(n), str(p)) for n, p in call(roots[0], ROOT, ACCESSIBLE, "GetChildren")]
    stack = [w for w in windows if str(prop(*w, ACCESSIBLE, "Name")) == title][:1]
    if not stack:
        print(f"accessible_texts: no window {title!r}", file=sys.stderr)
        return 1
    seen = set()
    while stack:
        name, path = stack.pop()
        if (name, path) in seen or len(seen) > 5000:
            continue
        seen.add((name, path))
        try:
            role = call(name, path, ACCESSIBLE, "GetRoleName")
            label = prop(name, path, ACCESSIBLE, "Name")
            text = ""
            if TEXT in call(name, path, ACCESSIBLE, "GetInterfaces"):
                text = call(name, path, TEXT, "GetText", 0, -1)
            print(f"{shown(role)}\t{shown(label)}\t{shown(text)}")
            children = call(name, path, ACCESSIBLE, "GetChildren")
        except dbus.DBusException:
            continue
        stack.extend((str(n), str(p)) for n, p in reversed(children))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
