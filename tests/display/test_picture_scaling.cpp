// The rule that fits a picture into its control: largest size with the picture's proportions,
// small pictures enlarged, fractions dropped, centred with the odd pixel going right or down.

#include "display/PictureScaling.h"

#include <gtest/gtest.h>

namespace {

struct ScalingCase {
    const char* name;
    QSize picture;
    QSize area;
    QRect expected;
};

void PrintTo(const ScalingCase& c, std::ostream* os) { *os << c.name; }

class PictureScalingTest : public ::testing::TestWithParam<ScalingCase> { };

TEST_P(PictureScalingTest, DrawsPictureInExpectedRectangle)
{
    const ScalingCase& c = GetParam();
    EXPECT_EQ(scaledPictureRect(c.picture, c.area), c.expected);
}

const ScalingCase kScalingCases[] = {
    {"LandscapeInSquareFillsWidth", {400, 200}, {100, 100}, {0, 25, 100, 50}},
    {"PortraitInSquareFillsHeight", {200, 400}, {100, 100}, {25, 0, 50, 100}},
    {"SquareInWideAreaFillsHeight", {50, 50}, {200, 100}, {50, 0, 100, 100}},
    {"SquareInTallAreaFillsWidth", {50, 50}, {100, 200}, {0, 50, 100, 100}},
    {"LandscapeTooTallForWideAreaFillsHeight", {6000, 4000}, {1920, 1080}, {150, 0, 1620, 1080}},
    {"PortraitTooWideForTallAreaFillsWidth", {400, 600}, {300, 600}, {0, 75, 300, 450}},
    {"SmallPictureIsEnlarged", {4, 3}, {1920, 1080}, {240, 0, 1440, 1080}},
    {"OnePixelFillsSquareArea", {1, 1}, {64, 64}, {0, 0, 64, 64}},
    {"SameAspectAsAreaFillsItWide", {160, 90}, {1920, 1080}, {0, 0, 1920, 1080}},
    {"SameAspectAsAreaFillsItTall", {90, 160}, {1080, 1920}, {0, 0, 1080, 1920}},
    {"SameSizeAsAreaIsUnchanged", {640, 480}, {640, 480}, {0, 0, 640, 480}},
    {"HeightFractionDropped", {3, 2}, {100, 100}, {0, 17, 100, 66}},
    {"WidthFractionDropped", {1, 3}, {100, 100}, {33, 0, 33, 100}},
    {"FractionDroppedAfterRefit", {7, 3}, {100, 40}, {3, 0, 93, 40}},
    {"ExactQuotientNotLostToRounding", {7, 3}, {35, 35}, {0, 10, 35, 15}},
    {"ExactQuotientNotLostToRoundingSmall", {9, 7}, {9, 9}, {0, 1, 9, 7}},
    {"OddLeftoverGoesDown", {2, 1}, {101, 101}, {0, 25, 101, 50}},
    {"OddLeftoverGoesRight", {1, 2}, {101, 101}, {25, 0, 50, 101}},
    {"HugeSidesDoNotOverflow", {65500, 65499}, {65535, 65535}, {0, 1, 65535, 65533}},
};

INSTANTIATE_TEST_SUITE_P(Rule, PictureScalingTest, ::testing::ValuesIn(kScalingCases),
                         [](const auto& test) { return std::string(test.param.name); });

struct EmptyCase {
    const char* name;
    QSize picture;
    QSize area;
};

void PrintTo(const EmptyCase& c, std::ostream* os) { *os << c.name; }

class PictureScalingEmptyTest : public ::testing::TestWithParam<EmptyCase> { };

TEST_P(PictureScalingEmptyTest, DrawsNothing)
{
    const EmptyCase& c = GetParam();
    const QRect drawn = scaledPictureRect(c.picture, c.area);
    EXPECT_TRUE(drawn.isEmpty()) << drawn.x() << "," << drawn.y() << " " << drawn.width() << "x"
                                 << drawn.height();
}

const EmptyCase kEmptyCases[] = {
    {"PictureWidthZero", {0, 10}, {100, 100}},
    {"PictureHeightZero", {10, 0}, {100, 100}},
    {"NullPicture", {}, {100, 100}},
    {"AreaWidthZero", {10, 10}, {0, 100}},
    {"AreaHeightZero", {10, 10}, {100, 0}},
    {"NegativeArea", {10, 10}, {-5, 100}},
    {"NegativePicture", {-10, 10}, {100, 100}},
    {"BothZero", {0, 0}, {0, 0}},
    {"PictureTooFlatForOnePixelRow", {1000, 1}, {10, 10}},
    {"PictureTooNarrowForOnePixelColumn", {1, 1000}, {10, 10}},
};

INSTANTIATE_TEST_SUITE_P(Rule, PictureScalingEmptyTest, ::testing::ValuesIn(kEmptyCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
