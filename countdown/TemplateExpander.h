#pragma once
// Turns the display template into the title text. The result is exactly what replacing the
// ten placeholders one by one would give — each replacement searching the whole text again
// from its first character — but it is reached in time linear in the text, so that a long
// template cannot stall the tick, and it ends on every input: where a regional text inserted
// for %C, %U, %D or %Z holds its own placeholder (or would meet '%' signs around it and copy
// itself into the text without end, or so many times over that the text would outgrow any
// screen), the search goes on after the inserted text instead.

#include "countdown/Clock.h"
#include "countdown/Countdown.h"
#include "countdown/RegionalSettings.h"

#include <QString>

// The title text: the countdown breakdown and the target moment put in; %Y, %C and %D read the
// clock at each occurrence.
QString expandLive(const QString& tmpl, const CountdownBreakdown& breakdown, TDateTime target,
                   const Clock& clock, const RegionalSettings& regional);

// What the sample puts in for each value: zeros at least as wide as every live value.
struct SampleForms {
    int dayDigits = 3;
    int hourDigits = 3; // with no %T in the template; with one, the hours of the day fit in 3
    int totalDigits = 8;
    QString time = QStringLiteral("00:00:00");
    QString date = QStringLiteral("00.00.0000");

    // The forms for the live values that counting from now to target can still produce (or,
    // counting up from a target that has passed, in a year from now), in the regional forms
    // with every digit a zero: as many digits as the largest value has, and never fewer than
    // the fixed forms above; the widest designator, and the longest day and month names where
    // the date form has names. With German settings these are the fixed forms.
    static SampleForms widestFor(TDateTime now, TDateTime target, const RegionalSettings& regional);
};

// The text the title font is fitted to: zeros of fixed width for every number, time and date;
// %Y reads the clock at each occurrence as in the live text.
QString expandSample(const QString& tmpl, const Clock& clock, const SampleForms& forms = {});
