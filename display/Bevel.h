#pragma once
// The bevelled bands that raise or lower a control's edge, drawn the same way by every control
// that has one.

#include <QColor>
#include <QRect>

class QPainter;

// Draws a band `width` rings deep just inside `rect`: each ring's left column and top row in
// `topLeft`, its right column and bottom row in `bottomRight`, which also takes the top-right
// and bottom-left corners. `rect` becomes the area inside the band; a width of 0 or less draws
// nothing and leaves it as it was.
void drawBevelBand(QPainter& canvas, QRect& rect, const QColor& topLeft, const QColor& bottomRight,
                   int width);
