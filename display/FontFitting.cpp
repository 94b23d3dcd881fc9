#include "display/FontFitting.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

#include "display/LineSplitter.h"
#include "display/TextEngine.h"

QFont fontAtPoints(const QFont& font, int points, int logicalDpiY)
{
    QFont sized(font);
    sized.setPixelSize(std::max(1, pointsToPixels(points, logicalDpiY)));
    return sized;
}

namespace {

// A line's width as the title draws it; only a line with a tab needs the text engine's layout.
int drawnWidth(const QFontMetrics& metrics, const QFont& font, const QString& line)
{
    return line.contains(u'\t') ? TextEngine::lineWidth(font, line)
                                : metrics.horizontalAdvance(line);
}

} // namespace

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
    const QFont sized = fontAtPoints(m_font, points, m_logicalDpiY);
    const QFontMetrics metrics(sized);
    SampleExtent extent;
    extent.lineHeight = metrics.height();
    for (const QString& line : m_measured)
        extent.widestLine = std::max(extent.widestLine, drawnWidth(metrics, sized, line));
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
        const QFont sized = fontAtPoints(titleFont, size, logicalDpiY);
        const QFontMetrics metrics(sized);
        for (const QString& line : lines) {
            if (isBlankLine(line))
                continue;
            const int width = drawnWidth(metrics, sized, line);
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
