#pragma once
// The title font is sized to the room the layout leaves it, measured on the sample text whose
// numbers all have fixed widths, so the size holds from one tick to the next.

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>

#include "display/FontSizeSearch.h"

// Measures a sample text in one font at any point size; one font and its metrics per size.
class SampleMeasure {
public:
    SampleMeasure(const QStringList& lines, const QFont& font, int logicalDpiY);
    // The widest non-blank line and the line height at the given size.
    SampleExtent at(int points) const;
    // Whether any line is non-blank; a sample without one never overflows.
    bool hasText() const { return !m_measured.isEmpty(); }

private:
    QStringList m_measured;
    QFont m_font;
    int m_logicalDpiY;
};

// The title's point size: 95 % of the first size that overflows the area, found quickly.
// 486 when the sample fits even at the largest size, 0 for a sample without any text.
int fitTitleFontSize(const QString& sampleText, const QFont& titleFont, QSize titleArea,
                     int logicalDpiY);

// The same size by the literal trial of every size, line by line, one font each time: the
// yardstick the quick search is held to.
int plainScanFontSize(const QString& sampleText, const QFont& titleFont, QSize titleArea,
                      int logicalDpiY);

// The first overflowing size itself (0 when none), quickly and by the literal trial.
int fastFoundSize(const QString& sampleText, const QFont& titleFont, QSize titleArea,
                  int logicalDpiY);
int plainFoundSize(const QString& sampleText, const QFont& titleFont, QSize titleArea,
                   int logicalDpiY);

// A copy of the font at the pixel height a point size takes on this screen.
QFont fontAtPoints(const QFont& font, int points, int logicalDpiY);
