#include "display/Label3D.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "display/Bevel.h"
#include "display/FontSizeSearch.h"
#include "display/GlyphCache.h"

TLabel3D::TLabel3D(QWidget* parent)
    : QLabel(parent)
{
    resize(65, 17);
    const QFont inherited = font();
    m_fontPoints = inherited.pointSize() > 0
                       ? inherited.pointSize()
                       : int(std::lround(QFontInfo(inherited).pixelSize() * 72.0 / logicalDpiY()));
}

void TLabel3D::setFirstColor(TColor value) { store(m_firstColor, value); }
void TLabel3D::setLastColor(TColor value) { store(m_lastColor, value); }
void TLabel3D::setFillGradient(bool value) { store(m_fillGradient, value); }
void TLabel3D::setGradientOrientation(TGradientOrientation value)
{
    store(m_gradientOrientation, value);
}
void TLabel3D::setHighLightColor(TColor value) { store(m_highLightColor, value); }
void TLabel3D::setShadowColor(TColor value) { store(m_shadowColor, value); }
void TLabel3D::setBevel(TLabel3DBevel value) { store(m_bevel, value); }
void TLabel3D::setShadowSize(uint8_t value) { store(m_shadowSize, value); }
void TLabel3D::setBorderColor(TColor value) { store(m_borderColor, value); }
void TLabel3D::setBorderWidth(int32_t value) { store(m_borderWidth, value); }
void TLabel3D::setBorderStyle(TLabel3DBorderStyle value) { store(m_borderStyle, value); }
void TLabel3D::setCaption(const QString& value)
{
    store(m_caption, value);
    // What the label shows is what a screen reader reads out.
    setAccessibleName(value);
}
void TLabel3D::setColor(TColor value) { store(m_color, value); }
void TLabel3D::setFontColor(TColor value) { store(m_fontColor, value); }
void TLabel3D::setFontCharset(int value) { m_fontCharset = value; }
void TLabel3D::setTextAlignment(TAlignment value) { store(m_alignment, value); }
void TLabel3D::setTextLayout(TTextLayout value) { store(m_layout, value); }
void TLabel3D::setWordWrap(bool value) { store(m_wordWrap, value); }
void TLabel3D::setShowAccelChar(bool value) { store(m_showAccelChar, value); }
void TLabel3D::setTransparent(bool value) { store(m_transparent, value); }

void TLabel3D::setFontPointSize(int points)
{
    m_fontPoints = std::max(points, 0);
    applyFontSize();
}

void TLabel3D::applyFontSize()
{
    QFont sized = font();
    if (m_fontPoints > 0)
        sized.setPixelSize(std::max(1, pointsToPixels(m_fontPoints, logicalDpiY())));
    else
        sized.setPixelSize(std::max(1, QFontInfo(QGuiApplication::font()).pixelSize()));
    if (sized == font() && sized.resolveMask() == font().resolveMask())
        return;
    m_applyingFontSize = true;
    setFont(sized);
    m_applyingFontSize = false;
    update();
}

void TLabel3D::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange && !m_applyingFontSize) {
        // A font handed over in points (a font chooser's) becomes this label's point size;
        // one given in pixels keeps its pixels.
        const QFont given = font();
        if (given.pointSizeF() > 0) {
            m_fontPoints = int(std::lround(given.pointSizeF()));
            applyFontSize();
        } else if (given.pixelSize() > 0) {
            m_fontPoints = int(std::lround(given.pixelSize() * 72.0 / logicalDpiY()));
        }
        update();
    } else if (event->type() == QEvent::EnabledChange) {
        update();
    }
}

void TLabel3D::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    QLabel::mousePressEvent(event);
}

void TLabel3D::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

QColor TLabel3D::resolve(TColor color) const { return toQColor(color, QGuiApplication::palette()); }

void TLabel3D::prepareNextPaint() noexcept
{
    try {
        // A canvas like the window's own: the same resolution and pixel ratio, the label at its
        // place in the window. One pixel of it is enough, as nothing is drawn.
        QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
        constexpr double kInchesPerMeter = 1 / 0.0254;
        probe.setDotsPerMeterX(int(std::lround(logicalDpiX() * kInchesPerMeter)));
        probe.setDotsPerMeterY(int(std::lround(logicalDpiY() * kInchesPerMeter)));
        probe.setDevicePixelRatio(devicePixelRatioF());
        QPainter canvas(&probe);
        canvas.translate(mapTo(window(), QPoint(0, 0)));
        GlyphCache::LookAhead lookAhead(GlyphCache::forThisThread());
        Paint(canvas);
    } catch (...) {
        // The paint renders what it lacks itself.
    }
}

void TLabel3D::paintEvent(QPaintEvent*) noexcept
{
    try {
        QPainter canvas(this);
        Paint(canvas);
    } catch (...) {
        // A paint that fails leaves the label as it was; the next one starts afresh.
    }
}

void TLabel3D::Paint(QPainter& canvas)
{
    QRect area = rect();

    switch (m_borderStyle) {
    case lbNone:
        break;
    case lbNormal:
        frameStep(canvas, area, m_borderColor, m_borderColor, m_borderWidth);
        break;
    case lbLowered:
        frameStep(canvas, area, clBtnShadow, clBtnHighlight, m_borderWidth);
        break;
    case lbRaised:
        frameStep(canvas, area, clBtnHighlight, clBtnShadow, m_borderWidth);
        break;
    case lbInn:
        frameStep(canvas, area, clBtnShadow, clBtnHighlight, m_borderWidth);
        frameStep(canvas, area, clBtnHighlight, clBtnShadow, m_borderWidth);
        break;
    case lbOut:
        frameStep(canvas, area, clBtnHighlight, clBtnShadow, m_borderWidth);
        frameStep(canvas, area, clBtnShadow, clBtnHighlight, m_borderWidth);
        break;
    }

    if (m_fillGradient)
        PaintGradient(canvas, area, m_firstColor, m_gradientOrientation == goVertical, m_lastColor,
                      QGuiApplication::palette());
    else if (!m_transparent && area.width() > 0 && area.height() > 0)
        canvas.fillRect(area, resolve(m_color));

    canvas.setBrush(Qt::NoBrush);
    const uint16_t alignment = m_alignment == taRightJustify ? DT_RIGHT
                               : m_alignment == taCenter     ? DT_CENTER
                                                             : DT_LEFT;
    const uint16_t flags = alignment | DT_EXPANDTABS | DT_WORDBREAK;

    if (m_layout != tlTop) {
        QRect block = area;
        DrawLabelText(canvas, block, flags | DT_CALCRECT);
        const int freeHeight = area.height() - block.height();
        // Division truncates toward zero: an odd free pixel falls below the text either way.
        area.translate(0, m_layout == tlCenter ? freeHeight / 2 : freeHeight);
        if (block.height() > area.height()) {
            const int bottom = std::max(area.y() + area.height(), block.y() + block.height());
            const int top = std::min(area.y(), block.y());
            area = QRect(area.x(), top, area.width(), bottom - top);
        }
    }

    DrawLabelText(canvas, area, flags);
}

void TLabel3D::frameStep(QPainter& canvas, QRect& rect, TColor topLeft, TColor bottomRight,
                         int width) const
{
    drawBevelBand(canvas, rect, resolve(topLeft), resolve(bottomRight), width);
}

void TLabel3D::PaintGradient(QPainter& canvas, const QRect& rect, TColor first, bool vertical,
                             TColor last, const QPalette& palette)
{
    const QColor from = toQColor(first, palette);
    const QColor to = toQColor(last, palette);
    const int64_t n = int64_t(vertical ? rect.height() : rect.width()) - 1;
    if (n <= 0 || (vertical ? rect.width() : rect.height()) <= 0)
        return;
    // Integer steps: the first band is exactly the first colour, the last exactly the last.
    auto mix = [n](int a, int b, int64_t i) { return int((a * (n - i) + b * i) / n); };
    for (int64_t i = 0; i <= n; ++i) {
        const QColor band(mix(from.red(), to.red(), i), mix(from.green(), to.green(), i),
                          mix(from.blue(), to.blue(), i));
        if (vertical)
            canvas.fillRect(QRect(rect.x(), rect.y() + int(i), rect.width(), 1), band);
        else
            canvas.fillRect(QRect(rect.x() + int(i), rect.y(), 1, rect.height()), band);
    }
}

void TLabel3D::DrawLabelText(QPainter& canvas, QRect& rect, uint16_t flags)
{
    QString text = m_caption;
    if ((flags & DT_CALCRECT) && (text.isEmpty() || (m_showAccelChar && text == u"&")))
        text += u' ';
    if (!m_showAccelChar)
        flags |= DT_NOPREFIX;

    switch (m_bevel) {
    case blNone:
        TextEngine::drawText(canvas, font(), resolve(m_fontColor), rect, text, flags);
        break;
    case blLowered:
        drawBevelCopies(canvas, rect, flags, text, m_shadowColor, m_highLightColor, true);
        break;
    case blRaised:
        drawBevelCopies(canvas, rect, flags, text, m_highLightColor, m_shadowColor, true);
        break;
    case blShadow:
        drawBevelCopies(canvas, rect, flags, text, m_shadowColor, m_shadowColor, false);
        break;
    }
}

void TLabel3D::drawBevelCopies(QPainter& canvas, QRect& rect, uint16_t flags, const QString& text,
                               TColor first, TColor second, bool withFirst)
{
    if (m_wordWrap)
        flags |= DT_WORDBREAK;
    else
        flags &= uint16_t(~DT_WORDBREAK);
    const QFont textFont = font();
    // Measuring the copies would only measure the same text again; their result is not used.
    if (!(flags & DT_CALCRECT)) {
        const int s = m_shadowSize;
        if (withFirst && isEnabled()) {
            QRect upperLeft = rect.translated(-s, -s);
            TextEngine::drawText(canvas, textFont, resolve(first), upperLeft, text, flags);
        }
        QRect lowerRight = rect.translated(s, s);
        TextEngine::drawText(canvas, textFont, resolve(second), lowerRight, text, flags);
    }
    const QColor main = isEnabled() ? resolve(m_fontColor) : resolve(clGrayText);
    TextEngine::drawText(canvas, textFont, main, rect, text, flags);
}
