#pragma once
// Asks the compositor to give the keyboard to every dialog the program opens. Under Wayland a
// new dialog over a full-screen window is not always focused by itself, and the window behind
// it, blocked by the dialog, would swallow every key.

#include <QHash>
#include <QObject>

class QWindow;

class DialogFocus : public QObject {
    Q_OBJECT
public:
    explicit DialogFocus(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answerConfigure(QWindow* window);
    void activate(QWindow* window);

    // Dialog windows shown but not yet activated, and whether their first frame is drawn.
    QHash<QObject*, bool> m_pending;
};
