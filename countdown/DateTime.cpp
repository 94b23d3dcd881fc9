#include "countdown/DateTime.h"

#include <cmath>

// Dates before 30 December 1899 are negative values. They keep "the integer part is the date,
// the fraction the time of day" by magnitude: 29 December 1899 06:00 is -(1 + 0.25) = -1.25,
// not -0.75. Values between -1 and 0 are read like their magnitude (30 December 1899), as the
// classic convention does; encoding never produces them.

namespace {

constexpr int64_t kMsPerDay = 86'400'000;
// 1 January 1970 counted from 30 December 1899.
constexpr int64_t kUnixEpochDay = 25'569;

constexpr int64_t floorDiv(int64_t a, int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days since 1 January 1970 (proleptic Gregorian), after H. Hinnant's public-domain algorithms.
constexpr int64_t unixDaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = floorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + doe - 719'468;
}

void civilFromUnixDays(int64_t z, int& year, int& month, int& day)
{
    z += 719'468;
    const int64_t era = floorDiv(z, 146'097);
    const int64_t doe = z - era * 146'097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    year = int(yoe + era * 400 + (m <= 2));
    month = int(m);
    day = int(d);
}

// First and one-past-last day of the years 100 to 9999.
constexpr int64_t kFirstValidDay = unixDaysFromCivil(100, 1, 1) + kUnixEpochDay;
constexpr int64_t kEndValidDay = unixDaysFromCivil(10000, 1, 1) + kUnixEpochDay;

} // namespace

int64_t daysFromCivil(int year, int month, int day)
{
    return unixDaysFromCivil(year, month, day) + kUnixEpochDay;
}

TDateTime encodeDateTime(const CalendarTime& t)
{
    const double days = double(daysFromCivil(t.year, t.month, t.day));
    const double fraction = double(int64_t(t.hour) * 3'600'000 + int64_t(t.minute) * 60'000 +
                                   int64_t(t.second) * 1'000 + t.millisecond) /
                            double(kMsPerDay);
    return days < 0 ? days - fraction : days + fraction;
}

CalendarTime decodeDateTime(TDateTime value)
{
    if (!isValidDateTime(value))
        return CalendarTime {};
    int64_t day = int64_t(wholeDayPart(value));
    int64_t ms = std::llround(std::fabs(timeOfDayPart(value)) * double(kMsPerDay));
    if (ms >= kMsPerDay) {
        // Rounded up into the next day: "next" points away from zero, as the date does.
        ms -= kMsPerDay;
        day += value < 0 && day < 0 ? -1 : 1;
    }
    CalendarTime t;
    civilFromUnixDays(day - kUnixEpochDay, t.year, t.month, t.day);
    t.hour = int(ms / 3'600'000);
    t.minute = int(ms / 60'000 % 60);
    t.second = int(ms / 1'000 % 60);
    t.millisecond = int(ms % 1'000);
    return t;
}

double wholeDayPart(TDateTime value) { return std::trunc(value); }

double timeOfDayPart(TDateTime value) { return value - std::trunc(value); }

bool isValidDateTime(double value)
{
    if (!std::isfinite(value))
        return false;
    const double day = std::trunc(value);
    return day >= double(kFirstValidDay) && day < double(kEndValidDay);
}
