#include "app/MainLayout.h"

#include <gtest/gtest.h>

struct LayoutCase {
    int stored;
    QSize client;
    QRect picture;
    QRect title;
};

class MainLayoutAreas : public testing::TestWithParam<LayoutCase> { };

TEST_P(MainLayoutAreas, PictureTakesItsHalfAndTheTitleTheRest)
{
    const LayoutCase& c = GetParam();
    const MainAreas areas = layoutAreas(c.client, pictureAlignFor(c.stored, PictureAlign::Top));
    EXPECT_EQ(areas.picture, c.picture);
    EXPECT_EQ(areas.title, c.title);
}

// Odd sizes show where the halves by integer division leave the odd pixel: with the title.
INSTANTIATE_TEST_SUITE_P(
    Alignments, MainLayoutAreas,
    testing::Values(LayoutCase {0, {1280, 1024}, {0, 0, 1280, 512}, {0, 512, 1280, 512}},
                    LayoutCase {1, {1280, 1024}, {0, 512, 1280, 512}, {0, 0, 1280, 512}},
                    LayoutCase {2, {1280, 1024}, {0, 0, 640, 1024}, {640, 0, 640, 1024}},
                    LayoutCase {3, {1280, 1024}, {640, 0, 640, 1024}, {0, 0, 640, 1024}},
                    LayoutCase {4, {1280, 1024}, {0, 0, 1280, 1024}, {0, 0, 1280, 1024}},
                    LayoutCase {0, {1281, 1023}, {0, 0, 1281, 511}, {0, 511, 1281, 512}},
                    LayoutCase {1, {1281, 1023}, {0, 512, 1281, 511}, {0, 0, 1281, 512}},
                    LayoutCase {2, {1281, 1023}, {0, 0, 640, 1023}, {640, 0, 641, 1023}},
                    LayoutCase {3, {1281, 1023}, {641, 0, 640, 1023}, {0, 0, 641, 1023}},
                    LayoutCase {9, {1280, 1024}, {0, 0, 1280, 512}, {0, 512, 1280, 512}},
                    LayoutCase {-1, {1280, 1024}, {0, 0, 1280, 512}, {0, 512, 1280, 512}}));

TEST(PictureAlignFor, OutOfRangeKeepsTheCurrentAlignment)
{
    EXPECT_EQ(pictureAlignFor(-1, PictureAlign::Right), PictureAlign::Right);
    EXPECT_EQ(pictureAlignFor(9, PictureAlign::Left), PictureAlign::Left);
    EXPECT_EQ(pictureAlignFor(4, PictureAlign::Left), PictureAlign::Client);
    EXPECT_EQ(pictureAlignFor(0, PictureAlign::Client), PictureAlign::Top);
}
