#include "app/SecondBoundaryTimer.h"

#include <algorithm>
#include <cstdlib>

SecondBoundaryTimer::SecondBoundaryTimer(const Clock& clock, std::function<void()> tick,
                                         QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_tick(std::move(tick))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SecondBoundaryTimer::fire);
}

int SecondBoundaryTimer::msUntilNextSecond(int millisecond)
{
    return 1000 - millisecond + kMarginMs;
}

void SecondBoundaryTimer::start() { aim(); }

void SecondBoundaryTimer::stop() { m_timer.stop(); }

void SecondBoundaryTimer::aim() { m_timer.start(msUntilNextSecond(m_clock.now().millisecond)); }

void SecondBoundaryTimer::check()
{
    if (!m_timer.isActive())
        return;
    const int wanted = msUntilNextSecond(m_clock.now().millisecond);
    // Both lie on a circle of one second: 1001 ms and 1 ms to go are the same aim.
    const int off = std::abs(int(m_timer.remainingTime()) - wanted) % 1000;
    if (std::min(off, 1000 - off) > kToleranceMs)
        aim();
}

void SecondBoundaryTimer::fire()
{
    aim();
    m_tick();
}
