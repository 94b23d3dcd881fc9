// The placement of a video inside its window: rounding, ties, centring, aspect of the stream.
#include "video/LetterBox.h"

#include <gtest/gtest.h>

struct MulDivCase {
    int a, b, c, expected;
};
class MulDivRounding : public testing::TestWithParam<MulDivCase> { };

TEST_P(MulDivRounding, RoundsTheExactQuotientToNearestWithHalvesAwayFromZero)
{
    const MulDivCase& t = GetParam();
    EXPECT_EQ(mulDiv(t.a, t.b, t.c), t.expected);
}
INSTANTIATE_TEST_SUITE_P(Table, MulDivRounding,
                         testing::Values(MulDivCase {3, 1280, 4, 960}, MulDivCase {1, 5, 2, 3},
                                         MulDivCase {1, 7, 3, 2}, MulDivCase {2, 5, 3, 3},
                                         MulDivCase {-1, 5, 2, -3}, MulDivCase {1, -7, 3, -2},
                                         MulDivCase {9, 1024, 16, 576}, MulDivCase {1, 1, 0, -1},
                                         MulDivCase {2'000'000'000, 4, 2, -1}));

struct BoxCase {
    QRect client;
    int x, y;
    QRect expected;
};
class LetterBox : public testing::TestWithParam<BoxCase> { };

TEST_P(LetterBox, FitsTheAspectInsideTheClientCentred)
{
    const BoxCase& t = GetParam();
    EXPECT_EQ(letterBoxRect(t.client, t.x, t.y), t.expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, LetterBox,
    testing::Values(
        // 4:3 in 1280 x 1024: bars above and below.
        BoxCase {QRect(0, 0, 1280, 1024), 4, 3, QRect(0, 32, 1280, 960)},
        // Frame size as aspect gives the same.
        BoxCase {QRect(0, 0, 1280, 1024), 160, 120, QRect(0, 32, 1280, 960)},
        // 16:9 in 1280 x 720 fills it (a tie takes the height branch).
        BoxCase {QRect(0, 0, 1280, 720), 16, 9, QRect(0, 0, 1280, 720)},
        // 4:3 in a wide window: bars left and right, 1080 * 4 / 3 = 1440.
        BoxCase {QRect(0, 0, 1920, 1080), 4, 3, QRect(240, 0, 1440, 1080)},
        // An odd leftover is split with the remainder on the right or below.
        BoxCase {QRect(0, 0, 101, 50), 1, 1, QRect(25, 0, 50, 50)},
        // The client's own origin is kept.
        BoxCase {QRect(10, 20, 1280, 1024), 4, 3, QRect(10, 52, 1280, 960)},
        // Rounding of the computed side: 3 * 100 / 7 = 42.86 -> 43 (width 100, height 43).
        BoxCase {QRect(0, 0, 100, 100), 7, 3, QRect(0, 28, 100, 43)},
        // Nothing usable: empty.
        BoxCase {QRect(0, 0, 1280, 1024), 0, 3, QRect()},
        BoxCase {QRect(0, 0, 1280, 1024), 4, 0, QRect()},
        BoxCase {QRect(0, 0, 0, 1024), 4, 3, QRect()}));

struct AspectCase {
    int w, h, parN, parD;
    QSize expected;
};
class StreamAspect : public testing::TestWithParam<AspectCase> { };

TEST_P(StreamAspect, TakesThePixelAspectRatioIntoAccount)
{
    const AspectCase& t = GetParam();
    EXPECT_EQ(pictureAspect(t.w, t.h, t.parN, t.parD), t.expected);
}
INSTANTIATE_TEST_SUITE_P(Table, StreamAspect,
                         testing::Values(AspectCase {160, 120, 1, 1, QSize(4, 3)},
                                         AspectCase {1920, 1080, 1, 1, QSize(16, 9)},
                                         // Anamorphic PAL: 720 x 576 with 64:45 pixels is 16:9.
                                         AspectCase {720, 576, 64, 45, QSize(16, 9)},
                                         // A 0 term in the pixel aspect: square pixels.
                                         AspectCase {320, 180, 0, 1, QSize(16, 9)},
                                         AspectCase {320, 180, 1, 0, QSize(16, 9)},
                                         // No usable frame size: nothing to show.
                                         AspectCase {0, 120, 1, 1, QSize()},
                                         AspectCase {160, 0, 1, 1, QSize()}));

TEST(VideoTarget, OtherModesUseTheWholeClient)
{
    const QRect client(0, 0, 1280, 1024);
    EXPECT_EQ(videoTargetRect(rmStretched, client, QSize(4, 3)), client);
    EXPECT_EQ(videoTargetRect(rmCrop, client, QSize(4, 3)), client);
    EXPECT_EQ(videoTargetRect(rmLetterBox, client, QSize(4, 3)), QRect(0, 32, 1280, 960));
    EXPECT_TRUE(videoTargetRect(rmStretched, client, QSize()).isEmpty());
}

TEST(VideoSource, CropCutsTheFrameToTheTargetShape)
{
    // A 4:3 frame in a 16:9 target: the full width, the middle 0.75 of the height.
    EXPECT_EQ(videoSourceRect(rmCrop, QSize(160, 120), QSize(4, 3), QRect(0, 0, 1600, 900)),
              QRect(0, 15, 160, 90));
    // A 16:9 frame in a 4:3 target: the full height, the middle of the width.
    EXPECT_EQ(videoSourceRect(rmCrop, QSize(320, 180), QSize(16, 9), QRect(0, 0, 400, 300)),
              QRect(40, 0, 240, 180));
    EXPECT_EQ(videoSourceRect(rmLetterBox, QSize(320, 180), QSize(16, 9), QRect(0, 0, 400, 300)),
              QRect(0, 0, 320, 180));
    EXPECT_EQ(videoSourceRect(rmStretched, QSize(320, 180), QSize(16, 9), QRect(0, 0, 400, 300)),
              QRect(0, 0, 320, 180));
}
