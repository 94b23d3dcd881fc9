#include "video/FramePacer.h"

#include <cmath>

namespace yearmark::video {

void FramePacer::setRate(double perSecond)
{
    // Screens report their rate with odd fractions (59.94 for a 60 Hz mode): whole numbers, so
    // that a clip made for the mode keeps every frame.
    m_rate = perSecond >= 1 ? std::round(perSecond) : 60.0;
}

bool FramePacer::admit(int64_t timestampNs)
{
    if (timestampNs < 0)
        return true;
    const auto interval = static_cast<int64_t>(1e9 / m_rate);
    // A frame a little early still counts as due: a 60 frames a second clip on a screen that
    // reports 59.9 Hz keeps nearly all of its frames.
    const int64_t slack = interval / 8;
    const bool fresh = m_last < 0 || timestampNs < m_last;
    m_last = timestampNs;
    if (!fresh && timestampNs < m_due - slack)
        return false;
    // Dues follow each other at the interval, so that on average no more than the rate passes;
    // after a gap longer than that the next frame is due one interval after this one.
    m_due = fresh || timestampNs - m_due >= interval ? timestampNs + interval : m_due + interval;
    return true;
}

void FramePacer::restart()
{
    m_due = -1;
    m_last = -1;
}

} // namespace yearmark::video
