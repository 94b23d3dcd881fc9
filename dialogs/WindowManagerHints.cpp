#include "dialogs/WindowManagerHints.h"

#include <QByteArray>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>
#include <memory>

namespace {

struct XFreeDeleter {
    void operator()(unsigned char* data) const { XFree(data); }
};
using PropertyData = std::unique_ptr<unsigned char, XFreeDeleter>;

// A property's value as bytes; empty when the window or the property is missing (Qt keeps
// the X errors of a window that has gone from ending the program).
QByteArray property(Display* display, Window window, const char* name, Atom type, long words)
{
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long left = 0;
    unsigned char* raw = nullptr;
    const int status =
        XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, words, False,
                           type, &actualType, &format, &items, &left, &raw);
    const PropertyData data(raw);
    if (status != Success || !data || actualType != type)
        return {};
    // Xlib hands 32-bit items as longs.
    const unsigned long itemSize = format == 32 ? sizeof(long) : unsigned(format) / 8;
    return QByteArray(reinterpret_cast<const char*>(data.get()), qsizetype(items * itemSize));
}

// The running window manager's name, as it announces it on its check window.
QByteArray windowManagerName(Display* display)
{
    const QByteArray check =
        property(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1);
    if (check.size() != qsizetype(sizeof(Window)))
        return {};
    Window window = None;
    std::memcpy(&window, check.constData(), sizeof window);
    return property(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False),
                    64);
}

} // namespace

void withholdMinimise(QWidget& dialog)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    if (!display || windowManagerName(display) != "Openbox")
        return;
    const auto window = Window(dialog.winId());
    const Atom types[] = {XInternAtom(display, "_NET_WM_WINDOW_TYPE_TOOLBAR", False),
                          XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False),
                          XInternAtom(display, "_NET_WM_WINDOW_TYPE_NORMAL", False)};
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(types), 3);
    XFlush(display);
}

IconifyGuard::IconifyGuard(QWidget& dialog)
    : QObject(&dialog)
    , m_dialog(dialog)
{
    dialog.installEventFilter(this);
    if (QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr)
        owner->installEventFilter(this);
}

bool IconifyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && m_dialog.isVisible() &&
        static_cast<QWidget*>(watched)->isMinimized())
        QMetaObject::invokeMethod(this, &IconifyGuard::restore, Qt::QueuedConnection);
    return false;
}

void IconifyGuard::restore()
{
    if (!m_dialog.isVisible())
        return;
    QWidget* owner = m_dialog.parentWidget() ? m_dialog.parentWidget()->window() : nullptr;
    for (QWidget* window : {owner, &m_dialog}) {
        if (window && window->isMinimized())
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    }
}
