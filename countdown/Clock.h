#pragma once
// The source of "now". The program reads the local wall clock; tests pass a fixed or
// stepping clock, so nothing that needs the time reads it behind the caller's back.

#include "countdown/DateTime.h"

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    // The current local wall-clock date and time, milliseconds included.
    virtual CalendarTime now() const = 0;
};

// The machine's local wall clock (localtime with milliseconds).
class SystemClock final : public Clock {
public:
    CalendarTime now() const override;
};

// Another clock moved by a whole number of seconds: a rehearsal sees the target come a chosen
// time after its start without the system's clock being touched, and the title still changes
// with the true second.
class ShiftedClock final : public Clock {
public:
    ShiftedClock(const Clock& base, int64_t shiftSeconds)
        : m_base(base)
        , m_shiftSeconds(shiftSeconds)
    { }
    CalendarTime now() const override;

    // The shift that brings target between seconds - 1 and seconds after now.
    static int64_t shiftFor(TDateTime now, TDateTime target, int seconds);

private:
    const Clock& m_base;
    int64_t m_shiftSeconds;
};

// Now as a date-time value.
TDateTime nowValue(const Clock& clock);
