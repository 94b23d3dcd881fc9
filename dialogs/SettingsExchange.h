#pragma once
// The settings exchange between the main window and the settings dialog: filling the
// dialog from the in-memory settings before it shows, and reading it back after it closed.
// Kept apart from the showing so that both halves can be checked without a modal loop.

#include "countdown/Clock.h"
#include "countdown/DateTime.h"
#include "display/Colors.h"

#include <QFont>
#include <QString>

class TCFGDialog;

// The settings as the main window holds them.
struct ExchangeValues {
    QString displayTemplate;
    int pictureAlignment = 0;
    TColor backgroundColor = clBlack;
    QFont titleFont;
    TColor titleFontColor = clWhite;
    int titleFontCharset = 1;
    int titleFontPointSize = 0;
    TDateTime picked = 0;
    bool usePicked = false;
    bool shadow = false;
    TDateTime target = 0;
};

// The first half: puts the values into the dialog's controls, without showing it.
void fillDialog(TCFGDialog& dialog, const ExchangeValues& values);

// Fills the dialog, shows it modally and reads it back; returns the modal result (mrOk for
// OK). When the dialog is destroyed while it is open, nothing is read back and 0 returned.
int runSettingsDialog(TCFGDialog& dialog, ExchangeValues& values, const Clock& clock);

// The second half, for OK or cancel. On cancel only the picture alignment goes back to the
// one the dialog was filled with, undoing its previews.
void readBack(const TCFGDialog& dialog, int modalResult, ExchangeValues& values,
              const Clock& clock);
