#pragma once
// The display template expanded exactly as the rule reads, one placeholder occurrence at a
// time, each search starting again at the first character: slow, but plainly right. The fast
// expander is compared with it by the tests and by the fuzz target.

#include "countdown/Clock.h"
#include "countdown/Countdown.h"
#include "countdown/DateTime.h"
#include "countdown/RegionalSettings.h"

#include <QString>

#include <optional>

// Copy, then for each placeholder in the fixed order find its first occurrence from the start,
// delete it, compute the value, insert it, and search again. Gives up (no result) when an
// inserted value holds its own placeholder, or when a pass goes on far longer than any ending
// run of the sizes tried.
inline std::optional<QString> stepByStep(const QString& tmpl, bool sample, CountdownBreakdown b,
                                         TDateTime target, const Clock& clock,
                                         const RegionalSettings& r)
{
    const QString order = QStringLiteral("YTHMSACUDZ");
    QString text = tmpl;
    for (QChar letter : order) {
        const QString placeholder = QStringLiteral("%") + letter;
        int replacements = 0;
        for (;;) {
            const qsizetype at = text.indexOf(placeholder);
            if (at < 0)
                break;
            if (++replacements > 1000 || text.size() > 20000)
                return std::nullopt;
            text.remove(at, 2);
            QString value;
            switch (letter.unicode()) {
            case u'Y':
                value = QString::number(clock.now().year + 1);
                break;
            case u'T':
                value = sample ? QStringLiteral("000") : QString::number(b.days);
                break;
            case u'H':
                value = sample ? QStringLiteral("000") : QString::number(b.hours);
                break;
            case u'M':
                value = sample ? QStringLiteral("00")
                               : QString::number(b.minutes).rightJustified(2, u'0');
                break;
            case u'S':
                value = sample ? QStringLiteral("00")
                               : QString::number(b.seconds).rightJustified(2, u'0');
                break;
            case u'A':
                value = sample ? QStringLiteral("00000000") : QString::number(b.total);
                break;
            case u'C':
                value = sample ? QStringLiteral("00:00:00") : r.longTime(clock.now());
                break;
            case u'U':
                value = sample ? QStringLiteral("00:00:00") : r.longTime(decodeDateTime(target));
                break;
            case u'D':
                value = sample ? QStringLiteral("00.00.0000") : r.shortDate(clock.now());
                break;
            case u'Z':
                value = sample ? QStringLiteral("00.00.0000") : r.shortDate(decodeDateTime(target));
                break;
            }
            // With the value holding its own placeholder the procedure never ends while the
            // value stays the same (the clock may change it, hours later); the expander's
            // answer to that case is compared elsewhere.
            if (value.contains(placeholder))
                return std::nullopt;
            text.insert(at, value);
            if (letter == u'T' && !sample)
                b.hours %= 24;
        }
    }
    return text;
}
