#pragma once
// The source of "now". The program reads the local wall clock; tests pass a fixed or
// stepping clock, so nothing that needs the time reads it behind the caller's back.

#include "countdown/DateTime.h"

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

// Now as a date-time value.
TDateTime nowValue(const Clock& clock);
