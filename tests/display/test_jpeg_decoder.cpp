// JpegDecoder: colours and colour spaces, the scale it decodes at, and every kind of bad file
// turning into an EPictureError instead of a crash, a hang or a huge allocation.

#include "display/JpegDecoder.h"
#include "display/PictureLoader.h"

#include "picture_jpeg_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <jerror.h>
#include <jpeglib.h>

#include <chrono>
#include <random>
#include <sys/stat.h>

namespace {

class JpegDecoderTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString writeJpeg(const QByteArray& bytes, const QString& name = QStringLiteral("picture.jpg"))
    {
        const QString file = path(name);
        pictureWriteFile(file, bytes);
        return file;
    }

    // The message of the EPictureError that decoding `file` throws; fails the test when none.
    std::string decodeError(const QString& file, QSize area = {})
    {
        try {
            const QImage image = JpegDecoder::decode(file, area);
            ADD_FAILURE() << "decoded a " << image.width() << " x " << image.height() << " picture";
        } catch (const EPictureError& e) {
            return e.what();
        }
        return {};
    }

    QTemporaryDir m_dir;
};

// ---- colours -------------------------------------------------------------------------------

struct ColourCase {
    const char* name;
    PictureJpegOptions options;
    bool grey;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }

class JpegColourTest : public JpegDecoderTest, public ::testing::WithParamInterface<ColourCase> { };

TEST_P(JpegColourTest, EachQuadrantKeepsItsColour)
{
    const ColourCase& c = GetParam();
    const QImage source = pictureQuadrants(64, 48);
    const QImage image = JpegDecoder::decode(writeJpeg(pictureJpegBytes(source, c.options)), {});

    ASSERT_EQ(image.size(), source.size());
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    for (const QPoint at : {QPoint(16, 12), QPoint(48, 12), QPoint(16, 36), QPoint(48, 36)}) {
        QColor expected = source.pixelColor(at);
        if (c.grey) {
            const int level = qGray(expected.rgb());
            expected = QColor(level, level, level);
        }
        const QColor actual = image.pixelColor(at);
        EXPECT_TRUE(pictureColoursNear(actual, expected))
            << "at " << at.x() << "," << at.y() << ": " << actual.name().toStdString()
            << " instead of " << expected.name().toStdString();
        if (c.grey) {
            EXPECT_EQ(actual.red(), actual.green());
            EXPECT_EQ(actual.green(), actual.blue());
        }
    }
}

using Colours = PictureJpegOptions::Colours;

const ColourCase kColourCases[] = {
    {"Baseline", {}, false},
    {"Progressive", {.progressive = true}, false},
    {"WithoutAnyApplicationMarker", {.jfifMarker = false}, false},
    {"HalfResolutionChroma", {.fullChroma = false}, false},
    {"Greyscale", {.colours = Colours::Grey}, true},
    {"GreyscaleProgressive", {.colours = Colours::Grey, .progressive = true}, true},
    {"AdobeCmyk", {.colours = Colours::AdobeCmyk}, false},
    {"PlainCmyk", {.colours = Colours::PlainCmyk}, false},
    {"AdobeCmykProgressive", {.colours = Colours::AdobeCmyk, .progressive = true}, false},
};

INSTANTIATE_TEST_SUITE_P(Decode, JpegColourTest, ::testing::ValuesIn(kColourCases),
                         [](const auto& test) { return std::string(test.param.name); });

// ---- scale ---------------------------------------------------------------------------------

struct ScaleCase {
    const char* name;
    QSize picture;
    QSize area;
    QSize decoded;
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.name; }

class JpegScaleTest : public JpegDecoderTest, public ::testing::WithParamInterface<ScaleCase> { };

TEST_P(JpegScaleTest, DecodesAtSmallestScaleThatCoversTheDrawnPicture)
{
    const ScaleCase& c = GetParam();
    const QImage source = pictureQuadrants(c.picture.width(), c.picture.height());
    const QString file = writeJpeg(pictureJpegBytes(source, {.quality = 75}));

    const QImage image = JpegDecoder::decode(file, c.area);
    EXPECT_EQ(image.size(), c.decoded);
    // Scaled or not, the picture is the same picture: the top-left field is still red.
    EXPECT_TRUE(
        pictureColoursNear(image.pixelColor(image.width() / 4, image.height() / 4), Qt::red));
}

const ScaleCase kScaleCases[] = {
    {"NoAreaMeansFullSize", {1600, 1200}, {}, {1600, 1200}},
    {"AreaOfPictureSizeIsFullSize", {1600, 1200}, {1600, 1200}, {1600, 1200}},
    {"LargerAreaIsFullSize", {1600, 1200}, {3000, 3000}, {1600, 1200}},
    {"ExactlyHalf", {1600, 1200}, {800, 600}, {800, 600}},
    {"JustUnderHalf", {1600, 1200}, {799, 600}, {800, 600}},
    {"JustOverHalfNeedsFullSize", {1600, 1200}, {801, 601}, {1600, 1200}},
    {"ExactlyEighth", {1600, 1200}, {200, 150}, {200, 150}},
    {"JustOverEighthNeedsQuarter", {1600, 1200}, {201, 151}, {400, 300}},
    // Only the drawn rectangle has to be covered: in a tall area the picture is drawn 300 x 225.
    {"TallAreaCountsDrawnRectangleOnly", {1600, 1200}, {300, 1000}, {400, 300}},
    {"WideAreaCountsDrawnRectangleOnly", {1600, 1200}, {1000, 300}, {400, 300}},
    {"ScaledSidesRoundUp", {100, 75}, {13, 10}, {13, 10}},
    {"PortraitPicture", {600, 1000}, {1920, 240}, {150, 250}},
};

INSTANTIATE_TEST_SUITE_P(Decode, JpegScaleTest, ::testing::ValuesIn(kScaleCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(JpegScaleChoice, PhotoForFullHdScreenIsDecodedAtHalfSize)
{
    // 6000 x 4000 drawn in 1920 x 1080 is 1620 x 1080: a quarter (1500 x 1000) would be too small.
    EXPECT_EQ(JpegDecoder::scaleDenominator({6000, 4000}, {1920, 1080}), 2);
}

// ---- broken files --------------------------------------------------------------------------

struct CutCase {
    const char* name;
    bool progressive;
    // Where the file is cut, from its length: 0 means just before the first scan.
    double keep;
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }

class JpegTruncatedTest : public JpegDecoderTest, public ::testing::WithParamInterface<CutCase> { };

TEST_P(JpegTruncatedTest, TruncatedFileIsCorrupt)
{
    const CutCase& c = GetParam();
    const QByteArray whole =
        pictureJpegBytes(pictureQuadrants(64, 64), {.progressive = c.progressive});
    qsizetype length = static_cast<qsizetype>(static_cast<double>(whole.size()) * c.keep);
    if (c.keep == 0)
        length = whole.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(length, 0);

    const std::string message = decodeError(writeJpeg(whole.left(length)));
    EXPECT_NE(message.find(pictureLibjpegMessage(JWRN_JPEG_EOF)), std::string::npos) << message;
}

const CutCase kCutCases[] = {
    {"BeforeFirstScan", false, 0},
    {"HalfWayThroughScan", false, 0.5},
    {"ProgressiveHalfWay", true, 0.5},
    {"ProgressiveBeforeFirstScan", true, 0},
};

INSTANTIATE_TEST_SUITE_P(Decode, JpegTruncatedTest, ::testing::ValuesIn(kCutCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(JpegDecoderTest, FileWithoutEndMarkerIsCorrupt)
{
    const QByteArray whole = pictureJpegBytes(pictureQuadrants(64, 64));
    ASSERT_TRUE(whole.endsWith(QByteArray("\xFF\xD9", 2)));
    const std::string message = decodeError(writeJpeg(whole.chopped(2)));
    EXPECT_NE(message.find(pictureLibjpegMessage(JWRN_JPEG_EOF)), std::string::npos) << message;
}

TEST_F(JpegDecoderTest, DamagedScanDataIsCorrupt)
{
    QByteArray bytes = pictureJpegBytes(pictureQuadrants(64, 64));
    const qsizetype scan = bytes.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(scan, 0);
    // A marker in the middle of the entropy-coded data cuts the scan short.
    const qsizetype middle = scan + (bytes.size() - scan) / 2;
    bytes[middle] = '\xFF';
    bytes[middle + 1] = '\xD0';
    EXPECT_FALSE(decodeError(writeJpeg(bytes)).empty());
}

TEST_F(JpegDecoderTest, GarbageIsNotAJpegFile)
{
    std::mt19937 random(7);
    QByteArray bytes(4096, '\0');
    for (auto& byte : bytes)
        byte = static_cast<char>(random() % 200);
    const std::string message = decodeError(writeJpeg(bytes));
    EXPECT_NE(message.find(pictureLibjpegMessage(JERR_NO_SOI)), std::string::npos) << message;
}

TEST_F(JpegDecoderTest, GarbageAfterStartMarkerIsCorrupt)
{
    std::mt19937 random(11);
    QByteArray bytes("\xFF\xD8", 2);
    for (int i = 0; i < 4096; ++i)
        bytes.append(static_cast<char>(random() % 256));
    EXPECT_FALSE(decodeError(writeJpeg(bytes)).empty());
}

TEST_F(JpegDecoderTest, EmptyFileIsReported)
{
    const std::string message = decodeError(writeJpeg({}));
    EXPECT_NE(message.find(pictureLibjpegMessage(JERR_INPUT_EMPTY)), std::string::npos) << message;
}

TEST_F(JpegDecoderTest, MessageNamesTheFile)
{
    const QString file = writeJpeg({}, QStringLiteral("Hintergrund.jpg"));
    EXPECT_NE(decodeError(file).find(file.toStdString()), std::string::npos);
}

TEST_F(JpegDecoderTest, MissingFileIsReported)
{
    EXPECT_FALSE(decodeError(path(QStringLiteral("absent.jpg"))).empty());
}

TEST_F(JpegDecoderTest, DirectoryIsReported)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.jpg")));
    EXPECT_FALSE(decodeError(path(QStringLiteral("folder.jpg"))).empty());
}

TEST_F(JpegDecoderTest, NamedPipeIsRefusedWithoutWaitingForAWriter)
{
    const QString fifo = path(QStringLiteral("pipe.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(decodeError(fifo).empty());
}

// ---- size limit ----------------------------------------------------------------------------

struct HeaderSizeCase {
    const char* name;
    int width;
    int height;
    bool refused;
};

void PrintTo(const HeaderSizeCase& c, std::ostream* os) { *os << c.name; }

class JpegHeaderSizeTest : public JpegDecoderTest,
                           public ::testing::WithParamInterface<HeaderSizeCase> { };

// The file holds a 16 x 16 picture under a header that claims more: a refused header is never
// decoded, so its error is the refusal; an accepted one runs out of data and is corrupt.
TEST_P(JpegHeaderSizeTest, HeaderOverLimitIsRefusedBeforeDecoding)
{
    const HeaderSizeCase& c = GetParam();
    const QByteArray small = pictureJpegBytes(pictureQuadrants(16, 16));
    const QString file = writeJpeg(pictureWithHeaderSize(small, c.width, c.height));

    const std::string message = decodeError(file, {64, 64});
    const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
    const bool namesSize = message.find(size) != std::string::npos;
    EXPECT_EQ(namesSize, c.refused) << message;
}

const HeaderSizeCase kHeaderSizeCases[] = {
    {"LargestHeaderLibjpegReads", 65500, 65500, true},
    {"JustOver256MiB", 8192, 8193, true},
    {"Exactly256MiB", 8192, 8192, false},
    {"WideAndLow", 65500, 1100, true},
    {"Ordinary", 4000, 3000, false},
};

INSTANTIATE_TEST_SUITE_P(Decode, JpegHeaderSizeTest, ::testing::ValuesIn(kHeaderSizeCases),
                         [](const auto& test) { return std::string(test.param.name); });

// ---- scan and time limits ------------------------------------------------------------------

struct WorkCase {
    const char* name;
    QSize picture;
    PictureJpegOptions options;
    std::chrono::milliseconds timeLimit;
    bool decodes, tooSlow;
};

void PrintTo(const WorkCase& c, std::ostream* os) { *os << c.name; }

class JpegWorkTest : public JpegDecoderTest, public ::testing::WithParamInterface<WorkCase> { };

// Each scan is another pass over the picture: too many scans are refused by their count, a
// decode that runs too long by its time limit.
TEST_P(JpegWorkTest, SlowFilesAreRefusedAndOrdinaryOnesDecode)
{
    const WorkCase& c = GetParam();
    const QImage source = pictureQuadrants(c.picture.width(), c.picture.height());
    const QString file = writeJpeg(pictureJpegBytes(source, c.options));
    std::string message;
    try {
        EXPECT_FALSE(JpegDecoder::decode(file, {}, c.timeLimit).isNull());
    } catch (const EPictureError& e) {
        message = e.what();
    }
    EXPECT_EQ(message.empty(), c.decodes) << message;
    EXPECT_EQ(message.find("too long to decode") != std::string::npos, c.tooSlow) << message;
}

constexpr int kScans = JpegDecoder::kMaxScans;
constexpr auto kLimit = JpegDecoder::kTimeLimit;
constexpr std::chrono::milliseconds kMoment {1};

const WorkCase kWorkCases[] = {
    {"SimpleProgression", {1600, 1200}, {.progressive = true}, kLimit, true, false},
    {"ScansUpToTheCount", {16, 16}, {.scans = kScans}, kLimit, true, false},
    {"OneScanOverTheCount", {16, 16}, {.scans = kScans + 1}, kLimit, false, false},
    // A hundred passes over four megapixels, or even one, take far longer than a millisecond.
    {"ManyScansOverTheTime", {2048, 2048}, {.scans = kScans}, kMoment, false, true},
    {"BaselineOverTheTime", {2048, 2048}, {}, kMoment, false, true},
};

INSTANTIATE_TEST_SUITE_P(Decode, JpegWorkTest, ::testing::ValuesIn(kWorkCases),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
