// The two limits on what a video may bring: the size of its frames and how many of them a second
// reach the window.
#include "video/FrameLimits.h"
#include "video/FramePacer.h"

#include <gtest/gtest.h>

using namespace yearmark::video;

struct SizeCase {
    int64_t width, height;
    bool fits;
};
class FrameSize : public testing::TestWithParam<SizeCase> { };

TEST_P(FrameSize, FitsWhenItsThirtyTwoBitPixelsStayWithinTheBound)
{
    EXPECT_EQ(frameFits(GetParam().width, GetParam().height), GetParam().fits);
}
INSTANTIATE_TEST_SUITE_P(
    Table, FrameSize,
    testing::Values(SizeCase {1, 1, true}, SizeCase {1920, 1080, true},
                    SizeCase {8192, 8192, true},  // exactly 256 MiB
                    SizeCase {8193, 8192, false}, // one column more
                    SizeCase {16384, 4096, true}, // the same area, long and thin
                    SizeCase {16000, 16000, false}, SizeCase {30000, 30000, false},
                    SizeCase {65535, 1, true}, SizeCase {0, 480, false}, SizeCase {640, -1, false},
                    SizeCase {INT64_MAX, INT64_MAX, false}));

// A clip of `fps` frames a second, `seconds` long, on a screen of `hz`: how many frames pass.
struct PaceCase {
    double fps, hz;
    int seconds;
    int shown;
};
class Pacing : public testing::TestWithParam<PaceCase> { };

TEST_P(Pacing, ShowsNoMoreFramesThanTheScreenAndEveryFrameOfASlowerClip)
{
    const PaceCase& t = GetParam();
    FramePacer pacer;
    pacer.setRate(t.hz);
    int shown = 0;
    const int frames = static_cast<int>(t.fps * t.seconds);
    for (int i = 0; i < frames; ++i)
        shown += pacer.admit(static_cast<int64_t>(i * 1e9 / t.fps)) ? 1 : 0;
    EXPECT_EQ(shown, t.shown);
}
INSTANTIATE_TEST_SUITE_P(Table, Pacing,
                         testing::Values(PaceCase {25, 60, 10, 250}, PaceCase {30, 60, 10, 300},
                                         PaceCase {50, 60, 10, 500}, PaceCase {60, 60, 10, 600},
                                         PaceCase {60, 59.94, 10, 600}, PaceCase {50, 50, 10, 500},
                                         // One frame every 1/60 s, the first one included.
                                         PaceCase {1000, 60, 10, 601}, PaceCase {1000, 0, 10, 601},
                                         PaceCase {75, 60, 10, 600},
                                         PaceCase {120, 144, 10, 1200}));

TEST(Pacing, ShowsTheFirstFrameOfEachPassAndEveryFrameWithoutATime)
{
    FramePacer pacer;
    pacer.setRate(60);
    EXPECT_TRUE(pacer.admit(5'000'000'000));
    EXPECT_FALSE(pacer.admit(5'001'000'000));
    EXPECT_TRUE(pacer.admit(0)); // back to the start: a new pass
    EXPECT_FALSE(pacer.admit(1'000'000));
    EXPECT_TRUE(pacer.admit(-1));
    pacer.restart();
    EXPECT_TRUE(pacer.admit(2'000'000));
}
