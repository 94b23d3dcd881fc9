#include "display/PictureScaling.h"

#include <cstdint>

QRect scaledPictureRect(QSize picture, QSize area)
{
    if (picture.width() <= 0 || picture.height() <= 0 || area.width() <= 0 || area.height() <= 0)
        return {};

    // The rule divides by the aspect w / h and multiplies by it, dropping the fraction. Done in
    // whole numbers so that an exact result (a 10 x 3 picture in 100 pixels is 30 high) does not
    // come out one pixel short through a rounding error of the floating-point aspect.
    const int64_t w = picture.width();
    const int64_t h = picture.height();
    const int64_t cw = area.width();
    const int64_t ch = area.height();

    int64_t drawnWidth = 0;
    int64_t drawnHeight = 0;
    if (w > h) {
        drawnWidth = cw;
        drawnHeight = cw * h / w;
        if (drawnHeight > ch) {
            drawnHeight = ch;
            drawnWidth = ch * w / h;
        }
    } else {
        drawnHeight = ch;
        drawnWidth = ch * w / h;
        if (drawnWidth > cw) {
            drawnWidth = cw;
            drawnHeight = cw * h / w;
        }
    }

    // Both results are at most the area's sides, so they fit in an int again.
    const auto left = static_cast<int>((cw - drawnWidth) / 2);
    const auto top = static_cast<int>((ch - drawnHeight) / 2);
    return {left, top, static_cast<int>(drawnWidth), static_cast<int>(drawnHeight)};
}
