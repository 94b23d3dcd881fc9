#pragma once
// Runs the tick just after each second of the wall clock begins, so that the title changes with
// the second itself instead of up to one heartbeat later, and copies of the program on screens
// whose clocks agree change together. It aims at the next boundary from the wall clock each
// time, so a clock that is set or a machine that wakes from suspend puts it right by itself.

#include "countdown/Clock.h"

#include <QObject>
#include <QTimer>

#include <functional>

class SecondBoundaryTimer : public QObject {
    Q_OBJECT
public:
    // How long after the boundary the tick runs, so that it never runs just before it.
    static constexpr int kMarginMs = 2;
    // How far the wait may stray from the wall clock before the timer aims again.
    static constexpr int kToleranceMs = 20;

    SecondBoundaryTimer(const Clock& clock, std::function<void()> tick, QObject* parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    // Milliseconds until the next tick; -1 when stopped.
    int remainingMs() const { return m_timer.remainingTime(); }
    // Aims again when the wall clock no longer agrees with the running wait (the clock was
    // set, or the machine slept); cheap enough for every heartbeat.
    void check();

    // Milliseconds from a wall-clock reading with the given millisecond part to just after the
    // next second boundary.
    static int msUntilNextSecond(int millisecond);

private:
    void aim();
    void fire();

    const Clock& m_clock;
    std::function<void()> m_tick;
    QTimer m_timer;
};
