#pragma once
// Clocks for tests: one that always reads the same moment, and one that moves on by a fixed
// step after every reading, so that a test sees exactly when and how often the clock is read.

#include "countdown/Clock.h"

class FixedClock final : public Clock {
public:
    explicit FixedClock(CalendarTime at)
        : m_at(at)
    { }
    CalendarTime now() const override { return m_at; }
    void set(CalendarTime at) { m_at = at; }

private:
    CalendarTime m_at;
};

class SteppingClock final : public Clock {
public:
    SteppingClock(CalendarTime start, int stepMs)
        : m_next(start)
        , m_stepMs(stepMs)
    { }
    CalendarTime now() const override
    {
        const CalendarTime t = m_next;
        m_next = advanced(t, m_stepMs);
        ++m_reads;
        return t;
    }
    int reads() const { return m_reads; }

private:
    static CalendarTime advanced(CalendarTime t, int ms)
    {
        const int64_t day = daysFromCivil(t.year, t.month, t.day);
        int64_t total =
            ((int64_t(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 + t.millisecond + ms;
        const int64_t days = total / 86'400'000;
        total %= 86'400'000;
        CalendarTime r = decodeDateTime(double(day + days));
        r.hour = int(total / 3'600'000);
        r.minute = int(total / 60'000 % 60);
        r.second = int(total / 1000 % 60);
        r.millisecond = int(total % 1000);
        return r;
    }

    mutable CalendarTime m_next;
    int m_stepMs;
    mutable int m_reads = 0;
};

inline CalendarTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                       int millisecond = 0)
{
    return CalendarTime {year, month, day, hour, minute, second, millisecond};
}

#include <QString>
#include <ostream>

// Texts in test failures, with CR, LF and '%' signs visible as they are.
inline std::string shown(const QString& s)
{
    std::string out = "\"";
    for (QChar c : s) {
        if (c == u'\r')
            out += "\\r";
        else if (c == u'\n')
            out += "\\n";
        else
            out += QString(c).toStdString();
    }
    return out + "\"";
}

inline void PrintTo(const QString& s, std::ostream* os) { *os << shown(s); }
