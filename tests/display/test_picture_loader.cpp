// loadPicture: the decoder follows the extension, bitmaps go through Qt's reader, and every
// bad file becomes an EPictureError with the reader's reason.

#include "display/PictureLoader.h"

#include "picture_jpeg_support.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <sys/stat.h>

namespace {

class PictureLoaderTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString file = path(name);
        pictureWriteFile(file, bytes);
        return file;
    }

    static QByteArray bitmapBytes(const QImage& image)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, "BMP"));
        return bytes;
    }

    std::string loadError(const QString& file, QSize area = {})
    {
        try {
            const QImage image = loadPicture(file, area);
            ADD_FAILURE() << "loaded a " << image.width() << " x " << image.height() << " picture";
        } catch (const EPictureError& e) {
            return e.what();
        }
        return {};
    }

    QTemporaryDir m_dir;
};

void expectQuadrants(const QImage& image, int tolerance)
{
    ASSERT_FALSE(image.isNull());
    const int w = image.width(), h = image.height();
    EXPECT_TRUE(pictureColoursNear(image.pixelColor(w / 4, h / 4), Qt::red, tolerance));
    EXPECT_TRUE(pictureColoursNear(image.pixelColor(3 * w / 4, h / 4), Qt::green, tolerance));
    EXPECT_TRUE(pictureColoursNear(image.pixelColor(w / 4, 3 * h / 4), Qt::blue, tolerance));
    EXPECT_TRUE(pictureColoursNear(image.pixelColor(3 * w / 4, 3 * h / 4), Qt::white, tolerance));
}

class JpegExtensionTest : public PictureLoaderTest,
                          public ::testing::WithParamInterface<const char*> { };

// Only our decoder scales while decoding: a 400 x 300 picture for a 100 x 75 area comes back
// at a quarter, which Qt's reader would not do.
TEST_P(JpegExtensionTest, JpegExtensionInAnyCaseGoesToOurDecoder)
{
    const QString file =
        write(QString::fromLatin1(GetParam()), pictureJpegBytes(pictureQuadrants(400, 300)));
    const QImage image = loadPicture(file, {100, 75});
    EXPECT_EQ(image.size(), QSize(100, 75));
    expectQuadrants(image, 12);
}

INSTANTIATE_TEST_SUITE_P(Load, JpegExtensionTest,
                         ::testing::Values("a.jpg", "b.JPG", "c.jpeg", "d.JPEG", "e.Jpg"));

TEST_F(PictureLoaderTest, BitmapIsReadWithItsExactColours)
{
    const QImage source = pictureQuadrants(40, 30);
    const QImage image =
        loadPicture(write(QStringLiteral("bild.bmp"), bitmapBytes(source)), {10, 10});
    EXPECT_EQ(image.size(), source.size());
    expectQuadrants(image, 0);
}

TEST_F(PictureLoaderTest, UpperCaseBitmapExtensionIsRead)
{
    const QImage image =
        loadPicture(write(QStringLiteral("BILD.BMP"), bitmapBytes(pictureQuadrants(8, 8))), {});
    expectQuadrants(image, 0);
}

struct BadBitmapCase {
    const char* name;
    QByteArray (*make)(const QByteArray& goodBitmap);
};

void PrintTo(const BadBitmapCase& c, std::ostream* os) { *os << c.name; }

class BadBitmapTest : public PictureLoaderTest,
                      public ::testing::WithParamInterface<BadBitmapCase> { };

TEST_P(BadBitmapTest, IsReportedWithReadersReason)
{
    const QByteArray good = bitmapBytes(pictureQuadrants(64, 64));
    const QString file = write(QStringLiteral("bild.bmp"), GetParam().make(good));
    const std::string message = loadError(file);
    // The file's name, then a reason of its own.
    const std::string prefix = QDir::toNativeSeparators(file).toStdString() + ": ";
    ASSERT_EQ(message.rfind(prefix, 0), 0u) << message;
    EXPECT_GT(message.size(), prefix.size() + 3) << message;
}

void setLittleEndian32(QByteArray& bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

const BadBitmapCase kBadBitmapCases[] = {
    {"Empty", [](const QByteArray&) { return QByteArray(); }},
    {"Garbage", [](const QByteArray&) { return QByteArray(2000, '\x5A'); }},
    {"OnlyFileHeader", [](const QByteArray& good) { return good.left(14); }},
    {"HeaderCutShort", [](const QByteArray& good) { return good.left(30); }},
    {"PixelsCutShort", [](const QByteArray& good) { return good.left(good.size() / 2); }},
    {"LastByteMissing", [](const QByteArray& good) { return good.chopped(1); }},
    {"JpegDataUnderBitmapName",
     [](const QByteArray&) { return pictureJpegBytes(pictureQuadrants(16, 16)); }},
    {"HugeClaimedSize",
     [](const QByteArray& good) {
         QByteArray bytes = good;
         setLittleEndian32(bytes, 18, 60000); // width
         setLittleEndian32(bytes, 22, 60000); // height
         return bytes;
     }},
    {"NegativeWidth",
     [](const QByteArray& good) {
         QByteArray bytes = good;
         setLittleEndian32(bytes, 18, 0xFFFFFFF0u);
         return bytes;
     }},
};

INSTANTIATE_TEST_SUITE_P(Load, BadBitmapTest, ::testing::ValuesIn(kBadBitmapCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(PictureLoaderTest, CorruptJpegCarriesLibjpegsMessage)
{
    const QByteArray whole = pictureJpegBytes(pictureQuadrants(64, 64));
    const QString file = write(QStringLiteral("0.jpg"), whole.left(whole.size() / 2));
    const std::string message = loadError(file);
    EXPECT_NE(message.find(pictureLibjpegMessage(JWRN_JPEG_EOF)), std::string::npos) << message;
}

TEST_F(PictureLoaderTest, MissingFileIsAnError)
{
    EXPECT_FALSE(loadError(path(QStringLiteral("0.bmp"))).empty());
    EXPECT_FALSE(loadError(path(QStringLiteral("0.jpg"))).empty());
}

TEST_F(PictureLoaderTest, DirectoryIsAnError)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.bmp")));
    EXPECT_FALSE(loadError(path(QStringLiteral("folder.bmp"))).empty());
}

TEST_F(PictureLoaderTest, NamedPipeIsAnErrorWithoutWaitingForAWriter)
{
    const QString fifo = path(QStringLiteral("pipe.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(loadError(fifo).empty());
}

} // namespace
