#pragma once
// The rule for hiding the pointer over a playing video: hide once it has rested for the delay,
// show it on the next real move. Kept apart from the widget so the rule is tested with a fake
// clock.

#include <QPoint>

#include <cstdint>

class CursorAutoHider {
public:
    // 0 switches hiding off.
    void setDelay(int ms) { m_delay = ms < 0 ? 0 : ms; }
    int delay() const { return m_delay; }
    bool hidden() const { return m_hidden; }

    // A move event at pos; true when the pointer is to be shown again now. A move that reports
    // the position already recorded changes nothing.
    bool moved(QPoint pos, int64_t nowMs);
    // A button press or release; it counts as activity only while the pointer is hidden.
    bool button(QPoint pos, int64_t nowMs);
    // An idle moment; true when the pointer is to be hidden now.
    bool idle(int64_t nowMs, bool videoPresent);
    // Milliseconds until an idle moment could hide the pointer (0 when it could now, -1 never).
    int64_t msUntilHide(int64_t nowMs) const;
    // The pointer is to be shown unconditionally (e.g. the video went away); true if it was hidden.
    bool reset(int64_t nowMs);

private:
    bool activity(QPoint pos, int64_t nowMs);

    int m_delay = 0;
    bool m_hidden = false;
    bool m_havePos = false;
    QPoint m_lastPos;
    int64_t m_lastActivityMs = 0;
};
