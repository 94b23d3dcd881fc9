#include "dialog_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

bool showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitFor(
        [&] { return window.isVisible() && QApplication::activeWindow() == &window; });
}

void pressKey(QWidget& target, int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&target, &release);
}

void click(QWidget& target, QPoint at, Qt::KeyboardModifiers modifiers)
{
    const QPointF local(at);
    const QPointF global(target.mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QApplication::sendEvent(&target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        modifiers);
    QApplication::sendEvent(&target, &release);
}
