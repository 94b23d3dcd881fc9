#include "countdown/Countdown.h"

#include "clock_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

double moment(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
              int ms = 0)
{
    return encodeDateTime(at(year, month, day, hour, minute, second, ms));
}

struct Step {
    double now;
    int64_t remaining;
    bool zero;
};

void runTicks(ZeroMomentDetector& d, const std::vector<Step>& steps)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "tick " << i);
        const ZeroMomentDetector::Tick t = d.tick(steps[i].now);
        EXPECT_EQ(t.remaining, steps[i].remaining);
        EXPECT_EQ(t.zero, steps[i].zero);
    }
}

const double kNewYear = moment(2027, 1, 1);

TEST(ZeroMoment, ComesOnTheFirstTickAtOrAfterTheTarget)
{
    struct Case {
        const char* name;
        std::vector<Step> ticks;
    };
    const Case cases[] = {
        {
            "the last second shows 1, the tick on the target is zero",
            {{moment(2026, 12, 31, 23, 59, 58, 900), 2, false},
             {moment(2026, 12, 31, 23, 59, 59, 88), 1, false},
             {moment(2026, 12, 31, 23, 59, 59, 999), 1, false},
             {kNewYear + 2.0 / 86'400'000.0, 0, true}},
        },
        {"a tick exactly on the target",
         {{moment(2026, 12, 31, 23, 59, 59, 2), 1, false}, {kNewYear, 0, true}}},
        {"started half a second before: not yet",
         {{moment(2026, 12, 31, 23, 59, 59, 500), 1, false}}},
        {"started half a second after: the first tick is it",
         {{moment(2027, 1, 1, 0, 0, 0, 500), 0, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZeroMomentDetector d;
        d.setTarget(kNewYear);
        runTicks(d, c.ticks);
    }
}

TEST(ZeroMoment, ATargetTheClockJumpedOverStillEndsTheCount)
{
    struct Case {
        const char* name;
        double before;
        double after;
        int64_t remainingAfter;
    };
    const Case cases[] = {
        {"suspended across the target", moment(2026, 12, 31, 22, 0, 0), moment(2027, 1, 1, 8, 0, 0),
         8 * 3600},
        {"clock stepped forward", moment(2026, 12, 31, 23, 59, 50), moment(2027, 1, 1, 0, 0, 5), 5},
        {"one late tick past the zero window", moment(2026, 12, 31, 23, 59, 58, 500),
         moment(2027, 1, 1, 0, 0, 1, 200), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZeroMomentDetector d;
        d.setTarget(kNewYear);
        runTicks(d, {{c.before, remainingSeconds(c.before, kNewYear), false},
                     {c.after, c.remainingAfter, true}});
    }
}

TEST(ZeroMoment, APickedTargetInTheHourDaylightSavingSkipsEndsTheCount)
{
    // In Berlin the wall clock goes from 01:59:59.999 to 03:00 on 28 March 2027.
    const double target = moment(2027, 3, 28, 2, 30, 0);
    ZeroMomentDetector d;
    d.setTarget(target);
    runTicks(d, {{moment(2027, 3, 28, 1, 59, 59, 900), 1801, false},
                 {moment(2027, 3, 28, 3, 0, 0, 88), 1800, true}});
}

TEST(ZeroMoment, ATargetAlreadyPastWhenCountingStartsCountsUp)
{
    const double target = moment(2026, 6, 1, 12, 0, 0);
    ZeroMomentDetector d;
    d.setTarget(target);
    runTicks(d, {{moment(2026, 6, 1, 12, 0, 10, 0), 10, false},
                 {moment(2026, 6, 1, 12, 0, 11, 0), 11, false},
                 {moment(2026, 6, 1, 12, 1, 0, 0), 60, false}});
}

TEST(ZeroMoment, ANewTargetForgetsEarlierTicks)
{
    ZeroMomentDetector d;
    d.setTarget(moment(2026, 6, 1, 12, 0, 0));
    d.tick(moment(2026, 6, 1, 11, 0, 0));
    // The user picks a moment already past: no zero moment, it counts up.
    const double past = moment(2026, 6, 1, 10, 0, 0);
    d.setTarget(past);
    runTicks(d, {{moment(2026, 6, 1, 11, 0, 1), 3601, false}});
}

TEST(ZeroMoment, FiresOnceWhenTicksGoOnPastTheTarget)
{
    ZeroMomentDetector d;
    d.setTarget(kNewYear);
    runTicks(d, {{moment(2026, 12, 31, 23, 59, 58, 0), 2, false},
                 {moment(2027, 1, 1, 0, 0, 0, 20), 0, true},
                 {moment(2027, 1, 1, 0, 0, 2, 0), 2, false}});
}

TEST(ZeroMoment, AClockSetBackBeforeAPastTargetArmsItAgain)
{
    const double target = moment(2026, 6, 1, 12, 0, 0);
    ZeroMomentDetector d;
    d.setTarget(target);
    runTicks(d, {{moment(2026, 6, 1, 12, 5, 0), 300, false},
                 {moment(2026, 6, 1, 11, 0, 0), 3600, false},
                 {moment(2026, 6, 1, 12, 0, 3), 3, true}});
}

} // namespace
