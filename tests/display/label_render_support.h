#pragma once
// Label tests look at pixels: a label is put on a plain-coloured parent and the parent is
// rendered into an image, so transparency and clipping show as they would on screen.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

class TLabel3D;

namespace label_test {

// The colours the system colours take in these tests (set on the application palette).
extern const QColor kHighlight;
extern const QColor kShadow;
extern const QColor kGrayText;
extern const QColor kBehind;

// Sets the application palette's button highlight, button shadow and grey text.
void useKnownSystemColours();

// A crisp font (no antialiasing), so colours in the image are exactly the ones drawn.
QFont crispFont(int pixels, const QString& family = "DejaVu Sans");

// Renders the label as it lies on a parent filled with kBehind; the image is the label's size.
QImage renderOnParent(TLabel3D& label);

// An image of the label's size filled with kBehind.
QImage behind(QSize size);

// The smallest rectangle holding every pixel of the colour; empty when there is none.
QRect boundsOf(const QImage& image, const QColor& color);

// How many pixels have the colour.
int countOf(const QImage& image, const QColor& color);

} // namespace label_test
