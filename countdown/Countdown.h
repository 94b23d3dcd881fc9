#pragma once
// The countdown's arithmetic: which moment is counted down to, and what one tick makes of the
// clock's reading. Plain functions over date-time values, so that every rule is checked by
// tables of cases with a fixed clock.

#include "countdown/Clock.h"
#include "countdown/DateTime.h"
#include "countdown/ZeroMomentDetector.h"

#include <cstdint>
#include <optional>

// The remaining seconds split up; hours holds all whole hours until the %T expansion
// reduces its own copy to the hours of the day.
struct CountdownBreakdown {
    int64_t total = 0;
    int64_t hours = 0;
    int64_t days = 0;
    int64_t minutes = 0;
    int64_t seconds = 0;

    friend bool operator==(const CountdownBreakdown&, const CountdownBreakdown&) = default;
};

// Local midnight at the start of 1 January of the year after the clock's current year: a
// whole number of days, no fraction.
TDateTime newYearMoment(const Clock& clock);

// The New-Year target of a start in the first hour of a new year (a restart after a crash, a
// power cut or an accidental close at the party): the midnight just passed, which the first tick
// then ends at once, rather than next year's, which would show a count of 364 days to the
// crowd. Empty at any other time.
std::optional<TDateTime> newYearJustPassed(const Clock& clock);

// Whole seconds between now and the target (after rounding to whole milliseconds, which both
// values are made of): before the target rounded up, so that 9.3 s left are 10 and the last
// second before the target is 1; at or after it truncated, so that the first second after the
// target is 0 and the count up then grows by one each second.
// A value that is no date-time of the years 100 to 9999 (NaN, an infinity, far out of range)
// is taken as the nearest end of that range (NaN as the far end), so the result is always
// defined and never overflows.
int64_t remainingSeconds(TDateTime now, TDateTime target);

// The breakdown of a count of remaining seconds (never negative).
CountdownBreakdown breakdownOf(int64_t remaining);

// The rules run once after the settings are loaded: a picked date-time that was never set
// (exactly 0) — or that holds no usable date-time at all — becomes the New-Year moment; with
// usePicked the picked date-time is the target, otherwise the New-Year moment. Returns the
// target.
TDateTime applyPickedDateRules(TDateTime newYear, TDateTime& picked, bool usePicked);

// The target a start counts to, as the window computes it once its settings are read: the
// picked-date rules over the clock's New-Year moment, and for the New Year a start in the first
// hour of a new year ends at the midnight just passed (newYearJustPassed). picked is changed as
// applyPickedDateRules changes it.
struct StartTarget {
    TDateTime target = 0;
    bool justPassed = false; // the New Year that has just begun: zero at the first tick
};
StartTarget startTarget(const Clock& clock, TDateTime& picked, bool usePicked);

// What accepting the settings dialog makes of its date and time fields and its radio buttons.
struct TargetChoice {
    TDateTime picked = 0;
    bool usePicked = false;
    TDateTime target = 0;
};

// The date of datePickerValue with the time of day of timePickerValue (for dates before
// 30 December 1899 the time is laid on by magnitude, as those values keep it); the target is
// that moment when datumChecked, otherwise the New-Year moment computed afresh.
TargetChoice recomputeTarget(TDateTime datePickerValue, TDateTime timePickerValue,
                             bool datumChecked, const Clock& clock);
