#include "countdown/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct KnownDay {
    int year, month, day;
    int64_t days;
};

// Day numbers of the classic date-time value, as published for it.
const KnownDay kKnownDays[] = {
    {1899, 12, 30, 0},    {1899, 12, 31, 1},    {1900, 1, 1, 2},         {1900, 3, 1, 61},
    {2000, 1, 1, 36526},  {2000, 2, 29, 36585}, {2000, 3, 1, 36586},     {1899, 12, 29, -1},
    {1800, 1, 1, -36522}, {100, 1, 1, -657434}, {9999, 12, 31, 2958465}, {1970, 1, 1, 25569},
};

TEST(DateTime, DayNumbersMatchTheClassicValue)
{
    for (const KnownDay& k : kKnownDays) {
        SCOPED_TRACE(testing::Message() << k.year << '-' << k.month << '-' << k.day);
        EXPECT_EQ(daysFromCivil(k.year, k.month, k.day), k.days);
        const CalendarTime t = decodeDateTime(double(k.days));
        EXPECT_EQ(t, (CalendarTime {k.year, k.month, k.day, 0, 0, 0, 0}));
    }
}

TEST(DateTime, TimeOfDayIsTheFractionOfADay)
{
    EXPECT_DOUBLE_EQ(encodeDateTime({1899, 12, 30, 12, 0, 0, 0}), 0.5);
    EXPECT_DOUBLE_EQ(encodeDateTime({1900, 1, 1, 6, 0, 0, 0}), 2.25);
    EXPECT_DOUBLE_EQ(encodeDateTime({2026, 12, 31, 23, 59, 59, 500}),
                     double(daysFromCivil(2026, 12, 31)) + 86'399'500.0 / 86'400'000.0);
}

TEST(DateTime, DatesBefore1899KeepTheTimeByMagnitude)
{
    // 29 December 1899 06:00 is -(1 + 0.25).
    EXPECT_DOUBLE_EQ(encodeDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
    EXPECT_EQ(decodeDateTime(-1.25), (CalendarTime {1899, 12, 29, 6, 0, 0, 0}));
    EXPECT_EQ(decodeDateTime(-2.75), (CalendarTime {1899, 12, 28, 18, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(wholeDayPart(-1.25), -1.0);
    EXPECT_DOUBLE_EQ(timeOfDayPart(-1.25), -0.25);
}

TEST(DateTime, EncodeAndDecodeRoundTrip)
{
    const CalendarTime cases[] = {
        {100, 1, 1, 0, 0, 0, 0},         {100, 1, 1, 23, 59, 59, 999},
        {100, 2, 28, 12, 0, 0, 1},       {400, 2, 29, 1, 2, 3, 4},
        {1600, 2, 29, 13, 14, 15, 16},   {1700, 3, 1, 0, 0, 0, 1},
        {1899, 12, 29, 23, 59, 59, 999}, {1899, 12, 30, 0, 0, 0, 1},
        {1900, 2, 28, 23, 59, 59, 999},  {1996, 2, 29, 8, 30, 0, 250},
        {2000, 2, 29, 23, 59, 59, 999},  {2024, 2, 29, 0, 0, 0, 0},
        {2026, 12, 31, 23, 59, 59, 500}, {2027, 1, 1, 0, 0, 0, 500},
        {9999, 12, 31, 23, 59, 59, 999}, {9999, 1, 1, 0, 0, 0, 0},
    };
    for (const CalendarTime& t : cases) {
        SCOPED_TRACE(testing::Message()
                     << t.year << '-' << t.month << '-' << t.day << ' ' << t.hour << ':' << t.minute
                     << ':' << t.second << '.' << t.millisecond);
        const TDateTime v = encodeDateTime(t);
        EXPECT_TRUE(isValidDateTime(v));
        EXPECT_EQ(decodeDateTime(v), t);
    }
}

TEST(DateTime, EveryDayOfTheRangeRoundTrips)
{
    const int64_t first = daysFromCivil(100, 1, 1);
    const int64_t last = daysFromCivil(9999, 12, 31);
    int64_t previous = first - 1;
    CalendarTime before {99, 12, 31};
    for (int64_t d = first; d <= last; ++d) {
        const CalendarTime t = decodeDateTime(double(d));
        ASSERT_EQ(daysFromCivil(t.year, t.month, t.day), d);
        // Each day follows the one before it in the calendar.
        const bool nextDay =
            (t.year == before.year && t.month == before.month && t.day == before.day + 1) ||
            (t.year == before.year && t.month == before.month + 1 && t.day == 1) ||
            (t.year == before.year + 1 && t.month == 1 && t.day == 1);
        ASSERT_TRUE(nextDay) << t.year << '-' << t.month << '-' << t.day;
        before = t;
        previous = d;
    }
    EXPECT_EQ(previous, 2958465);
}

TEST(DateTime, LeapYearsFollowTheGregorianRule)
{
    struct Case {
        int year;
        bool leap;
    };
    const Case cases[] = {{100, false},  {400, true},  {1900, false}, {1996, true}, {2000, true},
                          {2023, false}, {2024, true}, {2100, false}, {9996, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(daysFromCivil(c.year + 1, 1, 1) - daysFromCivil(c.year, 1, 1),
                  c.leap ? 366 : 365);
    }
}

TEST(DateTime, MillisecondsRoundToTheNearest)
{
    const double day = double(daysFromCivil(2026, 6, 1));
    EXPECT_EQ(decodeDateTime(day + 1.4 / 86'400'000.0).millisecond, 1);
    EXPECT_EQ(decodeDateTime(day + 1.6 / 86'400'000.0).millisecond, 2);
    // The last half millisecond of a day belongs to the next day's midnight.
    EXPECT_EQ(decodeDateTime(day + 1.0 - 0.2 / 86'400'000.0),
              (CalendarTime {2026, 6, 2, 0, 0, 0, 0}));
    EXPECT_EQ(decodeDateTime(-2.0 - (1.0 - 0.2 / 86'400'000.0)),
              (CalendarTime {1899, 12, 27, 0, 0, 0, 0}));
}

TEST(DateTime, WholeDayAndTimeOfDayParts)
{
    struct Case {
        double value, whole, time;
    };
    const Case cases[] = {
        {0.0, 0.0, 0.0}, {2.25, 2.0, 0.25}, {46387.75, 46387.0, 0.75}, {-3.5, -3.0, -0.5}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(wholeDayPart(c.value), c.whole);
        EXPECT_DOUBLE_EQ(timeOfDayPart(c.value), c.time);
    }
}

TEST(DateTime, OnlyFiniteValuesOfTheYears100To9999AreValid)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        bool valid;
    };
    const Case cases[] = {
        {0.0, true},         {-657434.0, true},  {-657434.999, true}, {-657435.0, false},
        {2958465.999, true}, {2958466.0, false}, {nan, false},        {inf, false},
        {-inf, false},       {1e300, false},     {-1e300, false},     {46387.5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(isValidDateTime(c.value), c.valid);
    }
}

TEST(DateTime, DecodingAValueThatIsNoDateGivesTheZeroDate)
{
    for (double v : {std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), 1e300, -1e19}) {
        EXPECT_EQ(decodeDateTime(v), CalendarTime {});
    }
}

} // namespace
