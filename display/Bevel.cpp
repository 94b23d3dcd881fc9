#include "display/Bevel.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cstdint>

void drawBevelBand(QPainter& canvas, QRect& rect, const QColor& topLeft, const QColor& bottomRight,
                   int width)
{
    if (width <= 0)
        return;
    int l = rect.x();
    int t = rect.y();
    int r = rect.x() + rect.width();
    int b = rect.y() + rect.height();
    auto fill = [&canvas](int x, int y, int w, int h, const QColor& c) {
        if (w > 0 && h > 0)
            canvas.fillRect(QRect(x, y, w, h), c);
    };
    // Once the rings meet in the middle the rest would draw nothing; stop there, so a huge
    // width costs no more than the control's size.
    for (int ring = 0; ring < width && l < r && t < b; ++ring) {
        fill(l, t, 1, b - 1 - t, topLeft);     // left column, t .. b - 2
        fill(l, t, r - 1 - l, 1, topLeft);     // top row, l .. r - 2
        fill(r - 1, t, 1, b - t, bottomRight); // right column, t .. b - 1
        fill(l, b - 1, r - l, 1, bottomRight); // bottom row, l .. r - 1
        ++l;
        ++t;
        --r;
        --b;
    }
    auto clamped = [](int64_t value) {
        return int(std::clamp<int64_t>(value, INT32_MIN / 2, INT32_MAX / 2));
    };
    rect = QRect(clamped(int64_t(rect.x()) + width), clamped(int64_t(rect.y()) + width),
                 clamped(int64_t(rect.width()) - 2 * int64_t(width)),
                 clamped(int64_t(rect.height()) - 2 * int64_t(width)));
}
