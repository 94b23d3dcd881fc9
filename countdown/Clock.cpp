#include "countdown/Clock.h"

#include <cmath>
#include <ctime>

CalendarTime SystemClock::now() const
{
    timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    // Within one second the local fields stay the same; a long template reads the clock once
    // per %Y, %C and %D, and converting each time would cost more than everything else.
    thread_local time_t lastSecond = -1;
    thread_local tm lastLocal {};
    if (ts.tv_sec != lastSecond) {
        // The C library reads the system's time zone once and keeps it; asked again, it
        // notices a zone that was changed meanwhile (a new /etc/localtime, as the desktop's
        // date settings or automatic zone detection make it), and local time follows it
        // without a restart. A zone named in TZ stays as named.
        tzset();
        tm local {};
        if (!localtime_r(&ts.tv_sec, &local))
            return CalendarTime {};
        lastLocal = local;
        lastSecond = ts.tv_sec;
    }
    const tm& local = lastLocal;
    CalendarTime t;
    t.year = local.tm_year + 1900;
    t.month = local.tm_mon + 1;
    t.day = local.tm_mday;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    // A leap second reads as the last second of its minute; the value has no room for a 61st.
    t.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    t.millisecond = int(ts.tv_nsec / 1'000'000);
    return t;
}

TDateTime nowValue(const Clock& clock) { return encodeDateTime(clock.now()); }

CalendarTime ShiftedClock::now() const
{
    return decodeDateTime(encodeDateTime(m_base.now()) + double(m_shiftSeconds) / 86400.0);
}

int64_t ShiftedClock::shiftFor(TDateTime now, TDateTime target, int seconds)
{
    // In whole milliseconds first, as both values are made of them.
    const int64_t ahead = std::llround((target - now) * 86'400'000.0) - int64_t(seconds) * 1000;
    // Rounded up to whole seconds: the target then comes at most `seconds` after now.
    return ahead >= 0 ? (ahead + 999) / 1000 : -((-ahead) / 1000);
}
