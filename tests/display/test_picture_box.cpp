// TPictureBox painted into an image: the picture lands in the rectangle the scaling rule gives,
// the window's colour shows around it, and clicks pass through.

#include "display/PictureBox.h"

#include "picture_jpeg_support.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

const QColor kWindowColour(0, 128, 128);
const QColor kPictureColour(200, 30, 40);
const QPoint kBoxOffset(10, 20);

// A window of its own colour with the box inside it, away from its corner.
struct Scene {
    explicit Scene(QSize boxSize)
    {
        window.resize(boxSize + QSize(40, 50));
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, kWindowColour);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        box = new TPictureBox(&window);
        box->setGeometry(QRect(kBoxOffset, boxSize));
    }
    QImage render() { return window.grab().toImage(); }

    QWidget window;
    TPictureBox* box = nullptr;
};

QImage uniformPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kPictureColour);
    return image;
}

// Every pixel of the box: inside `drawn` (box coordinates) the picture, elsewhere the window.
void expectPictureExactlyIn(const QImage& shot, QSize boxSize, QRect drawn)
{
    int wrong = 0;
    for (int y = 0; y < boxSize.height(); ++y) {
        for (int x = 0; x < boxSize.width(); ++x) {
            const QColor expected = drawn.contains(x, y) ? kPictureColour : kWindowColour;
            const QColor actual = shot.pixelColor(kBoxOffset + QPoint(x, y));
            if (!pictureColoursNear(actual, expected, 2) && ++wrong <= 5) {
                ADD_FAILURE() << "at " << x << "," << y << ": " << actual.name().toStdString()
                              << " instead of " << expected.name().toStdString();
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

struct BoxCase {
    const char* name;
    QSize picture;
    QSize box;
    QRect drawn;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class PictureBoxTest : public ::testing::TestWithParam<BoxCase> { };

TEST_P(PictureBoxTest, PictureFillsDrawnRectangleAndNothingElse)
{
    const BoxCase& c = GetParam();
    Scene scene(c.box);
    scene.box->setPicture(uniformPicture(c.picture));
    expectPictureExactlyIn(scene.render(), c.box, c.drawn);
}

const BoxCase kBoxCases[] = {
    {"LandscapeCentredVertically", {40, 20}, {100, 100}, {0, 25, 100, 50}},
    {"PortraitCentredHorizontally", {20, 40}, {100, 100}, {25, 0, 50, 100}},
    {"SmallPictureEnlarged", {3, 2}, {120, 90}, {0, 5, 120, 80}},
    {"LargePictureReduced", {1200, 400}, {90, 60}, {0, 15, 90, 30}},
    {"SameProportionsFillTheBox", {4, 3}, {120, 90}, {0, 0, 120, 90}},
    {"OddLeftoverGoesRight", {1, 2}, {101, 60}, {35, 0, 30, 60}},
};

INSTANTIATE_TEST_SUITE_P(Paint, PictureBoxTest, ::testing::ValuesIn(kBoxCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(PictureBox, PictureKeepsItsOrientation)
{
    Scene scene({100, 60});
    scene.box->setPicture(pictureQuadrants(40, 40)); // drawn at (20, 0) in 60 x 60
    const QImage shot = scene.render();
    auto at = [&](int x, int y) { return shot.pixelColor(kBoxOffset + QPoint(x, y)); };
    EXPECT_TRUE(pictureColoursNear(at(35, 15), Qt::red));
    EXPECT_TRUE(pictureColoursNear(at(65, 15), Qt::green));
    EXPECT_TRUE(pictureColoursNear(at(35, 45), Qt::blue));
    EXPECT_TRUE(pictureColoursNear(at(65, 45), Qt::white));
}

TEST(PictureBox, WithoutPictureOnlyWindowColourShows)
{
    Scene scene({80, 60});
    expectPictureExactlyIn(scene.render(), {80, 60}, {});
}

TEST(PictureBox, ClearedPictureIsNoLongerDrawn)
{
    Scene scene({80, 60});
    scene.box->setPicture(uniformPicture({8, 6}));
    expectPictureExactlyIn(scene.render(), {80, 60}, {0, 0, 80, 60});
    scene.box->clearPicture();
    EXPECT_TRUE(scene.box->picture().isNull());
    expectPictureExactlyIn(scene.render(), {80, 60}, {});
}

TEST(PictureBox, ResizedBoxDrawsPictureAtNewSize)
{
    Scene scene({100, 100});
    scene.box->setPicture(uniformPicture({40, 20}));
    scene.render();
    scene.box->resize(60, 100);
    expectPictureExactlyIn(scene.render(), {60, 100}, {0, 35, 60, 30});
}

TEST(PictureBox, RepaintAtSameSizeReusesScaledPicture)
{
    Scene scene({100, 100});
    scene.box->setPicture(uniformPicture({40, 20}));
    scene.render();
    const qint64 first = scene.box->scaledPicture().cacheKey();
    ASSERT_FALSE(scene.box->scaledPicture().isNull());
    scene.render();
    EXPECT_EQ(scene.box->scaledPicture().cacheKey(), first);

    scene.box->resize(50, 100);
    scene.render();
    EXPECT_NE(scene.box->scaledPicture().cacheKey(), first);
    EXPECT_EQ(scene.box->scaledPicture().size(), QSize(50, 25));
}

TEST(PictureBox, NewPictureIsScaledAgain)
{
    Scene scene({100, 100});
    scene.box->setPicture(uniformPicture({40, 20}));
    scene.render();
    scene.box->setPicture(uniformPicture({20, 40}));
    EXPECT_EQ(scene.render().pixelColor(kBoxOffset + QPoint(50, 10)), kPictureColour);
    EXPECT_EQ(scene.box->scaledPicture().size(), QSize(50, 100));
}

TEST(PictureBox, ClicksPassThroughToTheWindow)
{
    Scene scene({100, 100});
    scene.box->setPicture(uniformPicture({10, 10}));
    const QPoint insidePicture = kBoxOffset + QPoint(50, 50);
    ASSERT_TRUE(scene.box->geometry().contains(insidePicture));
    EXPECT_NE(scene.window.childAt(insidePicture), scene.box);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
