#pragma once
// What X11 window managers are told about the program's dialogs beyond what Qt tells them, and
// what the dialogs undo when a manager goes its own way.

#include <QObject>

class QWidget;

// Keeps the window manager from offering to minimise a dialog. Qt leaves minimising out of the
// dialog's Motif hints, which most managers honour; openbox takes from them only which buttons
// to draw and offers iconify to every dialog, withholding it only from windows that declare
// themselves a tool bar or a menu, which it then does not iconify on request either. Under
// openbox the dialog therefore declares itself a tool bar first (it keeps its title bar and
// close box there), a dialog after that for any manager that reads on; elsewhere nothing
// changes. Called before each mapping of the dialog's window: the manager reads the kind of a
// window when it maps it.
void withholdMinimise(QWidget& dialog);

// While the dialog is shown, neither it nor the window it belongs to stays minimised. Nothing
// offers to minimise the dialog, but a window manager may still iconify it when asked to, and
// the full-screen window with it: a black screen, and keys held up by a dialog nobody sees.
// Both come back at once. Made with the dialog, whose child it is.
class IconifyGuard : public QObject {
public:
    explicit IconifyGuard(QWidget& dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restore();

    QWidget& m_dialog;
};
