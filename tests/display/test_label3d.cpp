#include <QTest>
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <functional>

#include "display/Label3D.h"
#include "label_render_support.h"

using namespace label_test;

namespace {

const QString kBlock = QString(QChar(0x2588)); // a solid glyph: its pixels are exact
constexpr TColor kRed = 0x000000FF;
constexpr TColor kGreen = 0x0000FF00;

// A transparent label with crisp white text of the given kind.
void textLabel(TLabel3D& label, QSize size, TLabel3DBevel bevel, int shadowSize,
               const QString& caption, bool centred = true)
{
    label.resize(size);
    label.setFont(crispFont(20));
    label.setFontColor(clWhite);
    label.setTransparent(true);
    label.setTextAlignment(centred ? taCenter : taLeftJustify);
    label.setTextLayout(centred ? tlCenter : tlTop);
    label.setBevel(bevel);
    label.setShadowSize(uint8_t(shadowSize));
    label.setCaption(caption);
}

// The title's look: a black drop shadow.
void makeTitleLike(TLabel3D& label, QSize size)
{
    textLabel(label, size, blShadow, 2, QString());
    label.setShadowColor(clBlack);
}

TEST(Label3DShadow, BlackCopyLiesTwoPixelsRightAndDownUnderTheWhiteText)
{
    TLabel3D label;
    makeTitleLike(label, {120, 60});
    label.setCaption(kBlock);
    const QImage image = renderOnParent(label);

    const QRect white = boundsOf(image, Qt::white);
    ASSERT_FALSE(white.isEmpty());
    ASSERT_GT(white.width(), 2);
    ASSERT_GT(white.height(), 2);
    EXPECT_EQ(boundsOf(image, Qt::black), white.translated(2, 2));
    // Only the L-shaped rim of the copy shows past the text.
    const int rim = white.width() * white.height() - (white.width() - 2) * (white.height() - 2);
    EXPECT_EQ(countOf(image, Qt::black), rim);
    EXPECT_EQ(countOf(image, Qt::white) + rim + countOf(image, kBehind),
              image.width() * image.height());
}

TEST(Label3DShadow, SizeZeroShowsOnlyTheMainText)
{
    TLabel3D label;
    makeTitleLike(label, {120, 60});
    label.setCaption(kBlock);
    const QRect withShadow = boundsOf(renderOnParent(label), Qt::white);
    label.setShadowSize(0);
    const QImage image = renderOnParent(label);
    EXPECT_EQ(countOf(image, Qt::black), 0);
    EXPECT_EQ(boundsOf(image, Qt::white), withShadow);
}

TEST(Label3DShadow, EmptyCaptionDrawsNothing)
{
    TLabel3D label;
    makeTitleLike(label, {80, 40});
    EXPECT_EQ(renderOnParent(label), behind(label.size()));
}

TEST(Label3DGradient, FiveColumnsFromRedToBlack)
{
    TLabel3D label;
    label.resize(5, 3);
    label.setFillGradient(true);
    label.setFirstColor(kRed);
    label.setLastColor(clBlack);
    const QImage image = renderOnParent(label);
    const int reds[] = {255, 191, 127, 63, 0};
    for (int x = 0; x < 5; ++x) {
        for (int y = 0; y < 3; ++y)
            EXPECT_EQ(image.pixelColor(x, y), QColor(reds[x], 0, 0)) << x << "," << y;
    }
}

TEST(Label3DGradient, VerticalRunsTopToBottom)
{
    TLabel3D label;
    label.resize(3, 5);
    label.setFillGradient(true);
    label.setGradientOrientation(goVertical);
    label.setFirstColor(clBlack);
    label.setLastColor(kGreen);
    const QImage image = renderOnParent(label);
    const int greens[] = {0, 63, 127, 191, 255};
    for (int y = 0; y < 5; ++y)
        EXPECT_EQ(image.pixelColor(1, y), QColor(0, greens[y], 0)) << y;
}

TEST(Label3DGradient, PaintedEvenWhenTransparent)
{
    TLabel3D label;
    label.resize(5, 3);
    label.setTransparent(true);
    label.setFillGradient(true);
    label.setFirstColor(kRed);
    label.setLastColor(clBlack);
    EXPECT_EQ(renderOnParent(label).pixelColor(0, 0), QColor(255, 0, 0));
}

TEST(Label3DGradient, OnePixelAcrossPaintsNoBackgroundAtAll)
{
    TLabel3D label;
    label.resize(1, 4);
    label.setColor(kGreen);
    label.setFillGradient(true);
    label.setFirstColor(kRed);
    EXPECT_EQ(renderOnParent(label), behind(label.size()));
}

struct BorderPixel {
    int x;
    int y;
    QColor colour;
};

struct BorderCase {
    const char* name;
    TLabel3DBorderStyle style;
    int width;
    QRect inside; // where the background shows
    std::vector<BorderPixel> pixels;
};

class Label3DBorder : public testing::TestWithParam<BorderCase> { };

TEST_P(Label3DBorder, BandsAndTheAreaLeftInside)
{
    const BorderCase& c = GetParam();
    TLabel3D label;
    label.resize(20, 20);
    label.setColor(kGreen);
    label.setBorderColor(kRed);
    label.setBorderStyle(c.style);
    label.setBorderWidth(c.width);
    const QImage image = renderOnParent(label);
    EXPECT_EQ(boundsOf(image, Qt::green), c.inside);
    EXPECT_EQ(countOf(image, Qt::green), c.inside.width() * c.inside.height());
    for (const BorderPixel& p : c.pixels)
        EXPECT_EQ(image.pixelColor(p.x, p.y), p.colour) << p.x << "," << p.y;
}

const QColor kRedQ(255, 0, 0);

INSTANTIATE_TEST_SUITE_P(
    Kinds, Label3DBorder,
    testing::Values(
        BorderCase {"InnWidthTwo",
                    lbInn,
                    2,
                    QRect(4, 4, 12, 12),
                    {{0, 0, kShadow},
                     {0, 18, kShadow},
                     {0, 19, kHighlight},
                     {19, 0, kHighlight},
                     {19, 19, kHighlight},
                     {1, 1, kShadow},
                     {18, 18, kHighlight},
                     {2, 2, kHighlight},
                     {3, 3, kHighlight},
                     {17, 17, kShadow},
                     {16, 16, kShadow},
                     {16, 3, kShadow}}},
        BorderCase {"OutWidthTwo",
                    lbOut,
                    2,
                    QRect(4, 4, 12, 12),
                    {{0, 0, kHighlight}, {19, 19, kShadow}, {2, 2, kShadow}, {17, 17, kHighlight}}},
        BorderCase {"LoweredWidthOne",
                    lbLowered,
                    1,
                    QRect(1, 1, 18, 18),
                    {{0, 0, kShadow},
                     {0, 18, kShadow},
                     {18, 0, kShadow},
                     {19, 0, kHighlight},
                     {0, 19, kHighlight},
                     {19, 19, kHighlight}}},
        BorderCase {"RaisedWidthThree",
                    lbRaised,
                    3,
                    QRect(3, 3, 14, 14),
                    {{0, 0, kHighlight}, {2, 2, kHighlight}, {17, 17, kShadow}, {19, 19, kShadow}}},
        BorderCase {"NormalUsesTheBorderColour",
                    lbNormal,
                    1,
                    QRect(1, 1, 18, 18),
                    {{0, 0, kRedQ}, {19, 19, kRedQ}, {19, 0, kRedQ}, {0, 19, kRedQ}}},
        BorderCase {"NormalWidthZeroHasNoBorder", lbNormal, 0, QRect(0, 0, 20, 20), {}},
        BorderCase {"NegativeWidthHasNoBorder", lbInn, -3, QRect(0, 0, 20, 20), {}},
        BorderCase {"HugeWidthFillsTheLabelWithBands",
                    lbNormal,
                    2000000000,
                    QRect(),
                    {{0, 0, kRedQ}, {10, 10, kRedQ}}},
        BorderCase {"NoneIgnoresTheWidth", lbNone, 4, QRect(0, 0, 20, 20), {}}),
    [](const testing::TestParamInfo<BorderCase>& test) { return std::string(test.param.name); });

struct PlacementCase {
    const char* name;
    TTextLayout layout;
    int extraHeight; // area height minus the text block's
    int textTop;
};

class Label3DPlacement : public testing::TestWithParam<PlacementCase> { };

TEST_P(Label3DPlacement, BlockSitsWhereTheLayoutSays)
{
    const PlacementCase& c = GetParam();
    const QFont font = crispFont(20); // the one textLabel uses
    const QString lines = "Hg\nHg";
    const int blockHeight =
        QFontMetrics(font).boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft, lines).height();
    const QSize size(100, blockHeight + c.extraHeight);

    TLabel3D label;
    textLabel(label, size, blNone, 0, "Hg\r\nHg");
    label.setTextLayout(c.layout);

    QImage expected = behind(size);
    {
        QPainter painter(&expected);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, c.textTop, size.width(), blockHeight),
                         Qt::AlignHCenter | Qt::AlignTop, lines);
    }
    EXPECT_EQ(renderOnParent(label), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Label3DPlacement,
    testing::Values(PlacementCase {"TallerCentredOverflowsTwoAboveThreeBelow", tlCenter, -5, -2},
                    PlacementCase {"TallerAtBottomEndsAtTheBottomEdge", tlBottom, -5, -5},
                    PlacementCase {"TallerAtTopStartsAtTheTop", tlTop, -5, 0},
                    PlacementCase {"ShorterCentredTwoFreeAboveThreeBelow", tlCenter, 5, 2},
                    PlacementCase {"ShorterAtBottom", tlBottom, 5, 5},
                    PlacementCase {"ShorterAtTop", tlTop, 5, 0},
                    PlacementCase {"OneTallerCentredOddPixelBelow", tlCenter, -1, 0}),
    [](const testing::TestParamInfo<PlacementCase>& test) { return std::string(test.param.name); });

TEST(Label3DPlacement, TextInsideABorderStartsInsideIt)
{
    TLabel3D label;
    textLabel(label, {60, 60}, blNone, 0, kBlock, false);
    label.setBorderStyle(lbNormal);
    label.setBorderWidth(3);
    const QRect white = boundsOf(renderOnParent(label), Qt::white);
    ASSERT_FALSE(white.isEmpty());
    EXPECT_GE(white.left(), 3);
    EXPECT_GE(white.top(), 3);
}

TEST(Label3DLines, WideLineIsNotBrokenAndIsCutAtBothSides)
{
    TLabel3D label;
    makeTitleLike(label, {60, 80});
    label.setShadowSize(0);
    label.setCaption("WWWWWWWWWW\r\nW");
    const QImage image = renderOnParent(label);
    const QRect white = boundsOf(image, Qt::white);
    EXPECT_EQ(white.left(), 0);
    EXPECT_EQ(white.right(), 59);
    // Two lines, each centred: the short one sits in the middle.
    const int lineHeight = QFontMetrics(crispFont(20)).height();
    const QRect secondLine =
        boundsOf(image.copy(0, white.top() + lineHeight, 60, lineHeight), Qt::white);
    ASSERT_FALSE(secondLine.isEmpty());
    EXPECT_NEAR(secondLine.center().x(), 30, 2);
}

int whiteRowsBelow(const QImage& image, int y)
{
    return countOf(image.copy(0, y, image.width(), image.height() - y), Qt::white);
}

TEST(Label3DLines, PlainKindBreaksWordsEvenWithoutWordWrap)
{
    TLabel3D label;
    textLabel(label, {60, 80}, blNone, 0, "WW WW", false);
    const int lineHeight = QFontMetrics(crispFont(20)).height();
    ASSERT_GT(QFontMetrics(crispFont(20)).horizontalAdvance("WW WW"), 60);

    EXPECT_GT(whiteRowsBelow(renderOnParent(label), lineHeight), 0);

    label.setBevel(blShadow);
    EXPECT_EQ(whiteRowsBelow(renderOnParent(label), lineHeight), 0);

    label.setWordWrap(true);
    EXPECT_GT(whiteRowsBelow(renderOnParent(label), lineHeight), 0);
}

TEST(Label3DDisabled, RaisedLosesItsHighlightAndGreysTheText)
{
    TLabel3D label;
    textLabel(label, {80, 50}, blRaised, 2, kBlock);

    const QImage enabled = renderOnParent(label);
    EXPECT_GT(countOf(enabled, kHighlight), 0);
    EXPECT_GT(countOf(enabled, kShadow), 0);
    const QRect text = boundsOf(enabled, Qt::white);
    EXPECT_EQ(boundsOf(enabled, kHighlight), text.translated(-2, -2));

    label.setEnabled(false);
    const QImage disabled = renderOnParent(label);
    EXPECT_EQ(countOf(disabled, kHighlight), 0);
    EXPECT_EQ(countOf(disabled, Qt::white), 0);
    EXPECT_EQ(boundsOf(disabled, kGrayText), text);
    EXPECT_EQ(boundsOf(disabled, kShadow), text.translated(2, 2));
}

TEST(Label3DDisabled, LoweredSwapsTheCopies)
{
    TLabel3D label;
    textLabel(label, {80, 50}, blLowered, 3, kBlock);
    const QImage image = renderOnParent(label);
    const QRect text = boundsOf(image, Qt::white);
    EXPECT_EQ(boundsOf(image, kShadow), text.translated(-3, -3));
    EXPECT_EQ(boundsOf(image, kHighlight), text.translated(3, 3));
}

TEST(Label3DDisabled, PlainKindLooksTheSameDisabled)
{
    TLabel3D label;
    textLabel(label, {80, 50}, blNone, 2, kBlock);
    const QImage enabled = renderOnParent(label);
    label.setEnabled(false);
    EXPECT_GT(countOf(enabled, Qt::white), 0);
    EXPECT_EQ(renderOnParent(label), enabled);
}

QImage renderCaption(const QString& caption, bool showAccelChar)
{
    TLabel3D label;
    textLabel(label, {120, 40}, blShadow, 0, caption, false);
    label.setShowAccelChar(showAccelChar);
    return renderOnParent(label);
}

TEST(Label3DAccelerator, DoubleAmpersandShowsOne)
{
    EXPECT_EQ(renderCaption("&&", true), renderCaption("&", false));
    EXPECT_GT(countOf(renderCaption("&", false), Qt::white), 0);
}

TEST(Label3DAccelerator, SingleAmpersandIsHiddenAndUnderlinesTheNextCharacter)
{
    const int ascent = QFontMetrics(crispFont(20)).ascent();
    const QImage marked = renderCaption("&W", true);
    const QImage plain = renderCaption("W", true);
    // Above the baseline the two are the same: no "&" is drawn.
    EXPECT_EQ(marked.copy(0, 0, 120, ascent), plain.copy(0, 0, 120, ascent));
    // Below it the marked one has its underline; "W" has nothing there.
    EXPECT_EQ(whiteRowsBelow(plain, ascent), 0);
    EXPECT_GT(whiteRowsBelow(marked, ascent), 0);
}

TEST(Label3DAccelerator, WithoutAccelCharTheAmpersandIsDrawn)
{
    EXPECT_GT(countOf(renderCaption("&W", false), Qt::white),
              countOf(renderCaption("W", false), Qt::white));
}

TEST(Label3DMeasure, KeepsLeftAndTopAndGivesTheExtent)
{
    TLabel3D label;
    label.setFont(crispFont(20));
    label.setCaption("WW\r\nW");
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    QRect rect(7, 9, 500, 3);
    label.DrawLabelText(painter, rect, DT_LEFT | DT_CALCRECT);
    const QFontMetrics metrics(crispFont(20));
    EXPECT_EQ(rect.topLeft(), QPoint(7, 9));
    EXPECT_EQ(rect.width(), metrics.horizontalAdvance("WW"));
    EXPECT_GE(rect.height(), 2 * metrics.height());
}

TEST(Label3DMeasure, EmptyCaptionAndLoneAmpersandMeasureOneLineHigh)
{
    TLabel3D label;
    label.setFont(crispFont(20));
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    const int lineHeight = QFontMetrics(crispFont(20)).height();
    for (const QString& caption : {QString(), QString("&")}) {
        label.setCaption(caption);
        QRect rect(0, 0, 100, 100);
        label.DrawLabelText(painter, rect, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
        EXPECT_EQ(rect.height(), lineHeight) << caption.toStdString();
    }
}

TEST(Label3DCreate, StartsWithTheInitialValues)
{
    TLabel3D label;
    EXPECT_EQ(label.firstColor(), clWhite);
    EXPECT_EQ(label.lastColor(), clTeal);
    EXPECT_FALSE(label.fillGradient());
    EXPECT_EQ(label.gradientOrientation(), goHorizontal);
    EXPECT_EQ(label.highLightColor(), clBtnHighlight);
    EXPECT_EQ(label.shadowColor(), clBtnShadow);
    EXPECT_EQ(label.bevel(), blRaised);
    EXPECT_EQ(label.shadowSize(), 1);
    EXPECT_EQ(label.borderColor(), clBlack);
    EXPECT_EQ(label.borderWidth(), 1);
    EXPECT_EQ(label.borderStyle(), lbNone);
    EXPECT_FALSE(label.wordWrap());
    EXPECT_TRUE(label.showAccelChar());
    EXPECT_FALSE(label.transparent());
    EXPECT_EQ(label.color(), clBtnFace);
    EXPECT_EQ(label.textAlignment(), taLeftJustify);
    EXPECT_EQ(label.textLayout(), tlTop);
    EXPECT_EQ(label.size(), QSize(65, 17));
}

// Counts the label's paints, to see which property writes repaint it.
class CountingLabel : public TLabel3D {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) noexcept override
    {
        ++paints;
        TLabel3D::paintEvent(event);
    }
};

// Delivers whatever is queued now, repaints included.
void flushEvents()
{
    for (int round = 0; round < 3; ++round) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

struct WriteCase {
    const char* name;
    std::function<void(TLabel3D&)> writeSame;
    std::function<void(TLabel3D&)> writeOther;
    std::function<bool(const TLabel3D&)> holdsOther;
};

class Label3DWrite : public testing::TestWithParam<WriteCase> { };

TEST_P(Label3DWrite, StoresAndRepaintsOnlyOnChange)
{
    const WriteCase& c = GetParam();
    CountingLabel label;
    label.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return label.paints > 0; }));
    flushEvents();

    const int before = label.paints;
    c.writeSame(label);
    flushEvents();
    EXPECT_EQ(label.paints, before);

    c.writeOther(label);
    EXPECT_TRUE(c.holdsOther(label));
    EXPECT_TRUE(QTest::qWaitFor([&] { return label.paints > before; }));
}

#define WRITE_CASE(Name, getter, setter, other)                                                    \
    WriteCase                                                                                      \
    {                                                                                              \
        Name, [](TLabel3D& l) { l.setter(l.getter()); }, [](TLabel3D& l) { l.setter(other); },     \
            [](const TLabel3D& l) { return l.getter() == other; }                                  \
    }

INSTANTIATE_TEST_SUITE_P(
    Properties, Label3DWrite,
    testing::Values(WRITE_CASE("FirstColor", firstColor, setFirstColor, kRed),
                    WRITE_CASE("LastColor", lastColor, setLastColor, kRed),
                    WRITE_CASE("FillGradient", fillGradient, setFillGradient, true),
                    WRITE_CASE("GradientOrientation", gradientOrientation, setGradientOrientation,
                               goVertical),
                    WRITE_CASE("HighLightColor", highLightColor, setHighLightColor, kRed),
                    WRITE_CASE("ShadowColor", shadowColor, setShadowColor, kRed),
                    WRITE_CASE("Bevel", bevel, setBevel, blShadow),
                    WRITE_CASE("ShadowSize", shadowSize, setShadowSize, uint8_t(7)),
                    WRITE_CASE("BorderColor", borderColor, setBorderColor, kRed),
                    WRITE_CASE("BorderWidth", borderWidth, setBorderWidth, 5),
                    WRITE_CASE("BorderStyle", borderStyle, setBorderStyle, lbInn),
                    WRITE_CASE("Caption", caption, setCaption, QString("x")),
                    WRITE_CASE("Color", color, setColor, kRed),
                    WRITE_CASE("FontColor", fontColor, setFontColor, kRed),
                    WRITE_CASE("Alignment", textAlignment, setTextAlignment, taCenter),
                    WRITE_CASE("Layout", textLayout, setTextLayout, tlBottom),
                    WRITE_CASE("WordWrap", wordWrap, setWordWrap, true),
                    WRITE_CASE("ShowAccelChar", showAccelChar, setShowAccelChar, false),
                    WRITE_CASE("Transparent", transparent, setTransparent, true)),
    [](const testing::TestParamInfo<WriteCase>& test) { return std::string(test.param.name); });

int pixelsFor(int points, int dpi) { return int(std::lround(points * dpi / 72.0)); }

TEST(Label3DFont, PointSizeBecomesPixelsThroughTheDpi)
{
    TLabel3D label;
    label.setFont(QFont("Arial"));
    label.setFontPointSize(36);
    EXPECT_EQ(label.fontPointSize(), 36);
    EXPECT_EQ(label.font().pixelSize(), pixelsFor(36, label.logicalDpiY()));
    EXPECT_EQ(label.font().family(), "Arial");
}

TEST(Label3DFont, FontGivenInPointsKeepsThePixelRule)
{
    TLabel3D label;
    QFont chosen("Liberation Serif", 14);
    chosen.setItalic(true);
    label.setFont(chosen);
    EXPECT_EQ(label.fontPointSize(), 14);
    EXPECT_EQ(label.font().pixelSize(), pixelsFor(14, label.logicalDpiY()));
    EXPECT_TRUE(label.font().italic());
}

TEST(Label3DFont, FontGivenInPixelsKeepsItsPixels)
{
    TLabel3D label;
    QFont design("Arial");
    design.setPixelSize(48);
    label.setFont(design);
    EXPECT_EQ(label.font().pixelSize(), 48);
    EXPECT_EQ(label.fontPointSize(), int(std::lround(48 * 72.0 / label.logicalDpiY())));
}

TEST(Label3DFont, SizeZeroIsTheDefaultHeight)
{
    TLabel3D label;
    label.setFontPointSize(0);
    EXPECT_EQ(label.fontPointSize(), 0);
    EXPECT_GT(label.font().pixelSize(), 0);
    EXPECT_LT(label.font().pixelSize(), 40);
}

TEST(Label3DClick, LeftClickInsideIsAClick)
{
    TLabel3D label;
    label.resize(40, 20);
    int clicks = 0;
    QObject::connect(&label, &TLabel3D::clicked, [&clicks] { ++clicks; });
    auto send = [&label](QEvent::Type type, QPointF at) {
        QMouseEvent event(type, at, label.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&label, &event);
    };
    send(QEvent::MouseButtonPress, {5, 5});
    send(QEvent::MouseButtonRelease, {6, 5});
    EXPECT_EQ(clicks, 1);
    send(QEvent::MouseButtonPress, {5, 5});
    send(QEvent::MouseButtonRelease, {80, 5});
    EXPECT_EQ(clicks, 1);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    useKnownSystemColours();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
