#pragma once
// The settings exchange between the main window and the settings dialog: filling the
// dialog from the in-memory settings before it shows, and reading it back after it closed.
// Kept apart from the showing so that both halves can be checked without a modal loop.

#include "countdown/Clock.h"
#include "countdown/DateTime.h"
#include "settings/Settings.h"

class TCFGDialog;
class TLabel3D;

// The settings and the moment they count to, as the main window holds them.
struct ExchangeValues {
    Settings settings;
    TDateTime target = 0;
};

// The title font the settings describe, on a label: the family and style over the label's own
// font (its size stays), with the colour and the character set.
void applyTitleFont(TLabel3D& label, const Settings& settings);

// The first half: puts the values into the dialog's controls, without showing it.
void fillDialog(TCFGDialog& dialog, const ExchangeValues& values);

// Fills the dialog, shows it modally and reads it back; returns the modal result (mrOk for
// OK). When the dialog is destroyed while it is open, nothing is read back and 0 returned.
int runSettingsDialog(TCFGDialog& dialog, ExchangeValues& values, const Clock& clock);

// The second half, for OK or cancel. On cancel only the picture alignment goes back to the
// one the dialog was filled with, undoing its previews.
void readBack(const TCFGDialog& dialog, int modalResult, ExchangeValues& values,
              const Clock& clock);
