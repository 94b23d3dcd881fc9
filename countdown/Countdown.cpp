#include "countdown/Countdown.h"

#include <algorithm>
#include <cmath>

namespace {

// The ends of the years 100 to 9999 as date-time values (1 January 100 lies before 1899, so
// its day is negative and its last moment is one whole day further from zero).
const double kFirstValue = double(daysFromCivil(100, 1, 1)) - 1.0;
const double kEndValue = double(daysFromCivil(10000, 1, 1));

double intoDateTimeRange(double value)
{
    if (std::isnan(value))
        return kEndValue;
    return std::clamp(value, kFirstValue, kEndValue);
}

} // namespace

TDateTime newYearMoment(const Clock& clock)
{
    CalendarTime t;
    t.year = clock.now().year + 1;
    t.month = 1;
    t.day = 1;
    return encodeDateTime(t);
}

std::optional<TDateTime> newYearJustPassed(const Clock& clock)
{
    const CalendarTime now = clock.now();
    if (now.month != 1 || now.day != 1 || now.hour != 0)
        return std::nullopt;
    CalendarTime t;
    t.year = now.year;
    t.month = 1;
    t.day = 1;
    return encodeDateTime(t);
}

int64_t remainingSeconds(TDateTime now, TDateTime target)
{
    const double a = intoDateTimeRange(now);
    const double b = intoDateTimeRange(target);
    // At most about 3.6 million days apart: the products stay far below 2^63.
    const double difference = a > b ? a - b : b - a;
    // Both values are made of whole milliseconds, but their difference in days carries
    // rounding noise: exactly ten seconds would come out as 9.999999… and truncate to 9.
    // Taking the whole milliseconds first and then going to whole seconds removes that noise.
    const int64_t ms = std::llround(difference * 86'400'000.0);
    // Before the target the count shows the seconds still to come, begun ones included, so
    // that it reaches 0 on the target itself, as a clock counted along with does; after it,
    // the whole seconds that have passed.
    if (a < b)
        return std::max<int64_t>(1, (ms + 999) / 1000);
    return ms / 1000;
}

CountdownBreakdown breakdownOf(int64_t remaining)
{
    CountdownBreakdown b;
    b.total = remaining;
    b.hours = remaining / 3600;
    b.days = b.hours / 24;
    b.minutes = remaining % 3600 / 60;
    b.seconds = remaining % 60;
    return b;
}

TDateTime applyPickedDateRules(TDateTime newYear, TDateTime& picked, bool usePicked)
{
    // A stored value that names no date (NaN, an infinity, a year beyond 9999) could be neither
    // shown in the date field nor counted to; it is treated like one never stored.
    if (picked == 0 || !isValidDateTime(picked))
        picked = newYear;
    return usePicked ? picked : newYear;
}

StartTarget startTarget(const Clock& clock, TDateTime& picked, bool usePicked)
{
    StartTarget start;
    start.target = applyPickedDateRules(newYearMoment(clock), picked, usePicked);
    if (const std::optional<TDateTime> passed = newYearJustPassed(clock); passed && !usePicked) {
        start.target = *passed;
        start.justPassed = true;
    }
    return start;
}

TargetChoice recomputeTarget(TDateTime datePickerValue, TDateTime timePickerValue,
                             bool datumChecked, const Clock& clock)
{
    const double day = wholeDayPart(datePickerValue);
    const double time = timeOfDayPart(timePickerValue);
    TargetChoice c;
    // For dates on or after 30 December 1899 this is the plain sum of the two parts; before
    // it, the value grows away from zero with the time of day.
    c.picked = day < 0 ? day - std::fabs(time) : day + std::fabs(time);
    c.usePicked = datumChecked;
    c.target = datumChecked ? c.picked : newYearMoment(clock);
    return c;
}
