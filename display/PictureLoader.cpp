#include "display/PictureLoader.h"

#include "display/JpegDecoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

namespace {

// Qt's bitmap reader shows a file that was cut short as a whole picture with its missing rows
// made up, and reports no error. For uncompressed bitmaps the header says how long the file
// must be, so the shortfall is found before reading. Other kinds are left to the reader.
QString bitmapShortfall(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(34);
    if (head.size() < 34 || !head.startsWith("BM"))
        return {};
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    const qint64 pixelOffset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + 14);
    const qint64 width = qFromLittleEndian<qint32>(bytes + 18);
    const qint64 height = qFromLittleEndian<qint32>(bytes + 22);
    const qint64 bitsPerPixel = qFromLittleEndian<quint16>(bytes + 28);
    const quint32 compression = qFromLittleEndian<quint32>(bytes + 30);
    constexpr quint32 kUncompressed = 0;
    constexpr quint32 kBitFields = 3;
    if (infoSize < 40 || (compression != kUncompressed && compression != kBitFields) ||
        width <= 0 || height == 0 || bitsPerPixel == 0 || bitsPerPixel > 32)
        return {};
    const qint64 bytesPerRow = (width * bitsPerPixel + 31) / 32 * 4;
    const qint64 needed = pixelOffset + bytesPerRow * qAbs(height);
    if (file.size() >= needed)
        return {};
    return QStringLiteral("the bitmap is truncated (%1 of %2 bytes)").arg(file.size()).arg(needed);
}

// Bitmaps and whatever else is not JPEG. The format follows the extension, as for JPEG: a
// ".bmp" holding something else is an error, not a guess by content. Unlike a JPEG's scans, a
// bitmap is read in one pass over its pixels and its file, and the allocation limit bounds the
// pixels (64 megapixels take about a third of a second), so it needs no time limit.
QImage readWithQt(const QString& path, const QString& suffix)
{
    QImageReader reader(path);
    if (suffix == QLatin1String("bmp")) {
        if (const QString shortfall = bitmapShortfall(path); !shortfall.isEmpty())
            throw EPictureError(pictureErrorText(path, shortfall));
        reader.setFormat("bmp");
        reader.setAutoDetectImageFormat(false);
    }
    reader.setAllocationLimit(static_cast<int>(kMaxPictureBytes / (1024 * 1024)));
    QImage image = reader.read();
    if (image.isNull())
        throw EPictureError(pictureErrorText(path, reader.errorString()));
    return image;
}

} // namespace

std::string pictureErrorText(const QString& path, const QString& reason)
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason).toStdString();
}

void requireRegularFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw EPictureError(pictureErrorText(path, QStringLiteral("file not found")));
    if (!info.isFile())
        throw EPictureError(pictureErrorText(path, QStringLiteral("not a regular file")));
}

QImage loadPicture(const QString& path, QSize largestArea)
{
    requireRegularFile(path);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return JpegDecoder::decode(path, largestArea);
    return readWithQt(path, suffix);
}
