#include "display/TextEngine.h"

#include <QFontMetrics>
#include <QPainter>

#include <limits>

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

void TextEngine::drawText(QPainter& canvas, const QFont& font, const QColor& color, QRect& rect,
                          const QString& text, uint16_t flags)
{
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
    canvas.setClipRect(rect, canvas.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    canvas.setFont(font);
    canvas.setPen(color);
    canvas.setBrush(Qt::NoBrush);
    canvas.setBackgroundMode(Qt::TransparentMode);
    canvas.drawText(rect, qt, lines);
    canvas.restore();
}
