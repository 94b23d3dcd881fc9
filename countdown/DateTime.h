#pragma once
// The date-time value every part of the program shares: days since 30 December 1899 00:00
// local time as a double, the integer part the date and the fraction the time of day.
// Values are built from local wall-clock fields only; no time-zone or daylight-saving
// correction is ever applied. Dates before 30 December 1899 are negative and keep date and
// time by magnitude: 29 December 1899 06:00 is -1.25 (-(1 + 0.25)), so encoding and decoding
// round-trip on both sides of day 0.

#include <cstdint>

using TDateTime = double;

// Local wall-clock fields of one moment, as a clock reads them or a calendar names them.
struct CalendarTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

// Days since 30 December 1899 of a valid Gregorian date (proleptic for early years).
int64_t daysFromCivil(int year, int month, int day);

// The date-time value of the given fields: whole days plus
// (h * 3,600,000 + m * 60,000 + s * 1,000 + ms) / 86,400,000.
TDateTime encodeDateTime(const CalendarTime& t);

// The fields of a date-time value, milliseconds rounded to the nearest. A value that
// isValidDateTime rejects gives the fields of day 0 (30 December 1899 00:00).
CalendarTime decodeDateTime(TDateTime value);

// The value truncated toward zero.
double wholeDayPart(TDateTime value);

// The value minus its whole-day part.
double timeOfDayPart(TDateTime value);

// True for finite values whose date lies in the years 100 to 9999.
bool isValidDateTime(double value);
