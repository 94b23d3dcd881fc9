#pragma once
// The title is measured line by line; this is the one place that says what a line of a
// template is, so the fitting and the label agree on it.

#include <QString>
#include <QStringList>

// Lines are the pieces between line breaks (CR LF; a lone LF or CR breaks too, as the label
// draws it). An empty text has no lines, a break at the very end makes no extra line, and empty
// lines anywhere else count.
QStringList splitLines(const QString& text);

// True when the line holds something other than spaces and control characters.
bool isBlankLine(const QString& line);
