#pragma once
// Asks the compositor to give the keyboard to every dialog and window the program opens. Under
// Wayland a new dialog over a full-screen window is not always focused by itself, and the
// window behind it, blocked by the dialog, would swallow every key. A window of its own (the
// help) is shown as the main window's child: a compositor shows nothing but the full-screen
// window and its children over it, and would put any other window behind it, unseen.

#include <QHash>
#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

class DialogFocus : public QObject {
    Q_OBJECT
public:
    explicit DialogFocus(QObject* parent = nullptr);

    // The full-screen window that the program's other windows come over.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void answerConfigure(QWindow* window);
    void activate(QWindow* window);

    QPointer<QWidget> m_mainWindow;
    // Windows shown but not yet activated, and whether their first frame is drawn.
    QHash<QObject*, bool> m_pending;
};
