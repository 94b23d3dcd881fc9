#pragma once
// A clock the test sets by hand, for driving the main window tick by tick.

#include "countdown/Clock.h"

class ManualClock : public Clock {
public:
    explicit ManualClock(CalendarTime t) : m_now(t) {}
    CalendarTime now() const override { return m_now; }
    void set(CalendarTime t) { m_now = t; }

private:
    CalendarTime m_now;
};
