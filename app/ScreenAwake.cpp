#include "app/ScreenAwake.h"

#include <QEvent>
#include <QWidget>

ScreenAwake::ScreenAwake(QWidget& window)
    : m_window(window)
{
    m_window.installEventFilter(this);
    m_inhibitor.setHeld(m_window.isVisible());
}

bool ScreenAwake::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            m_inhibitor.setHeld(m_window.isVisible() && !m_window.isMinimized());
            break;
        default:
            break;
        }
    }
    return false;
}
