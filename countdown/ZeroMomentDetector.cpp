#include "countdown/ZeroMomentDetector.h"

#include "countdown/Countdown.h"

void ZeroMomentDetector::setTarget(TDateTime target, bool reachedAtStart)
{
    m_target = target;
    m_tickedBeforeTarget = reachedAtStart;
}

ZeroMomentDetector::Tick ZeroMomentDetector::tick(TDateTime now)
{
    Tick t;
    t.remaining = remainingSeconds(now, m_target);
    const bool passed = now >= m_target;
    t.zero = passed && (t.remaining == 0 || m_tickedBeforeTarget);
    // Once fired, a later tick past the target is no second zero moment.
    m_tickedBeforeTarget = !t.zero && now < m_target;
    return t;
}
