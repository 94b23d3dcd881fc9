#!/usr/bin/python3
# Asks the X server about its screen saver through the screen saver extension:
#   screensaver_probe.py timeout SECONDS   sets the idle time after which it comes on
#   screensaver_probe.py state             prints "on", "off" or "disabled" and the idle ms
import ctypes
import sys


class Info(ctypes.Structure):
    _fields_ = [("window", ctypes.c_ulong), ("state", ctypes.c_int), ("kind", ctypes.c_int),
                ("til_or_since", ctypes.c_ulong), ("idle", ctypes.c_ulong),
                ("event_mask", ctypes.c_ulong)]


x11 = ctypes.CDLL("libX11.so.6")
xss = ctypes.CDLL("libXss.so.1")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSetScreenSaver.argtypes = [ctypes.c_void_p] + [ctypes.c_int] * 4
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
xss.XScreenSaverQueryInfo.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Info)]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
if sys.argv[1] == "timeout":
    x11.XSetScreenSaver(display, int(sys.argv[2]), 0, 1, 0)  # blank, no cycling
else:
    info = Info()
    xss.XScreenSaverQueryInfo(display, x11.XDefaultRootWindow(display), ctypes.byref(info))
    print({0: "off", 1: "on", 3: "disabled"}.get(info.state, "cycle"), info.idle)
x11.XCloseDisplay(display)
