#pragma once
// The label draws and measures its caption with the platform's text-format flags; this turns
// those flags into Qt's text drawing, so the label's drawing steps can stay as they are.

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QLineF>
#include <QList>
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

// Where a text's glyphs and mnemonic underlines go, in the canvas's coordinates.
struct TextPlacement {
    QList<QGlyphRun> runs;
    QList<QLineF> underlines; // centre lines of flat-capped strokes underlineWidth wide
    qreal underlineWidth = 0;
};

// One place that knows how the format flags look in Qt's text drawing.
class TextEngine {
public:
    // Up to this pixel size Qt keeps glyph images itself; above it Qt fills each glyph's outline
    // on every repaint, so drawText blits glyphs from a cache of its own instead.
    static constexpr int kLargestQtCachedGlyph = 64;

    // Draws the text in the rectangle, clipped to it, glyphs only (no background). With
    // DT_CALCRECT nothing is drawn: the rectangle keeps its left and top and its right and
    // bottom move to the extent of the text. Never throws.
    static void drawText(QPainter& canvas, const QFont& font, const QColor& color, QRect& rect,
                         const QString& text, uint16_t flags) noexcept;

    // Places lines (breaks as withLineBreaks leaves them) in the rectangle with the canvas's
    // font and the Qt flags the way Qt's own rectangle text drawing does, save that tabs are
    // expanded in every alignment (as lineWidth measures them). False for what only
    // Qt's drawing handles: a right-to-left canvas, texts with length variants (U+009C), fonts
    // that carry their own underline, overline or strike-out.
    static bool placeText(const QPainter& canvas, const QRect& rect, const QString& lines,
                          int qtFlags, TextPlacement& placement);

    // The distance between tab stops in a font: eight of its "x" widths, as Qt's rectangle
    // drawing sets them for left-aligned text.
    static int tabStopDistance(const QFont& font);

    // The width of one line (no line breaks) as drawText places it: a tab advances to the next
    // of the font's own stops, counted from the line's start, whatever the alignment.
    static int lineWidth(const QFont& font, const QString& line);

    // Qt's text flags for a set of format flags (always multi-line, lines placed from the top).
    static int qtFlags(uint16_t flags);

    // CR LF, lone CR and lone LF all become Qt's line break.
    static QString withLineBreaks(const QString& text);
};
