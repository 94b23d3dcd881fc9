// The two limits on what a video brings: the size of its frames, and how many of them a second
// go on to the window.
#include "video/FrameLimits.h"
#include "video/FramePacer.h"

#include <gtest/gtest.h>

using namespace yearmark::video;

TEST(FrameSize, FitsWhileItsThirtyTwoBitPixelsStayWithinTheBound)
{
    struct Row {
        int64_t width, height;
        bool fits;
    };
    for (const Row& r : {Row {1920, 1080, true}, Row {8192, 8192, true}, Row {8193, 8192, false},
                         Row {16384, 4096, true}, Row {16000, 16000, false}, Row {0, 480, false},
                         Row {640, -1, false}, Row {INT64_MAX, INT64_MAX, false}})
        EXPECT_EQ(frameFits(r.width, r.height), r.fits) << r.width << " x " << r.height;
}

TEST(Pacing, ShowsNoMoreFramesThanTheScreenAndEveryFrameOfASlowerClip)
{
    struct Row {
        double fps, hz;
        int shown; // of ten seconds of the clip
    };
    for (const Row& r :
         {Row {25, 60, 250}, Row {50, 60, 500}, Row {60, 60, 600}, Row {60, 59.94, 600},
          Row {1000, 60, 601}, Row {1000, 0, 601}, Row {75, 60, 600}, Row {120, 144, 1200}}) {
        FramePacer pacer;
        pacer.setRate(r.hz);
        int shown = 0;
        for (int i = 0; i < r.fps * 10; ++i)
            shown += pacer.admit(static_cast<int64_t>(i * 1e9 / r.fps)) ? 1 : 0;
        EXPECT_EQ(shown, r.shown) << r.fps << " fps at " << r.hz << " Hz";
    }
}

TEST(Pacing, ShowsTheFirstFrameOfEachPassAndEveryFrameWithoutATime)
{
    FramePacer pacer;
    EXPECT_TRUE(pacer.admit(5'000'000'000));
    EXPECT_FALSE(pacer.admit(5'001'000'000));
    EXPECT_TRUE(pacer.admit(0)); // back to the start: a new pass
    EXPECT_TRUE(pacer.admit(-1));
    pacer.restart();
    EXPECT_TRUE(pacer.admit(2'000'000));
}
