#pragma once
// What X11 window managers are told about the program's dialogs beyond what Qt tells them.

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
