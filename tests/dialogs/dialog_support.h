#pragma once
// Helpers shared by the dialog tests: a clock that reads what the test sets, waiting for a
// condition with a time limit, and synthetic keys and clicks.

#include "countdown/Clock.h"

#include <QPoint>
#include <QString>
#include <functional>

class QWidget;

class FixedClock final : public Clock {
public:
    explicit FixedClock(CalendarTime t) : m_now(t) {}
    CalendarTime now() const override { return m_now; }
    void set(CalendarTime t) { m_now = t; }

private:
    CalendarTime m_now;
};

// Processes events until the condition holds or five seconds have passed; returns the
// condition's last value.
bool waitFor(const std::function<bool()>& condition);

// Shows the window and waits until it is the active window.
bool showActive(QWidget& window);

// A key press and release as the keyboard would deliver it to the widget.
void pressKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = QString());

// A left click at the point, in the widget's coordinates.
void click(QWidget& target, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
