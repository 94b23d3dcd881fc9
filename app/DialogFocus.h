#pragma once
// Asks the compositor to give the keyboard to every dialog the program opens. Under Wayland a
// new dialog over a full-screen window is not always focused by itself, and the window behind
// it, blocked by the dialog, would swallow every key.

#include <QObject>
#include <QSet>

class DialogFocus : public QObject {
    Q_OBJECT
public:
    explicit DialogFocus(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Dialog windows shown but not yet on screen.
    QSet<QObject*> m_pending;
};
