#include "video/CursorAutoHider.h"

bool CursorAutoHider::activity(QPoint pos, int64_t nowMs)
{
    m_havePos = true;
    m_lastPos = pos;
    m_lastActivityMs = nowMs;
    const bool show = m_hidden;
    m_hidden = false;
    return show;
}

bool CursorAutoHider::moved(QPoint pos, int64_t nowMs)
{
    if (m_havePos && pos == m_lastPos)
        return false;
    return activity(pos, nowMs);
}

bool CursorAutoHider::button(QPoint pos, int64_t nowMs)
{
    if (!m_hidden)
        return false;
    return activity(pos, nowMs);
}

bool CursorAutoHider::idle(int64_t nowMs, bool videoPresent)
{
    if (m_delay == 0 || m_hidden || !videoPresent)
        return false;
    if (nowMs - m_lastActivityMs < m_delay)
        return false;
    m_hidden = true;
    return true;
}

int64_t CursorAutoHider::msUntilHide(int64_t nowMs) const
{
    if (m_delay == 0 || m_hidden)
        return -1;
    const int64_t left = m_lastActivityMs + m_delay - nowMs;
    return left > 0 ? left : 0;
}

bool CursorAutoHider::reset(int64_t nowMs)
{
    m_lastActivityMs = nowMs;
    const bool wasHidden = m_hidden;
    m_hidden = false;
    return wasHidden;
}
