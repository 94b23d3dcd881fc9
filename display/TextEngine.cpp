#include "display/TextEngine.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>
#include <limits>

#include "display/GlyphCache.h"

int TextEngine::qtFlags(uint16_t flags)
{
    int qt = Qt::AlignTop;
    if (flags & DT_RIGHT)
        qt |= Qt::AlignRight;
    else if (flags & DT_CENTER)
        qt |= Qt::AlignHCenter;
    else
        qt |= Qt::AlignLeft;
    if (flags & DT_WORDBREAK)
        qt |= Qt::TextWordWrap;
    if (flags & DT_EXPANDTABS)
        qt |= Qt::TextExpandTabs;
    if (!(flags & DT_NOPREFIX))
        qt |= Qt::TextShowMnemonic;
    return qt;
}

QString TextEngine::withLineBreaks(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            result.append(u'\n');
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else {
            result.append(c);
        }
    }
    return result;
}

int TextEngine::tabStopDistance(const QFont& font)
{
    return qRound(QFontMetricsF(font).horizontalAdvance(u'x') * 8);
}

int TextEngine::lineWidth(const QFont& font, const QString& line)
{
    if (!line.contains(u'\t'))
        return QFontMetrics(font).horizontalAdvance(line);
    QTextOption option;
    if (const int tabStop = tabStopDistance(font); tabStop > 0)
        option.setTabStopDistance(tabStop);
    option.setWrapMode(QTextOption::NoWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    QTextLayout layout(line, font);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine laid = layout.createLine();
    if (laid.isValid())
        laid.setLineWidth(qreal(0x01000000));
    layout.endLayout();
    return laid.isValid() ? qRound(laid.horizontalAdvance()) : 0;
}

bool TextEngine::placeText(const QPainter& canvas, const QRect& rect, const QString& lines, int qt,
                           TextPlacement& placement)
{
    const QFont& font = canvas.font();
    const Qt::LayoutDirection direction = canvas.layoutDirection();
    if (direction == Qt::RightToLeft || font.underline() || font.overline() || font.strikeOut() ||
        lines.contains(QChar(0x9C)))
        return false;

    const bool wordWrap = qt & Qt::TextWordWrap;
    // A tab advances to the next stop counted from the line's start, whatever the alignment;
    // a centred or right-aligned line is placed with its tabs expanded (Qt would show a space).
    const bool expandTabs = qt & Qt::TextExpandTabs;
    const QFontMetricsF metrics(font);

    QString shown;
    shown.reserve(lines.size());
    bool hasTab = false;
    for (QChar c : lines) {
        if (c == u'\r')
            c = u' ';
        else if (c == u'\n')
            c = QChar::LineSeparator;
        else if (c == u'\t' && !expandTabs)
            c = u' ';
        hasTab = hasTab || c == u'\t';
        shown.append(c);
    }

    // "&x" shows x underlined, "&&" one "&"; a lone "&" at the end shows nothing.
    QList<QTextLayout::FormatRange> marks;
    if (qt & Qt::TextShowMnemonic) {
        QString kept;
        kept.reserve(shown.size());
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (shown.at(i) == u'&') {
                if (++i == shown.size())
                    break;
                if (shown.at(i) != u'&') {
                    QTextLayout::FormatRange mark;
                    mark.start = int(kept.size());
                    mark.length = 1;
                    mark.format.setFontUnderline(true);
                    marks.append(mark);
                }
            }
            kept.append(shown.at(i));
        }
        shown = kept;
    }
    if (shown.isEmpty())
        return true;

    QTextOption option;
    option.setTextDirection(direction);
    option.setAlignment(Qt::AlignLeft); // each line is placed below, as Qt does
    if (hasTab) {
        if (const int tabStop = tabStopDistance(font); tabStop > 0)
            option.setTabStopDistance(tabStop);
    }
    if (!wordWrap)
        option.setFlags(option.flags() | QTextOption::IncludeTrailingSpaces);

    QTextLayout layout(shown, font);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.setFormats(marks);

    const QRectF frame(rect);
    const qreal lineWidth = wordWrap ? std::max<qreal>(0, frame.width()) : qreal(0x01000000);
    const qreal leading = metrics.leading();
    qreal height = -leading;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(lineWidth);
        height += leading;
        // Lines start on whole pixels.
        height = std::ceil(height);
        line.setPosition(QPointF(0, height));
        height += line.ascent() + line.descent();
        // Lines below the rectangle would be clipped away entirely.
        if (height >= frame.height())
            break;
    }
    layout.endLayout();

    // Where Qt puts a mnemonic's underline: below the baseline by the font's underline offset
    // rounded up, but within the descent.
    const qreal offset = metrics.underlinePos();
    qreal underlineOffset = std::ceil(offset) + 0.5;
    if (offset <= metrics.descent())
        underlineOffset = std::min(underlineOffset, metrics.descent() - 0.5);
    placement.underlineWidth = metrics.lineWidth();

    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        qreal xoff = 0;
        if (qt & Qt::AlignRight)
            xoff = frame.width() - line.horizontalAdvance();
        else if (qt & Qt::AlignHCenter)
            xoff = (frame.width() - line.horizontalAdvance()) / 2;
        const QPointF origin(frame.x() + xoff, frame.y());
        for (QGlyphRun run : line.glyphRuns()) {
            QList<QPointF> positions = run.positions();
            for (QPointF& p : positions)
                p += origin;
            run.setPositions(positions);
            placement.runs.append(run);
        }
        const int first = line.textStart();
        const int end = first + line.textLength();
        const qreal baseline = origin.y() + line.y() + line.ascent();
        for (const QTextLayout::FormatRange& mark : marks) {
            if (mark.start < first || mark.start >= end)
                continue;
            const qreal x1 = std::floor(origin.x() + line.cursorToX(mark.start));
            const qreal x2 = std::floor(origin.x() + line.cursorToX(mark.start + 1));
            placement.underlines.append(
                QLineF(x1, baseline + underlineOffset, x2, baseline + underlineOffset));
        }
    }
    return true;
}

namespace {

void drawUnderlines(QPainter& canvas, const QColor& color, const TextPlacement& placement)
{
    if (placement.underlines.isEmpty())
        return;
    canvas.setPen(QPen(color, placement.underlineWidth, Qt::SolidLine, Qt::FlatCap));
    // One line at a time, as Qt draws its decorations.
    for (const QLineF& underline : placement.underlines)
        canvas.drawLine(underline);
}

bool drawnFromCache(QPainter& canvas, const QColor& color, const QRect& rect, const QString& lines,
                    int qt)
{
    if (canvas.fontInfo().pixelSize() <= TextEngine::kLargestQtCachedGlyph)
        return false;
    TextPlacement placement;
    if (!TextEngine::placeText(canvas, rect, lines, qt, placement))
        return false;
    if (!GlyphCache::forThisThread().drawRuns(canvas, placement.runs, color))
        return false;
    drawUnderlines(canvas, color, placement);
    return true;
}

// Qt's own drawing shows a tab in a centred or right-aligned line as a space; such lines are
// placed here with their tabs expanded, as the large sizes are.
bool drawnWithOwnTabs(QPainter& canvas, const QColor& color, const QRect& rect,
                      const QString& lines, int qt)
{
    if (!(qt & Qt::TextExpandTabs) || (qt & Qt::AlignLeft) || !lines.contains(u'\t'))
        return false;
    TextPlacement placement;
    if (!TextEngine::placeText(canvas, rect, lines, qt, placement))
        return false;
    for (QGlyphRun run : placement.runs) {
        // The placement's own lines stand for the mnemonics' underlines.
        run.setUnderline(false);
        canvas.drawGlyphRun(QPointF(0, 0), run);
    }
    drawUnderlines(canvas, color, placement);
    return true;
}

} // namespace

void TextEngine::drawText(QPainter& canvas, const QFont& font, const QColor& color, QRect& rect,
                          const QString& text, uint16_t flags) noexcept
{
    try {
        const QString lines = withLineBreaks(text);
        const int qt = qtFlags(flags);
        if (flags & DT_CALCRECT) {
            const QFontMetrics metrics(font, canvas.device());
            // Without word breaks a line is as wide as it is; with them it breaks at the
            // rectangle's width (a word wider than that still stands whole).
            constexpr int kUnbounded = std::numeric_limits<int>::max() / 4;
            const int wrapWidth = (flags & DT_WORDBREAK) ? std::max(rect.width(), 0) : kUnbounded;
            const QRect frame(0, 0, wrapWidth, kUnbounded);
            const int leftTop = (qt & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
            const QRect extent = metrics.boundingRect(frame, leftTop, lines);
            rect.setWidth(extent.width());
            rect.setHeight(extent.height());
            return;
        }
        if (rect.width() <= 0 || rect.height() <= 0 || lines.isEmpty())
            return;
        canvas.save();
        struct Restore {
            QPainter& canvas;
            ~Restore() { canvas.restore(); }
        } restore {canvas};
        canvas.setClipRect(rect, canvas.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        canvas.setFont(font);
        canvas.setPen(color);
        canvas.setBrush(Qt::NoBrush);
        canvas.setBackgroundMode(Qt::TransparentMode);
        if (!drawnFromCache(canvas, color, rect, lines, qt) &&
            !drawnWithOwnTabs(canvas, color, rect, lines, qt))
            canvas.drawText(rect, qt, lines);
    } catch (...) {
        // Out of memory while laying out: the text is left out of this paint.
    }
}
