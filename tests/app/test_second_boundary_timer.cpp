// The tick right after each wall-clock second: where it aims, and how it aims again when the
// wall clock no longer agrees with the running wait.
#include "app/SecondBoundaryTimer.h"
#include "tests/countdown/clock_support.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

CalendarTime at(int millisecond) { return {2026, 12, 31, 23, 59, 58, millisecond}; }

TEST(SecondBoundaryTimer, AimsJustAfterTheNextSecondAndAgainWhenTheClockStrays)
{
    struct Case {
        int startMs, laterMs; // the wall clock's milliseconds at start and at the check
        int lowMs, highMs;    // where the wait must then end
    };
    for (const Case c : {Case {0, 0, 990, 1020}, Case {500, 500, 490, 520}, Case {999, 999, 0, 20},
                         // set forward or woken from sleep: aimed anew
                         Case {500, 900, 90, 120},
                         // set back
                         Case {100, 50, 940, 970},
                         // a few milliseconds of drift are left alone
                         Case {500, 510, 480, 510}}) {
        SCOPED_TRACE(testing::Message() << c.startMs << " -> " << c.laterMs);
        FixedClock clock(at(c.startMs));
        int ticks = 0;
        SecondBoundaryTimer timer(clock, [&] { ++ticks; });
        timer.start();
        clock.set(at(c.laterMs));
        timer.check();
        EXPECT_GE(timer.remainingMs(), c.lowMs);
        EXPECT_LE(timer.remainingMs(), c.highMs);
        EXPECT_EQ(ticks, 0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
