#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "display/GlyphCache.h"
#include "display/TextEngine.h"

namespace {

const QColor kBack(20, 40, 60);
const QColor kRed(255, 0, 0);

QFont sized(int pixels, const QString& family = "DejaVu Sans", bool crisp = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    if (crisp) {
        font.setStyleStrategy(QFont::NoAntialias);
        font.setHintingPreference(QFont::PreferFullHinting);
    }
    return font;
}

QImage blank(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kBack);
    return image;
}

// What the label draws.
QImage viaEngine(const QFont& font, const QColor& color, QRect rect, const QString& text,
                 uint16_t flags, QSize size)
{
    QImage image = blank(size);
    QPainter painter(&image);
    TextEngine::drawText(painter, font, color, rect, text, flags);
    return image;
}

// Qt drawing the same text itself, the way the engine did before it kept glyphs.
QImage viaQt(const QFont& font, const QColor& color, const QRect& rect, const QString& text,
             uint16_t flags, QSize size)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setClipRect(rect);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(rect, TextEngine::qtFlags(flags), TextEngine::withLineBreaks(text));
    return image;
}

// The placement drawn with Qt's own glyph drawing and the underline pen the engine uses.
QImage viaPlacement(const QFont& font, const QColor& color, const QRect& rect, const QString& text,
                    uint16_t flags, QSize size, bool* placed)
{
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setClipRect(rect);
    painter.setFont(font);
    painter.setPen(color);
    TextPlacement placement;
    *placed = TextEngine::placeText(painter, rect, TextEngine::withLineBreaks(text),
                                    TextEngine::qtFlags(flags), placement);
    for (QGlyphRun run : placement.runs) {
        // The placement's own underlines stand for the mnemonic's; the run would add another.
        run.setUnderline(false);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    painter.setPen(QPen(color, placement.underlineWidth, Qt::SolidLine, Qt::FlatCap));
    for (const QLineF& line : placement.underlines)
        painter.drawLine(line);
    return image;
}

int channelDiff(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

struct Difference {
    int largest = 0;    // of one channel of one pixel
    double share = 0;   // summed differences over summed ink of the reference
    int pixelsOver = 0; // pixels differing by more than a quarter of full scale
};

Difference compare(const QImage& actual, const QImage& reference)
{
    Difference d;
    double diffSum = 0;
    double inkSum = 0;
    const QRgb back = kBack.rgba();
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            const int diff = channelDiff(actual.pixel(x, y), reference.pixel(x, y));
            d.largest = std::max(d.largest, diff);
            diffSum += diff;
            inkSum += channelDiff(reference.pixel(x, y), back);
            if (diff > 64)
                ++d.pixelsOver;
        }
    }
    d.share = inkSum > 0 ? diffSum / inkSum : 1;
    return d;
}

// The smallest rectangle holding every pixel not of the background.
QRect inkBounds(const QImage& image)
{
    QRect bounds;
    const QRgb back = kBack.rgba();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != back)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

int countColour(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour.rgba() ? 1 : 0;
    }
    return n;
}

void expectSameEdges(const QRect& actual, const QRect& reference, int tolerance)
{
    EXPECT_NEAR(actual.left(), reference.left(), tolerance);
    EXPECT_NEAR(actual.top(), reference.top(), tolerance);
    EXPECT_NEAR(actual.right(), reference.right(), tolerance);
    EXPECT_NEAR(actual.bottom(), reference.bottom(), tolerance);
}

// ---- Placement: glyph for glyph where Qt's rectangle drawing puts them ----------------------

struct PlacementCase {
    const char* name;
    QString text;
    uint16_t flags;
    QRect rect;
    int pixels;
    bool crisp;
};

class GlyphPlacement : public testing::TestWithParam<PlacementCase> { };

TEST_P(GlyphPlacement, DrawnGlyphsAndUnderlinesEqualQtsDrawing)
{
    const PlacementCase& c = GetParam();
    const QSize size(c.rect.right() + 20, c.rect.bottom() + 20);
    const QFont font = sized(c.pixels, "DejaVu Sans", c.crisp);
    bool placed = false;
    const QImage mine = viaPlacement(font, kRed, c.rect, c.text, c.flags, size, &placed);
    ASSERT_TRUE(placed);
    const QImage qt = viaQt(font, kRed, c.rect, c.text, c.flags, size);
    ASSERT_FALSE(inkBounds(qt).isEmpty());
    EXPECT_EQ(mine, qt);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GlyphPlacement,
    testing::Values(PlacementCase {"LeftOneLine", "Hello, world", DT_LEFT, QRect(5, 5, 300, 60), 20,
                                   true},
                    PlacementCase {"CentredLinesOfUnequalWidth", "WWWWW\r\nI\r\nmiddle", DT_CENTER,
                                   QRect(3, 4, 260, 120), 20, true},
                    PlacementCase {"RightAligned", "right\r\nmost text", DT_RIGHT,
                                   QRect(0, 0, 250, 80), 20, true},
                    PlacementCase {"WordWrapInANarrowRect", "one two three four five six",
                                   DT_LEFT | DT_WORDBREAK, QRect(2, 2, 90, 200), 20, true},
                    PlacementCase {"WrappedAndCentred", "one two three four five six",
                                   DT_CENTER | DT_WORDBREAK, QRect(2, 2, 110, 200), 20, true},
                    PlacementCase {"LongWordStandsWhole", "abcdefghijklmnop qr",
                                   DT_CENTER | DT_WORDBREAK, QRect(10, 0, 60, 90), 20, true},
                    PlacementCase {"TabsExpandedWhenLeftAligned", "a\tb\tc\r\nxx\ty",
                                   DT_LEFT | DT_EXPANDTABS, QRect(0, 0, 400, 80), 20, true},
                    PlacementCase {"TrailingSpacesCountWhenCentred", "AB     \r\nAB", DT_CENTER,
                                   QRect(0, 0, 200, 60), 20, true},
                    PlacementCase {"TrailingSpacesWhenWrapped", "AB     \r\nAB",
                                   DT_CENTER | DT_WORDBREAK, QRect(0, 0, 200, 60), 20, true},
                    PlacementCase {"MnemonicUnderlined", "&File and E&xit", DT_LEFT,
                                   QRect(4, 4, 300, 40), 20, true},
                    PlacementCase {"MnemonicCentredOnTheSecondLine", "top\r\nsa&ve", DT_CENTER,
                                   QRect(0, 0, 200, 70), 20, true},
                    PlacementCase {"DoubledAmpersandAndTrailingOne", "a&&b&", DT_LEFT,
                                   QRect(0, 0, 200, 40), 20, true},
                    PlacementCase {"NoPrefixShowsAmpersands", "&a&&b", DT_LEFT | DT_NOPREFIX,
                                   QRect(0, 0, 200, 40), 20, true},
                    PlacementCase {"LinesBelowTheRectAreCut", "1\r\n2\r\n3\r\n4\r\n5", DT_LEFT,
                                   QRect(0, 0, 100, 50), 20, true},
                    PlacementCase {"LoneCarriageReturnBreaks", "up\rdown\nthird", DT_CENTER,
                                   QRect(0, 0, 100, 90), 20, true},
                    PlacementCase {"AntialiasedLargerFont", "Qg &W\r\nline",
                                   DT_CENTER | DT_WORDBREAK, QRect(7, 3, 300, 140), 40, false},
                    PlacementCase {"AntialiasedAtTheGlyphCacheLimit", "Ab&c", DT_RIGHT,
                                   QRect(1, 1, 260, 90), 64, false}),
    [](const testing::TestParamInfo<PlacementCase>& test) { return std::string(test.param.name); });

// ---- Large fonts: drawn from the cache, looking as Qt draws them -----------------------------

struct LargeCase {
    const char* name;
    int pixels;
    QString text;
    uint16_t flags;
    QSize size;
};

class LargeText : public testing::TestWithParam<LargeCase> { };

TEST_P(LargeText, LooksLikeQtsDrawing)
{
    const LargeCase& c = GetParam();
    const QFont font = sized(c.pixels, "Liberation Sans");
    const QRect rect(QPoint(3, 2), c.size - QSize(6, 4));
    GlyphCache::forThisThread().clear();
    const QImage mine = viaEngine(font, kRed, rect, c.text, c.flags, c.size);
    ASSERT_GT(GlyphCache::forThisThread().entryCount(), 0) << "not drawn from the cache";
    const QImage qt = viaQt(font, kRed, rect, c.text, c.flags, c.size);
    ASSERT_FALSE(inkBounds(qt).isEmpty());
    expectSameEdges(inkBounds(mine), inkBounds(qt), 1);
    const Difference d = compare(mine, qt);
    // Glyphs land on quarter pixels, Qt's on 64ths: edges differ by a few grey levels.
    EXPECT_LT(d.share, 0.02);
    EXPECT_EQ(d.pixelsOver, 0);
    // Inside the glyphs the colour is the text's own.
    EXPECT_GT(countColour(mine, kRed), 0);
    EXPECT_NEAR(countColour(mine, kRed), countColour(qt, kRed), countColour(qt, kRed) / 50 + 5);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LargeText,
    testing::Values(
        LargeCase {"Hundred", 100, "Noch 42 Tage", DT_CENTER, {760, 140}},
        LargeCase {"HundredTwoCentredLines", 100, "Bis 2027:\r\n12:34:56", DT_CENTER, {600, 260}},
        LargeCase {"HundredWrapped", 100, "wrap these words", DT_LEFT | DT_WORDBREAK, {520, 380}},
        LargeCase {"ThreeHundred", 300, "Jg5", DT_CENTER, {620, 380}},
        LargeCase {"ThreeHundredMnemonic", 300, "&Wa", DT_LEFT, {720, 380}},
        LargeCase {"SixHundredFifty", 650, "8", DT_CENTER, {480, 780}}),
    [](const testing::TestParamInfo<LargeCase>& test) { return std::string(test.param.name); });

TEST(LargeText, ColourIsTheTextsAndTheBackgroundIsUntouched)
{
    const QFont font = sized(120, "Liberation Sans");
    const QSize size(300, 170);
    const QRect rect(0, 0, 300, 170);
    for (const QColor& colour : {QColor(0, 200, 0), QColor(255, 255, 255), QColor(10, 20, 250)}) {
        const QImage mine = viaEngine(font, colour, rect, "HI", DT_CENTER, size);
        const QImage qt = viaQt(font, colour, rect, "HI", DT_CENTER, size);
        // "H" and "I" are straight strokes: their insides are exactly the colour in both.
        EXPECT_GT(countColour(mine, colour), 1000);
        EXPECT_NEAR(countColour(mine, colour), countColour(qt, colour),
                    countColour(qt, colour) / 50);
        // Where Qt drew nothing the engine drew at most a faint edge right beside Qt's ink.
        int strays = 0;
        for (int y = 1; y + 1 < size.height(); ++y) {
            for (int x = 1; x + 1 < size.width(); ++x) {
                if (qt.pixel(x, y) != kBack.rgba() || mine.pixel(x, y) == kBack.rgba())
                    continue;
                const bool besideInk =
                    qt.pixel(x - 1, y) != kBack.rgba() || qt.pixel(x + 1, y) != kBack.rgba() ||
                    qt.pixel(x, y - 1) != kBack.rgba() || qt.pixel(x, y + 1) != kBack.rgba();
                if (!besideInk || channelDiff(mine.pixel(x, y), kBack.rgba()) > 64)
                    ++strays;
            }
        }
        EXPECT_EQ(strays, 0);
    }
}

TEST(LargeText, DrawnOverAPictureKeepsItBetweenStrokes)
{
    // A transparent text: the background between the strokes stays as it was.
    QImage picture(400, 160, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, 128));
    }
    QImage mine = picture;
    QImage qt = picture;
    const QFont font = sized(110, "Liberation Sans");
    QRect rect(0, 0, 400, 160);
    {
        QPainter painter(&mine);
        TextEngine::drawText(painter, font, Qt::white, rect, "OAO", DT_CENTER);
    }
    {
        QPainter painter(&qt);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(rect, Qt::AlignHCenter | Qt::AlignTop, "OAO");
    }
    int changed = 0;
    int far = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            changed += mine.pixel(x, y) != picture.pixel(x, y) ? 1 : 0;
            far += channelDiff(mine.pixel(x, y), qt.pixel(x, y)) > 64 ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 2000);
    EXPECT_EQ(far, 0);
    // The holes of the "O"s show the picture.
    EXPECT_EQ(mine.pixel(200, 80) == picture.pixel(200, 80),
              qt.pixel(200, 80) == picture.pixel(200, 80));
}

TEST(LargeText, MnemonicHidesTheAmpersandAndUnderlines)
{
    const QFont font = sized(100, "Liberation Sans");
    const QSize size(400, 140);
    const QRect rect(0, 0, 400, 140);
    const int ascent = QFontMetrics(font).ascent();
    const QImage marked = viaEngine(font, kRed, rect, "&W", DT_LEFT, size);
    const QImage plain = viaEngine(font, kRed, rect, "W", DT_LEFT, size);
    const QImage literal = viaEngine(font, kRed, rect, "&W", DT_LEFT | DT_NOPREFIX, size);
    // Above the baseline the "&" is gone.
    EXPECT_EQ(marked.copy(0, 0, 400, ascent), plain.copy(0, 0, 400, ascent));
    EXPECT_NE(literal.copy(0, 0, 400, ascent), plain.copy(0, 0, 400, ascent));
    // Below it the underline stands under the "W" only, where Qt puts it.
    const QRect below(0, ascent + 1, 400, 140 - ascent - 1);
    EXPECT_TRUE(inkBounds(plain.copy(below)).isEmpty());
    const QRect line = inkBounds(marked.copy(below));
    ASSERT_FALSE(line.isEmpty());
    const QRect qtLine = inkBounds(viaQt(font, kRed, rect, "&W", DT_LEFT, size).copy(below));
    EXPECT_EQ(line, qtLine);
    EXPECT_LT(line.right(), QFontMetrics(font).horizontalAdvance("W") + 1);
    // "&&" is one ampersand, the same as a literal one.
    EXPECT_EQ(viaEngine(font, kRed, rect, "&&", DT_LEFT, size),
              viaEngine(font, kRed, rect, "&", DT_LEFT | DT_NOPREFIX, size));
}

TEST(LargeText, CentredLinesEachSitInTheMiddle)
{
    const QFont font = sized(100, "Liberation Sans");
    const QSize size(700, 260);
    const QRect rect(0, 0, 700, 260);
    const QImage image = viaEngine(font, kRed, rect, "WWWW\r\nI", DT_CENTER, size);
    const int lineHeight = QFontMetrics(font).height();
    const QRect first = inkBounds(image.copy(0, 0, 700, lineHeight));
    const QRect second = inkBounds(image.copy(0, lineHeight, 700, 260 - lineHeight));
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NEAR(first.center().x(), 350, 3);
    EXPECT_NEAR(second.center().x(), 350, 3);
    EXPECT_LT(second.width(), first.width() / 4);
}

TEST(LargeText, ClippedToTheRectangle)
{
    const QFont font = sized(200, "Liberation Sans");
    const QSize size(400, 300);
    QRect rect(50, 40, 120, 90);
    const QImage image = viaEngine(font, kRed, rect, "MW", DT_LEFT, size);
    const QRect ink = inkBounds(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(rect.contains(ink))
        << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
}

// ---- The cache itself -------------------------------------------------------------------------

TEST(GlyphCacheUse, SecondDrawAddsNothing)
{
    GlyphCache& cache = GlyphCache::forThisThread();
    cache.clear();
    const QFont font = sized(150, "Liberation Sans");
    const QSize size(900, 200);
    const QRect rect(0, 0, 900, 200);
    viaEngine(font, kRed, rect, "12:34:56", DT_CENTER, size);
    const qsizetype entries = cache.entryCount();
    const qsizetype bytes = cache.byteCount();
    EXPECT_GT(entries, 0);
    EXPECT_GT(bytes, 0);
    viaEngine(font, kRed, rect, "12:34:56", DT_CENTER, size);
    EXPECT_EQ(cache.entryCount(), entries);
    // Another colour and a whole-pixel move (the shadow copy) use the same glyphs.
    viaEngine(font, Qt::black, rect.translated(2, 2), "12:34:56", DT_CENTER, size);
    EXPECT_EQ(cache.entryCount(), entries);
    EXPECT_EQ(cache.byteCount(), bytes);
    // New glyphs are new entries.
    viaEngine(font, kRed, rect, "78:90", DT_CENTER, size);
    EXPECT_GT(cache.entryCount(), entries);
}

TEST(GlyphCacheUse, LookAheadDrawsNothingAndTheDrawingAfterItIsTheSame)
{
    GlyphCache& cache = GlyphCache::forThisThread();
    cache.clear();
    const QFont font = sized(150, "Liberation Sans");
    const QSize size(1400, 200);
    const QRect rect(0, 0, 1400, 200);
    const QString text = "12:34:56 7890 AW";
    {
        GlyphCache::LookAhead lookAhead(cache);
        EXPECT_EQ(viaEngine(font, kRed, rect, text, DT_CENTER, size), blank(size));
    }
    const QImage afterLookAhead = viaEngine(font, kRed, rect, text, DT_CENTER, size);
    cache.clear();
    EXPECT_EQ(afterLookAhead, viaEngine(font, kRed, rect, text, DT_CENTER, size));
}

TEST(GlyphCacheUse, SmallFontsStayWithQt)
{
    GlyphCache& cache = GlyphCache::forThisThread();
    cache.clear();
    const QFont font = sized(64, "Liberation Sans");
    const QSize size(400, 100);
    const QRect rect(0, 0, 400, 100);
    const QImage image = viaEngine(font, kRed, rect, "Small &text", DT_CENTER, size);
    EXPECT_EQ(cache.entryCount(), 0);
    EXPECT_EQ(image, viaQt(font, kRed, rect, "Small &text", DT_CENTER, size));
}

TEST(GlyphCacheUse, AnotherFontIsAnotherEntry)
{
    GlyphCache& cache = GlyphCache::forThisThread();
    cache.clear();
    const QSize size(300, 200);
    const QRect rect(0, 0, 300, 200);
    viaEngine(sized(120, "Liberation Sans"), kRed, rect, "A", DT_LEFT, size);
    const qsizetype one = cache.entryCount();
    QFont bold = sized(120, "Liberation Sans");
    bold.setBold(true);
    const QImage boldImage = viaEngine(bold, kRed, rect, "A", DT_LEFT, size);
    EXPECT_GT(cache.entryCount(), one);
    const qsizetype two = cache.entryCount();
    viaEngine(sized(121, "Liberation Sans"), kRed, rect, "A", DT_LEFT, size);
    EXPECT_GT(cache.entryCount(), two);
    // And the bold one is drawn bold, not from the regular one's image.
    EXPECT_LT(compare(boldImage, viaQt(bold, kRed, rect, "A", DT_LEFT, size)).share, 0.02);
}

TEST(GlyphCacheUse, StaysWithinItsBytes)
{
    GlyphCache cache(200 * 1024);
    QImage image = blank({1600, 300});
    QPainter painter(&image);
    painter.setFont(sized(200, "Liberation Sans"));
    TextPlacement placement;
    ASSERT_TRUE(TextEngine::placeText(painter, QRect(0, 0, 1600, 300), "ABCDEFGHIJKLMNOP",
                                      Qt::AlignLeft, placement));
    ASSERT_TRUE(cache.drawRuns(painter, placement.runs, kRed));
    EXPECT_GT(cache.entryCount(), 0);
    EXPECT_LE(cache.byteCount(), cache.maxBytes());
    painter.end();
    EXPECT_FALSE(inkBounds(image).isEmpty());
}

// ---- What stays with Qt's drawing ------------------------------------------------------------

TEST(QtFallback, ScaledCanvasIsDrawnByQt)
{
    const QFont font = sized(100, "Liberation Sans");
    QImage mine = blank({500, 300});
    QImage qt = blank({500, 300});
    QRect rect(0, 0, 240, 140);
    {
        QPainter painter(&mine);
        painter.scale(2, 2);
        TextEngine::drawText(painter, font, kRed, rect, "Ag", DT_LEFT);
    }
    {
        QPainter painter(&qt);
        painter.scale(2, 2);
        painter.setClipRect(rect);
        painter.setFont(font);
        painter.setPen(kRed);
        painter.drawText(rect, TextEngine::qtFlags(DT_LEFT), "Ag");
    }
    EXPECT_EQ(mine, qt);
}

TEST(QtFallback, FontsWithTheirOwnUnderlineAreDrawnByQt)
{
    QFont font = sized(100, "Liberation Sans");
    font.setUnderline(true);
    const QSize size(400, 140);
    const QRect rect(0, 0, 400, 140);
    const QImage mine = viaEngine(font, kRed, rect, "Under", DT_LEFT, size);
    EXPECT_EQ(mine, viaQt(font, kRed, rect, "Under", DT_LEFT, size));
    const int ascent = QFontMetrics(font).ascent();
    EXPECT_FALSE(inkBounds(mine.copy(0, ascent + 1, 400, 140 - ascent - 1)).isEmpty());
}

TEST(Measure, CalcRectIsUnchangedByTheCache)
{
    const QFont font = sized(100, "Liberation Sans");
    QImage image = blank({10, 10});
    QPainter painter(&image);
    QRect rect(5, 6, 1000, 10);
    TextEngine::drawText(painter, font, kRed, rect, "WW\r\nW", DT_LEFT | DT_CALCRECT);
    const QFontMetrics metrics(font);
    EXPECT_EQ(rect.topLeft(), QPoint(5, 6));
    EXPECT_NEAR(rect.width(), metrics.horizontalAdvance("WW"), 1);
    EXPECT_GE(rect.height(), 2 * metrics.height());
    painter.end();
    EXPECT_TRUE(inkBounds(image).isEmpty());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
