#include "countdown/Countdown.h"

#include "clock_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

double moment(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
              int ms = 0)
{
    return encodeDateTime(at(year, month, day, hour, minute, second, ms));
}

TEST(NewYearMoment, IsMidnightOfTheNextFirstOfJanuaryWithoutFraction)
{
    struct Case {
        CalendarTime now;
        int expectedYear;
    };
    const Case cases[] = {
        {at(2026, 12, 6, 9, 32, 17, 481), 2027},
        {at(2026, 1, 1, 0, 0, 0, 500), 2027},
        {at(2026, 12, 31, 23, 59, 59, 999), 2027},
        {at(2024, 2, 29, 12, 0, 0, 1), 2025},
    };
    for (const Case& c : cases) {
        const TDateTime v = newYearMoment(FixedClock(c.now));
        EXPECT_EQ(v, double(daysFromCivil(c.expectedYear, 1, 1)));
        EXPECT_EQ(timeOfDayPart(v), 0.0);
    }
}

TEST(NewYearJustPassed, OnlyInTheFirstHourOfTheYear)
{
    struct Case {
        CalendarTime now;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {at(2027, 1, 1, 0, 0, 0, 0), moment(2027, 1, 1)},
        {at(2027, 1, 1, 0, 10, 0, 0), moment(2027, 1, 1)},
        {at(2027, 1, 1, 0, 59, 59, 999), moment(2027, 1, 1)},
        {at(2027, 1, 1, 1, 0, 0, 0), std::nullopt},
        {at(2027, 1, 2, 0, 10, 0, 0), std::nullopt},
        {at(2026, 12, 31, 23, 59, 59, 999), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.now.day << "." << c.now.month << " " << c.now.hour
                                        << ":" << c.now.minute);
        EXPECT_EQ(newYearJustPassed(FixedClock(c.now)), c.expected);
    }
}

TEST(RemainingSeconds, RoundUpBeforeTheTargetAndTruncateAfterIt)
{
    struct Case {
        const char* name;
        double now;
        double target;
        int64_t expected;
    };
    const double newYear2027 = moment(2027, 1, 1);
    const Case cases[] = {
        {"half a second before New Year", moment(2026, 12, 31, 23, 59, 59, 500), newYear2027, 1},
        {"one millisecond before", moment(2026, 12, 31, 23, 59, 59, 999), newYear2027, 1},
        {"half a second into the year, 365 days", moment(2026, 1, 1, 0, 0, 0, 500), newYear2027,
         31'536'000},
        {"9.3 seconds left shows 10", moment(2026, 12, 31, 23, 59, 50, 700), newYear2027, 10},
        {"exactly one second left", moment(2026, 12, 31, 23, 59, 59, 0), newYear2027, 1},
        {"exactly ten seconds left", moment(2026, 12, 31, 23, 59, 50, 0), newYear2027, 10},
        {"exactly at the target", newYear2027, newYear2027, 0},
        {"half a second past", moment(2027, 1, 1, 0, 0, 0, 500), newYear2027, 0},
        {"ten and a half seconds past counts up truncated", moment(2026, 6, 1, 12, 0, 10, 500),
         moment(2026, 6, 1, 12, 0, 0), 10},
        {"across a leap day", moment(2024, 2, 28, 0, 0, 0, 0), moment(2024, 3, 1), 2 * 86400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(remainingSeconds(c.now, c.target), c.expected);
    }
}

TEST(RemainingSeconds, ValuesThatAreNoDateNeverReachTheIntegerConversion)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double now = moment(2026, 12, 6, 9, 0, 0);
    const double firstValue = double(daysFromCivil(100, 1, 1)) - 1.0;
    const double endValue = double(daysFromCivil(10000, 1, 1));
    const int64_t toEnd = int64_t((endValue - now) * 86400.0);
    const int64_t toFirst = int64_t((now - firstValue) * 86400.0);
    struct Case {
        const char* name;
        double target;
        int64_t expected;
    };
    const Case cases[] = {
        {"NaN counts to the end of the range", nan, toEnd},
        {"+infinity", inf, toEnd},
        {"-infinity", -inf, toFirst},
        {"beyond 2^63 seconds", 1e300, toEnd},
        {"far before the range", -1e300, toFirst},
        {"just past 2^63 seconds", 9.3e18 / 86400.0 + 1.0, toEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int64_t r = remainingSeconds(now, c.target);
        EXPECT_EQ(r, c.expected);
        EXPECT_GT(r, 0);
    }
    EXPECT_EQ(remainingSeconds(nan, nan), 0);
}

TEST(Breakdown, SplitsTheRemainingSeconds)
{
    struct Case {
        int64_t r;
        CountdownBreakdown expected;
    };
    const Case cases[] = {
        {0, {0, 0, 0, 0, 0}},          {59, {59, 0, 0, 0, 59}},
        {60, {60, 0, 0, 1, 0}},        {3599, {3599, 0, 0, 59, 59}},
        {90061, {90061, 25, 1, 1, 1}}, {31'535'999, {31'535'999, 8759, 364, 59, 59}},
        {86400, {86400, 24, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.r);
        EXPECT_EQ(breakdownOf(c.r), c.expected);
    }
}

TEST(PickedDateRules, FollowTheStoredChoice)
{
    const double newYear = moment(2027, 1, 1);
    const double stored = moment(2026, 12, 24, 18, 30, 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        double picked;
        bool usePicked;
        double expectedTarget;
        double expectedPicked;
    };
    const Case cases[] = {
        {"flag on, nothing stored: New Year, and it becomes the picked value", 0.0, true, newYear,
         newYear},
        {"flag off, nothing stored", 0.0, false, newYear, newYear},
        {"flag on, stored", stored, true, stored, stored},
        {"flag off, stored value stays", stored, false, newYear, stored},
        {"flag on, stored value names no date", nan, true, newYear, newYear},
        {"flag on, stored value beyond 9999", 1e12, true, newYear, newYear},
        {"flag on, a picked moment in the past", moment(2020, 5, 5), true, moment(2020, 5, 5),
         moment(2020, 5, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double picked = c.picked;
        EXPECT_EQ(applyPickedDateRules(newYear, picked, c.usePicked), c.expectedTarget);
        EXPECT_EQ(picked, c.expectedPicked);
    }
}

TEST(TargetRecomputation, TakesTheDateOfOneFieldAndTheTimeOfTheOther)
{
    const FixedClock clock(at(2026, 12, 6, 9, 32, 17, 481));
    const double newYear = double(daysFromCivil(2027, 1, 1));
    const double datePicker = moment(2026, 12, 24, 7, 7, 7); // its time of day is ignored
    const double timePicker = moment(2001, 3, 3, 18, 30, 0); // its date is ignored
    const double expected = double(daysFromCivil(2026, 12, 24)) + timeOfDayPart(timePicker);

    const TargetChoice picked = recomputeTarget(datePicker, timePicker, true, clock);
    EXPECT_EQ(picked.picked, expected);
    EXPECT_TRUE(picked.usePicked);
    EXPECT_EQ(picked.target, expected);

    const TargetChoice newYearChoice = recomputeTarget(datePicker, timePicker, false, clock);
    EXPECT_EQ(newYearChoice.picked, expected);
    EXPECT_FALSE(newYearChoice.usePicked);
    EXPECT_EQ(newYearChoice.target, newYear);
    EXPECT_EQ(timeOfDayPart(newYearChoice.target), 0.0);
}

TEST(TargetRecomputation, KeepsTheTimeOfDayForDatesBefore1899)
{
    const FixedClock clock(at(2026, 12, 6));
    const TargetChoice c =
        recomputeTarget(moment(1800, 1, 1), moment(2026, 1, 1, 6, 0, 0), true, clock);
    EXPECT_EQ(decodeDateTime(c.picked), at(1800, 1, 1, 6, 0, 0));
}

} // namespace

namespace {

// A rehearsal's clock shows the target exactly the asked-for seconds ahead at the start, in
// whole seconds of shift (the title still changes with the true second).
TEST(ShiftedClock, BringsTheTargetTheAskedForSecondsAhead)
{
    struct Case {
        CalendarTime now;
        int seconds;
    };
    const Case cases[] = {
        {at(2026, 12, 7, 9, 5, 3, 250), 10},   {at(2026, 12, 31, 23, 59, 40, 999), 5},
        {at(2026, 12, 31, 23, 59, 58, 0), 60}, {at(2026, 12, 31, 23, 59, 59, 500), 1},
        {at(2026, 2, 1, 0, 0, 0, 0), 86400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        const FixedClock real(c.now);
        const TDateTime target = newYearMoment(real);
        const int64_t shift = ShiftedClock::shiftFor(nowValue(real), target, c.seconds);
        const ShiftedClock shifted(real, shift);
        EXPECT_EQ(remainingSeconds(nowValue(shifted), target), c.seconds);
        EXPECT_EQ(shifted.now().millisecond, c.now.millisecond);
    }
}

} // namespace
