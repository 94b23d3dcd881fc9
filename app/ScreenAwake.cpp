#include "app/ScreenAwake.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

ScreenAwake::ScreenAwake(QWidget& window)
    : m_window(window)
{
    m_window.installEventFilter(this);
    m_inhibitor.setHeld(m_window.isVisible());
}

void ScreenAwake::update()
{
    const bool shown = m_window.isVisible() && !m_window.isMinimized();
    m_inhibitor.setHeld(shown);
    if (shown)
        m_idleInhibitor.hold(m_window.windowHandle());
    else
        m_idleInhibitor.release();
}

bool ScreenAwake::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window) {
        switch (event->type()) {
        case QEvent::Show:
            // Asking the desktop's service and the X server takes round trips: the hold starts
            // once the first frame is out, not before it.
            m_holdAfterPaint = true;
            break;
        case QEvent::Paint:
            if (m_holdAfterPaint) {
                m_holdAfterPaint = false;
                QTimer::singleShot(0, this, &ScreenAwake::update);
            }
            break;
        case QEvent::WindowStateChange:
            // Going full screen before the first frame still waits for it.
            if (!m_holdAfterPaint || m_window.isMinimized()) {
                m_holdAfterPaint = false;
                update();
            }
            break;
        case QEvent::Hide:
            m_holdAfterPaint = false;
            update();
            break;
        default:
            break;
        }
    }
    return false;
}
