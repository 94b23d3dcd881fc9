#pragma once
// Helpers shared by the dialog tests (the settable clock is the countdown tests' one): waiting for
// the window shown and active, and synthetic keys and clicks.

#include "dialogs/UCfg.h"
#include "tests/countdown/clock_support.h"

#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The settings dialog over a main window, on a clock that stands still on a December morning.
class SettingsDialogTest : public testing::Test {
protected:
    FixedClock clock {CalendarTime {2026, 12, 7, 10, 30, 0, 0}};
    QWidget mainWindow;
    std::unique_ptr<TCFGDialog> dialog = std::make_unique<TCFGDialog>(&mainWindow, clock);
};

// Shows the window and waits until it is the active window.
bool showActive(QWidget& window);

// A key press and release as the keyboard would deliver it to the widget.
void pressKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = QString());

// A left click at the point, in the widget's coordinates.
void click(QWidget& target, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
