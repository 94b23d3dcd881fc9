#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

#include "display/FontFitting.h"
#include "display/Label3D.h"
#include "label_render_support.h"

namespace {

const QString kBuiltInSample =
    "Bis zum Jahr 2027 sind es noch:\r\n000 Tage(n) 000 Stunde(n) 00 Minute(n) 00 Sekunde(n)";

QFont titleFont(const QString& family = "Arial", bool bold = true, bool italic = false)
{
    QFont font(family);
    font.setPixelSize(48);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

int fit(const QString& sample, QSize area, const QFont& font = titleFont(), int dpi = 96)
{
    return fitTitleFontSize(sample, font, area, dpi);
}

TEST(FontFitting, EmptyTemplateGivesZero)
{
    EXPECT_EQ(fit("", {1280, 1024}), 0);
    EXPECT_EQ(plainScanFontSize("", titleFont(), {1280, 1024}, 96), 0);
}

TEST(FontFitting, SpacesAndEmptyLinesOnlyGiveZero)
{
    EXPECT_EQ(fit("   \r\n\r\n \t \r\n", {1280, 1024}), 0);
}

TEST(FontFitting, AreaNarrowerThanAnyLineAtOnePointGivesOne)
{
    EXPECT_EQ(fit("Tage", {1, 1000}), 1);
    EXPECT_EQ(fit("Tage", {0, 0}), 1);
}

TEST(FontFitting, ShortSampleOnAHugeAreaGetsTheLargestTitle)
{
    EXPECT_EQ(fit("00", {30000, 30000}), 486);
    EXPECT_EQ(plainScanFontSize("00", titleFont(), {30000, 30000}, 96), 486);
}

TEST(FontFitting, BlankSampleOnAHugeAreaStaysZero) { EXPECT_EQ(fit("  ", {30000, 30000}), 0); }

TEST(FontFitting, FinalLineBreakMakesNoDifference)
{
    for (QSize area : {QSize(1280, 1024), QSize(640, 40), QSize(300, 900)})
        EXPECT_EQ(fit(kBuiltInSample + "\r\n", area), fit(kBuiltInSample, area)) << area.width();
}

TEST(FontFitting, EmptyMiddleLineCountsForTheHeight)
{
    // Short lines in a wide, low area: only the height limits, and it counts all three lines.
    const QSize area(20000, 300);
    EXPECT_EQ(fit("A\r\n\r\nB", area), fit("A\r\nB\r\nC", area));
    EXPECT_LT(fit("A\r\n\r\nB", area), fit("A\r\nB", area));
}

TEST(FontFitting, BlankLinesAreNotMeasuredForWidth)
{
    // A blank line of many spaces would be the widest; it is skipped.
    const QString spaces(200, ' ');
    const QSize area(600, 20000);
    EXPECT_EQ(fit("Tage\r\n" + spaces, area), fit("Tage\r\nTage", area));
}

TEST(FontFitting, AmpersandCountsInTheMeasuredWidth)
{
    EXPECT_LT(fit("&&&&Tage", {600, 20000}), fit("Tage", {600, 20000}));
}

TEST(FontFitting, WiderAreaNeverGivesASmallerTitle)
{
    int previous = 0;
    for (int width = 200; width <= 2000; width += 150) {
        const int size = fit(kBuiltInSample, {width, 1024});
        EXPECT_GE(size, previous) << width;
        previous = size;
    }
}

TEST(FontFitting, BuiltInSampleFillsTheWidthOfAFullScreen)
{
    // 95 % of the first overflowing size: the title at its own size fits, and so would the
    // size just under the overflowing one.
    const QSize area(1280, 1024);
    const int found = fastFoundSize(kBuiltInSample, titleFont(), area, 96);
    ASSERT_GT(found, 1);
    const QFontMetrics over(fontAtPoints(titleFont(), found, 96));
    const QFontMetrics under(fontAtPoints(titleFont(), found - 1, 96));
    const QString second = "000 Tage(n) 000 Stunde(n) 00 Minute(n) 00 Sekunde(n)";
    EXPECT_GT(over.horizontalAdvance(second), area.width());
    EXPECT_LE(under.horizontalAdvance(second), area.width());
    EXPECT_EQ(fit(kBuiltInSample, area), reduceFoundSize(found));
}

TEST(FontFitting, PointSizesBecomePixelsThroughTheDpi)
{
    // At 144 dpi a point is twice as many pixels as at 72, so the same area is used up at
    // half the point size.
    const QSize area(900, 20000);
    const int at72 = fastFoundSize("Sekunde(n)", titleFont(), area, 72);
    const int at144 = fastFoundSize("Sekunde(n)", titleFont(), area, 144);
    EXPECT_NEAR(at144, at72 / 2.0, 1.0);
}

struct CorpusFont {
    const char* family;
    bool bold;
    bool italic;
    bool underline;
};

TEST(FontFitting, QuickSearchEqualsThePlainScanOverACorpus)
{
    const QStringList templates = {
        kBuiltInSample,
        "00",
        "%Y - Nachste Jahr",
        "Noch 000 Tage\r\n\r\n00:00:00\r\n",
        "\tTab\tund & Zeichen",
        "  breit  \r\nWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW\r\n.",
        "Nächste Neue Jahr 2027\r\n0000000000 Sekunde(n)\r\n000 Tage(n)\r\n00 Stunde(n)\r\n00 "
        "Minute(n)",
    };
    const CorpusFont fonts[] = {{"Arial", true, false, false},
                                {"Liberation Serif", false, true, false},
                                {"DejaVu Sans Mono", false, false, true},
                                {"URW Gothic", true, true, false},
                                {"Z003", false, false, false},
                                {"Liberation Sans Narrow", false, false, false}};
    const QSize areas[] = {{1920, 1080}, {1280, 512}, {640, 1024}, {120, 40}, {5, 5}, {4000, 150}};
    for (const CorpusFont& face : fonts) {
        QFont font = titleFont(face.family, face.bold, face.italic);
        font.setUnderline(face.underline);
        for (const QString& sample : templates) {
            for (QSize area : areas) {
                for (int dpi : {96, 120}) {
                    ASSERT_EQ(fastFoundSize(sample, font, area, dpi),
                              plainFoundSize(sample, font, area, dpi))
                        << face.family << " | " << sample.toStdString() << " | " << area.width()
                        << "x" << area.height() << " @" << dpi;
                }
            }
        }
    }
}

// A title with tabs is drawn as wide as it was measured: the fitting neither shrinks it to
// nothing nor lets it overflow, in the sizes drawn by Qt and in those drawn from the cache.
struct TabCase {
    const char* name;
    QString sample;
    QSize area;
};

class TabbedTitle : public testing::TestWithParam<TabCase> { };

TEST_P(TabbedTitle, IsDrawnAsWideAsItWasFitted)
{
    const TabCase& c = GetParam();
    TLabel3D label;
    label.resize(c.area);
    QFont font = titleFont("Liberation Sans");
    font.setStyleStrategy(QFont::NoAntialias);
    label.setFont(font);
    label.setFontColor(clWhite);
    label.setTextAlignment(taCenter);
    label.setTextLayout(tlCenter);
    label.setBevel(blNone);
    label.setCaption(c.sample);
    const int points = fit(c.sample, c.area, font, label.logicalDpiY());
    ASSERT_GT(points, 1);
    label.setFontPointSize(points);

    const QRect ink = label_test::boundsOf(label_test::renderOnParent(label), Qt::white);
    EXPECT_GT(ink.left(), 0);
    EXPECT_LT(ink.right(), c.area.width() - 1);
    EXPECT_GE(ink.width(), c.area.width() * 85 / 100) << points << " points";
}

INSTANTIATE_TEST_SUITE_P(
    Samples, TabbedTitle,
    testing::Values(TabCase {"TabsBetweenWords", "Noch\t000\tTage", {1280, 512}},
                    TabCase {"ManyTabs", "00\t\t\t\t\t\t\t\t\t00", {640, 512}},
                    TabCase {"TabbedLineIsTheWidest", "Jahr 2027\r\nnoch\t000\tTage", {1280, 1024}},
                    TabCase {"SmallArea", "a\tb\tc", {200, 100}}),
    [](const testing::TestParamInfo<TabCase>& test) { return std::string(test.param.name); });

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
