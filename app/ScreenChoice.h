#pragma once
// Which screen a name from the command line means, for the window and for the pre-show check
// alike.

#include <QString>

class QScreen;

// The primary screen for an empty name; else the screen with that connector name (in any case),
// else the one with that number counted from 1 in the platform's order. Null when none matches.
QScreen* screenNamed(const QString& name);
