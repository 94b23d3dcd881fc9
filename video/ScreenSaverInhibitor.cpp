#include "video/ScreenSaverInhibitor.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace {
Display* x11Display()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

bool suspend(bool on)
{
    Display* display = x11Display();
    if (!display)
        return false;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase))
        return false;
    // Suspending needs version 1.1 of the extension.
    if (!XScreenSaverQueryVersion(display, &major, &minor) || major < 1 ||
        (major == 1 && minor < 1))
        return false;
    XScreenSaverSuspend(display, on ? True : False);
    XFlush(display);
    return true;
}
} // namespace

ScreenSaverInhibitor::~ScreenSaverInhibitor() { setHeld(false); }

void ScreenSaverInhibitor::setHeld(bool held) noexcept
{
    if (held == m_held)
        return;
    m_held = held;
    if (held)
        m_effective = suspend(true);
    else if (m_effective) {
        suspend(false);
        m_effective = false;
    }
}
