#pragma once
// The countdown title and the settings preview draw their text raised, lowered or with a drop
// shadow, optionally over a gradient and inside a bevelled border; the plain label cannot.

#include <QLabel>
#include <QPalette>
#include <QRect>
#include <QString>
#include <cstdint>

#include "display/Colors.h"
#include "display/TextEngine.h"

class QPainter;

enum TLabel3DBevel : uint8_t { blNone, blLowered, blRaised, blShadow };
enum TGradientOrientation : uint8_t { goHorizontal, goVertical };
enum TLabel3DBorderStyle : uint8_t { lbNone, lbNormal, lbLowered, lbRaised, lbInn, lbOut };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };

// A label whose text stands out from any background: shadowed, raised or lowered copies.
class TLabel3D : public QLabel {
    Q_OBJECT
public:
    explicit TLabel3D(QWidget* parent = nullptr);

    TColor firstColor() const { return m_firstColor; }
    void setFirstColor(TColor value);
    TColor lastColor() const { return m_lastColor; }
    void setLastColor(TColor value);
    bool fillGradient() const { return m_fillGradient; }
    void setFillGradient(bool value);
    TGradientOrientation gradientOrientation() const { return m_gradientOrientation; }
    void setGradientOrientation(TGradientOrientation value);
    TColor highLightColor() const { return m_highLightColor; }
    void setHighLightColor(TColor value);
    TColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(TColor value);
    TLabel3DBevel bevel() const { return m_bevel; }
    void setBevel(TLabel3DBevel value);
    uint8_t shadowSize() const { return m_shadowSize; }
    void setShadowSize(uint8_t value);
    TColor borderColor() const { return m_borderColor; }
    void setBorderColor(TColor value);
    int32_t borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int32_t value);
    TLabel3DBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TLabel3DBorderStyle value);

    // CR LF separates lines.
    QString caption() const { return m_caption; }
    void setCaption(const QString& value);
    // Starts rendering the caption's large glyphs on helper threads for the next paint, so that
    // the first frame does not wait for them while the window is being made.
    void prepareNextPaint() noexcept;
    // The background when opaque.
    TColor color() const { return m_color; }
    void setColor(TColor value);
    TColor fontColor() const { return m_fontColor; }
    void setFontColor(TColor value);
    // Kept so it can be written back; fonts here do not use it.
    int fontCharset() const { return m_fontCharset; }
    void setFontCharset(int value);
    // The font's size in points; its pixel height is round(points * logicalDpiY / 72). 0 (or
    // less) stands for the font system's default height.
    int fontPointSize() const { return m_fontPoints; }
    void setFontPointSize(int points);
    TAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(TAlignment value);
    TTextLayout textLayout() const { return m_layout; }
    void setTextLayout(TTextLayout value);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool value);
    bool showAccelChar() const { return m_showAccelChar; }
    void setShowAccelChar(bool value);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool value);

    // Draws the caption in the rectangle, or with DT_CALCRECT only measures it into the
    // rectangle (left and top kept).
    void DrawLabelText(QPainter& canvas, QRect& rect, uint16_t flags);
    static void PaintGradient(QPainter& canvas, const QRect& rect, TColor first, bool vertical,
                              TColor last, const QPalette& palette);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) noexcept override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Paint(QPainter& canvas);
    void drawBevelCopies(QPainter& canvas, QRect& rect, uint16_t flags, const QString& text,
                         TColor first, TColor second, bool withFirst);
    void frameStep(QPainter& canvas, QRect& rect, TColor topLeft, TColor bottomRight,
                   int width) const;
    QColor resolve(TColor color) const;
    void applyFontSize();

    template <typename T>
    void store(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        update();
    }

    TColor m_firstColor = clWhite;
    TColor m_lastColor = clTeal;
    bool m_fillGradient = false;
    TGradientOrientation m_gradientOrientation = goHorizontal;
    TColor m_highLightColor = clBtnHighlight;
    TColor m_shadowColor = clBtnShadow;
    TLabel3DBevel m_bevel = blRaised;
    uint8_t m_shadowSize = 1;
    TColor m_borderColor = clBlack;
    int32_t m_borderWidth = 1;
    TLabel3DBorderStyle m_borderStyle = lbNone;

    QString m_caption;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clWindowText;
    int m_fontCharset = 1;
    int m_fontPoints = 0;
    TAlignment m_alignment = taLeftJustify;
    TTextLayout m_layout = tlTop;
    bool m_wordWrap = false;
    bool m_showAccelChar = true;
    bool m_transparent = false;

    bool m_applyingFontSize = false;
    bool m_pressed = false;
};
