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

// The template in force before any setting is loaded.
extern const QString kBuiltInTemplate;

// The title text: the countdown breakdown and the target moment put in; %Y, %C and %D read the
// clock at each occurrence.
QString expandLive(const QString& tmpl, const CountdownBreakdown& breakdown, TDateTime target,
                   const Clock& clock, const RegionalSettings& regional);

// The text the title font is fitted to: zeros of fixed width for every number, time and date;
// %Y reads the clock at each occurrence as in the live text.
QString expandSample(const QString& tmpl, const Clock& clock);
