#include "display/FontFitting.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

#include "display/LineSplitter.h"

QFont fontAtPoints(const QFont& font, int points, int logicalDpiY)
{
    QFont sized(font);
    sized.setPixelSize(std::max(1, pointsToPixels(points, logicalDpiY)));
    return sized;
}

SampleMeasure::SampleMeasure(const QStringList& lines, const QFont& font, int logicalDpiY)
    : m_font(font)
    , m_logicalDpiY(logicalDpiY)
{
    for (const QString& line : lines) {
        if (!isBlankLine(line))
            m_measured.append(line);
    }
}

SampleExtent SampleMeasure::at(int points) const
{
    const QFontMetrics metrics(fontAtPoints(m_font, points, m_logicalDpiY));
    SampleExtent extent;
    extent.lineHeight = metrics.height();
    for (const QString& line : m_measured)
        extent.widestLine = std::max(extent.widestLine, metrics.horizontalAdvance(line));
    return extent;
}

namespace {

// Fonts drawn from fixed bitmaps jump between their few sizes; the quick search's steering
// does not hold for them.
bool scalesSmoothly(const QFont& font)
{
    const QFontInfo info(font);
    return QFontDatabase::isScalable(info.family(), QFontDatabase::styleString(info));
}

bool sampleHasText(const QString& sampleText)
{
    const QStringList lines = splitLines(sampleText);
    return !std::all_of(lines.cbegin(), lines.cend(), isBlankLine);
}

} // namespace

int fastFoundSize(const QString& sampleText, const QFont& titleFont, QSize titleArea,
                  int logicalDpiY)
{
    const QStringList lines = splitLines(sampleText);
    const SampleMeasure measure(lines, titleFont, logicalDpiY);
    if (!measure.hasText())
        return 0;
    const TitleRoom room {titleArea.width(), titleArea.height(), int(lines.size())};
    const ExtentAtSize extentAt = [&measure](int points) { return measure.at(points); };
    if (!scalesSmoothly(titleFont))
        return firstOverflowingSizeByScan(extentAt, room);
    return firstOverflowingSize(extentAt, room);
}

int plainFoundSize(const QString& sampleText, const QFont& titleFont, QSize titleArea,
                   int logicalDpiY)
{
    const QStringList lines = splitLines(sampleText);
    const qint64 lineCount = lines.size();
    for (int size = kSmallestTrialSize; size <= kLargestTrialSize; ++size) {
        const QFontMetrics metrics(fontAtPoints(titleFont, size, logicalDpiY));
        for (const QString& line : lines) {
            if (isBlankLine(line))
                continue;
            const int width = metrics.horizontalAdvance(line);
            const int height = metrics.height();
            if (width > titleArea.width() || lineCount * height > titleArea.height())
                return size;
        }
    }
    return 0;
}

int fitTitleFontSize(const QString& sampleText, const QFont& titleFont, QSize titleArea,
                     int logicalDpiY)
{
    return titleSizeForFound(fastFoundSize(sampleText, titleFont, titleArea, logicalDpiY),
                             sampleHasText(sampleText));
}

int plainScanFontSize(const QString& sampleText, const QFont& titleFont, QSize titleArea,
                      int logicalDpiY)
{
    return titleSizeForFound(plainFoundSize(sampleText, titleFont, titleArea, logicalDpiY),
                             sampleHasText(sampleText));
}
