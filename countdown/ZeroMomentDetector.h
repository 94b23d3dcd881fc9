#pragma once
// Decides on each tick whether the zero moment has come. Besides the tick whose remaining
// seconds are 0 it also catches a target that the clock passed between two ticks (machine
// suspended, clock stepped forward, a target in the hour that daylight saving skips), which
// would otherwise never end the count and leave the title counting up.

#include "countdown/DateTime.h"

#include <cstdint>

class ZeroMomentDetector {
public:
    struct Tick {
        int64_t remaining = 0;
        bool zero = false;
    };

    // A new target forgets every earlier tick: a target already past when counting starts
    // counts up and never brings the zero moment.
    // reachedAtStart: the target has passed, and the first tick is to be its zero moment all
    // the same (a restart just after it).
    void setTarget(TDateTime target, bool reachedAtStart = false);
    TDateTime target() const { return m_target; }

    // The remaining seconds at now, and whether this tick is a zero moment: the first tick at
    // or after the target, when it comes less than a second after it or when an earlier tick
    // for the same target came before it. No tick before the target is a zero moment.
    Tick tick(TDateTime now);

private:
    TDateTime m_target = 0;
    bool m_tickedBeforeTarget = false;
};
