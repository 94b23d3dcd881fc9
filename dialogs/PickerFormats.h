#pragma once
// The display forms of the two date-time pickers, taken from the user's locale. Kept apart
// from the widgets so that the rules can be checked for any locale without a display.

#include <QLocale>
#include <QString>

// The locale's short date form with the year always written with four digits.
QString shortDateFormatWithFullYear(const QLocale& locale);

// The locale's time form with seconds and without any time-zone part.
QString timeFormatWithSeconds(const QLocale& locale);
