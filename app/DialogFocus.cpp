#include "app/DialogFocus.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
// How long a mapped dialog waits for the compositor's answer to its first frame before it asks
// for the keyboard anyway.
constexpr int kMapAnswerWaitMs = 250;
} // namespace

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
        const Qt::WindowType type = widget->windowType();
        QWindow* window = widget->windowHandle();
        if (!widget->isWindow() || (type != Qt::Dialog && type != Qt::Window) || !window ||
            widget == m_mainWindow)
            return false;
        // The show event comes before the window is shown to the compositor, which learns the
        // parent with it.
        if (!window->transientParent() && m_mainWindow && m_mainWindow->isVisible() &&
            m_mainWindow->windowHandle())
            window->setTransientParent(m_mainWindow->windowHandle());
        m_pending.insert(window, false);
    } else if (event->type() == QEvent::Expose && watched->isWindowType()) {
        auto* window = static_cast<QWindow*>(watched);
        if (!window->isExposed())
            return false;
        const auto pending = m_pending.find(watched);
        if (pending != m_pending.end() && !pending.value()) {
            // The first frame is about to be drawn; the compositor only activates a surface
            // it has mapped, and answers the mapping with a new state of its own.
            pending.value() = true;
            QTimer::singleShot(kMapAnswerWaitMs, window,
                               [this, guard = QPointer<QWindow>(window)] { activate(guard); });
        } else {
            answerConfigure(window);
            activate(window);
        }
    }
    return false;
}

void DialogFocus::answerConfigure(QWindow* window)
{
    // A window that takes on the compositor's new state without changing its pixels draws no
    // frame, and the compositor holds back every change made in the same step (the dialog
    // coming up over the full-screen window among them) until it gives up waiting. The frame
    // must go out now: once the next state is acknowledged, it would no longer count.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window && widget->isVisible())
            widget->repaint();
    }
}

void DialogFocus::activate(QWindow* window)
{
    // Asked only after the compositor's answer to the mapping has been drawn: a request that
    // overtakes it makes the compositor hold the dialog back, unseen, while it has the keyboard.
    if (window && m_pending.remove(window))
        window->requestActivate();
}
