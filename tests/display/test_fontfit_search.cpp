#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "display/FontSizeSearch.h"

namespace {

struct ReduceCase {
    int found;
    int title;
};

class Reduction : public testing::TestWithParam<ReduceCase> { };

TEST_P(Reduction, TakesNinetyFivePercentHalvesToEven)
{
    EXPECT_EQ(reduceFoundSize(GetParam().found), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Table, Reduction,
                         testing::Values(ReduceCase {0, 0}, ReduceCase {1, 1}, ReduceCase {2, 2},
                                         ReduceCase {10, 10}, ReduceCase {11, 10},
                                         ReduceCase {20, 19}, ReduceCase {30, 28},
                                         ReduceCase {40, 38}, ReduceCase {50, 48},
                                         ReduceCase {70, 66}, ReduceCase {90, 86},
                                         ReduceCase {100, 95}, ReduceCase {110, 104},
                                         ReduceCase {512, 486}));

TEST(Reduction, AgreesWithBankersRoundingOverEveryTrialSize)
{
    for (int found = 1; found <= kLargestTrialSize; ++found)
        EXPECT_EQ(reduceFoundSize(found), int(std::nearbyint(found * 0.95L))) << found;
}

TEST(TitleSize, SampleWithTextThatNeverOverflowsGetsTheLargestTitle)
{
    EXPECT_EQ(titleSizeForFound(0, true), 486);
}

TEST(TitleSize, SampleWithoutTextGetsZero) { EXPECT_EQ(titleSizeForFound(0, false), 0); }

TEST(TitleSize, FoundSizeIsReduced) { EXPECT_EQ(titleSizeForFound(40, true), 38); }

struct ShadowCase {
    int size;
    bool on;
    int shadow;
};

class Shadow : public testing::TestWithParam<ShadowCase> { };

TEST_P(Shadow, IsATwentiethOfTheTitleWhenOn)
{
    EXPECT_EQ(titleShadowSize(GetParam().size, GetParam().on), GetParam().shadow);
}

INSTANTIATE_TEST_SUITE_P(Table, Shadow,
                         testing::Values(ShadowCase {95, true, 4}, ShadowCase {95, false, 0},
                                         ShadowCase {0, true, 0}, ShadowCase {19, true, 0},
                                         ShadowCase {20, true, 1}, ShadowCase {486, true, 24}));

struct PixelCase {
    int points;
    int dpi;
    int pixels;
};

class Pixels : public testing::TestWithParam<PixelCase> { };

TEST_P(Pixels, RoundToTheNearestPixel)
{
    EXPECT_EQ(pointsToPixels(GetParam().points, GetParam().dpi), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Table, Pixels,
                         testing::Values(PixelCase {36, 96, 48}, PixelCase {1, 96, 1},
                                         PixelCase {2, 96, 3}, PixelCase {3, 96, 4},
                                         PixelCase {10, 72, 10}, PixelCase {11, 120, 18},
                                         PixelCase {512, 96, 683}, PixelCase {0, 96, 0}));

TEST(Overflow, EqualWidthAndHeightStillFit)
{
    const TitleRoom room {100, 60, 3};
    EXPECT_FALSE(overflows({100, 20}, room));
    EXPECT_TRUE(overflows({101, 20}, room));
    EXPECT_TRUE(overflows({100, 21}, room));
}

TEST(Overflow, HeightCountsEveryLine)
{
    EXPECT_FALSE(overflows({10, 20}, {100, 40, 2}));
    EXPECT_TRUE(overflows({10, 20}, {100, 40, 3}));
}

// A made-up font: extents grow in proportion to the size, rounded like hinted metrics.
SampleExtent linearFont(int points, double widthPerPoint, double heightPerPoint)
{
    return {int(std::lround(points * widthPerPoint)), int(std::ceil(points * heightPerPoint))};
}

TEST(Search, FindsTheScannedSizeForProportionalFonts)
{
    const double widths[] = {0.37, 1.0, 4.4, 17.25, 30.0};
    const double heights[] = {0.9, 1.17, 1.5};
    const int areaWidths[] = {0, 1, 5, 99, 640, 1920, 5000, 50000};
    const int areaHeights[] = {0, 1, 24, 480, 1080, 100000};
    for (double w : widths) {
        for (double h : heights) {
            for (int lines = 1; lines <= 4; ++lines) {
                for (int areaWidth : areaWidths) {
                    for (int areaHeight : areaHeights) {
                        const ExtentAtSize font = [=](int s) { return linearFont(s, w, h); };
                        const TitleRoom room {areaWidth, areaHeight, lines};
                        ASSERT_EQ(firstOverflowingSize(font, room),
                                  firstOverflowingSizeByScan(font, room))
                            << w << " " << h << " " << lines << " " << areaWidth << "x"
                            << areaHeight;
                    }
                }
            }
        }
    }
}

TEST(Search, FindsTheScannedSizeForStepwiseFonts)
{
    // Extents that stand still over runs of sizes and then jump, as hinting makes them do.
    const ExtentAtSize font = [](int s) {
        return SampleExtent {(s / 3) * 7 + (s % 3 == 2 ? 2 : 0), s / 2 + 1};
    };
    for (int areaWidth = 0; areaWidth <= 1300; areaWidth += 1)
        ASSERT_EQ(firstOverflowingSize(font, {areaWidth, 1000, 1}),
                  firstOverflowingSizeByScan(font, {areaWidth, 1000, 1}))
            << areaWidth;
}

TEST(Search, NeverOverflowingGivesZero)
{
    const ExtentAtSize tiny = [](int) { return SampleExtent {1, 1}; };
    EXPECT_EQ(firstOverflowingSize(tiny, {10, 10, 1}), 0);
}

TEST(Search, OverflowAtTheFirstSize)
{
    const ExtentAtSize wide = [](int s) { return SampleExtent {100 + s, 1}; };
    EXPECT_EQ(firstOverflowingSize(wide, {50, 10, 1}), 1);
}

TEST(Search, OverflowOnlyAtTheLastSize)
{
    const ExtentAtSize font = [](int s) { return SampleExtent {s, 1}; };
    EXPECT_EQ(firstOverflowingSize(font, {511, 10, 1}), 512);
}

TEST(Search, MeasuresFarFewerSizesThanTheScan)
{
    int measured = 0;
    const ExtentAtSize font = [&measured](int s) {
        ++measured;
        return linearFont(s, 23.7, 1.2);
    };
    EXPECT_EQ(firstOverflowingSize(font, {1920, 1080, 2}),
              firstOverflowingSizeByScan(font, {1920, 1080, 2}));
    measured = 0;
    firstOverflowingSize(font, {1920, 1080, 2});
    EXPECT_LE(measured, 16);
}

TEST(Search, MeasurementsThatContradictGrowthFallBackToTheScan)
{
    // A face that drops to a narrower cut from 64 points on; once two measurements show the
    // extent shrinking, nothing the steering assumed holds, and every size is tried.
    int measured = 0;
    const ExtentAtSize dropping = [&measured](int s) {
        ++measured;
        return SampleExtent {s < 64 ? 2 * s : s, 10};
    };
    const TitleRoom room {60, 1000, 1};
    const int scanned = firstOverflowingSizeByScan(dropping, room);
    measured = 0;
    EXPECT_EQ(firstOverflowingSize(dropping, room), scanned);
    EXPECT_GE(measured, scanned);
}

TEST(Scan, StopsAtTheFirstOverflowEvenIfLargerSizesFitAgain)
{
    const ExtentAtSize font = [](int s) { return SampleExtent {s == 7 ? 1000 : s, 1}; };
    EXPECT_EQ(firstOverflowingSizeByScan(font, {100, 100, 1}), 7);
}

} // namespace
