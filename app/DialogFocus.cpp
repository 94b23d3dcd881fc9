#include "app/DialogFocus.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

DialogFocus::DialogFocus(QObject* parent)
    : QObject(parent)
{
    // Window systems with a window manager (X11) focus new dialogs themselves.
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        qApp->installEventFilter(this);
}

bool DialogFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && widget->windowType() == Qt::Dialog && widget->windowHandle())
            m_pending.insert(widget->windowHandle());
    } else if (event->type() == QEvent::Expose && m_pending.contains(watched)) {
        // The compositor only activates a surface it has mapped, that is after the first frame.
        auto* window = static_cast<QWindow*>(watched);
        if (window->isExposed()) {
            m_pending.remove(watched);
            window->requestActivate();
        }
    }
    return false;
}
