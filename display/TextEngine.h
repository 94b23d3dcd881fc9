#pragma once
// The label draws and measures its caption with the platform's text-format flags; this turns
// those flags into Qt's text drawing, so the label's drawing steps can stay as they are.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>

class QPainter;

constexpr uint16_t DT_LEFT = 0;
constexpr uint16_t DT_CENTER = 1;
constexpr uint16_t DT_RIGHT = 2;
constexpr uint16_t DT_WORDBREAK = 0x10;
constexpr uint16_t DT_EXPANDTABS = 0x40;
constexpr uint16_t DT_CALCRECT = 0x400;
constexpr uint16_t DT_NOPREFIX = 0x800;

// One place that knows how the format flags look in Qt's text drawing.
class TextEngine {
public:
    // Draws the text in the rectangle, clipped to it, glyphs only (no background). With
    // DT_CALCRECT nothing is drawn: the rectangle keeps its left and top and its right and
    // bottom move to the extent of the text.
    static void drawText(QPainter& canvas, const QFont& font, const QColor& color, QRect& rect,
                         const QString& text, uint16_t flags);

    // Qt's text flags for a set of format flags (always multi-line, lines placed from the top).
    static int qtFlags(uint16_t flags);

    // CR LF, lone CR and lone LF all become Qt's line break.
    static QString withLineBreaks(const QString& text);
};
