#include "app/ScreenSaverInhibitor.h"

#include "base/SharedLibrary.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
// A hanging service must not freeze the window for long.
constexpr int kServiceTimeoutMs = 1500;

QDBusMessage callService(const QString& method, const QList<QVariant>& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kServiceTimeoutMs);
}

std::optional<unsigned> inhibitThroughService()
{
    // A platform without a screen (the tests' offscreen one) has nothing to keep awake.
    const QString platform = qGuiApp ? QGuiApplication::platformName() : QString();
    if (platform.isEmpty() || platform == QLatin1String("offscreen") ||
        platform == QLatin1String("minimal"))
        return std::nullopt;
    if (!QDBusConnection::sessionBus().isConnected())
        return std::nullopt;
    const QDBusMessage reply =
        callService(QStringLiteral("Inhibit"),
                    {QCoreApplication::applicationName(),
                     QCoreApplication::translate("ScreenSaverInhibitor", "Vollbildanzeige")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    bool ok = false;
    const unsigned cookie = reply.arguments().constFirst().toUInt(&ok);
    return ok ? std::optional<unsigned>(cookie) : std::nullopt;
}

Display* x11Display()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

// The screen saver extension's client library, loaded the first time the screen saver is held
// off rather than with the program: a count that starts on a screen without it pays nothing.
struct ScreenSaverLibrary {
    decltype(&XScreenSaverQueryExtension) queryExtension = nullptr;
    decltype(&XScreenSaverQueryVersion) queryVersion = nullptr;
    decltype(&XScreenSaverSuspend) suspend = nullptr;

    static const ScreenSaverLibrary& instance()
    {
        static const ScreenSaverLibrary library = [] {
            ScreenSaverLibrary l;
            SharedLibrary lib("libXss.so.1");
            lib.bind(l.queryExtension, "XScreenSaverQueryExtension");
            lib.bind(l.queryVersion, "XScreenSaverQueryVersion");
            lib.bind(l.suspend, "XScreenSaverSuspend");
            lib.keepForTheRun();
            return l;
        }();
        return library;
    }
    bool loaded() const { return queryExtension && queryVersion && suspend; }
};

// The extension's version when it can suspend the screen saver (1.1 or later); empty otherwise.
QString usableExtension(Display* display)
{
    const ScreenSaverLibrary& xss = ScreenSaverLibrary::instance();
    if (!display || !xss.loaded())
        return {};
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!xss.queryExtension(display, &eventBase, &errorBase))
        return {};
    if (!xss.queryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 1))
        return {};
    return QStringLiteral("%1.%2").arg(major).arg(minor);
}

bool suspend(bool on)
{
    Display* display = x11Display();
    if (usableExtension(display).isEmpty())
        return false;
    ScreenSaverLibrary::instance().suspend(display, on ? True : False);
    XFlush(display);
    return true;
}
} // namespace

std::optional<bool> ScreenSaverInhibitor::serviceRegistered(int timeoutMs)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    call.setArguments({kService});
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    return reply.arguments().constFirst().toBool();
}

QString ScreenSaverInhibitor::x11ExtensionVersion() { return usableExtension(x11Display()); }

ScreenSaverInhibitor::~ScreenSaverInhibitor() { setHeld(false); }

void ScreenSaverInhibitor::setHeld(bool held) noexcept
{
    if (held == m_held)
        return;
    m_held = held;
    if (held) {
        m_cookie = inhibitThroughService();
        if (!m_cookie)
            m_effective = suspend(true);
        return;
    }
    if (m_cookie) {
        callService(QStringLiteral("UnInhibit"), {*m_cookie});
        m_cookie.reset();
    }
    if (m_effective) {
        suspend(false);
        m_effective = false;
    }
}
