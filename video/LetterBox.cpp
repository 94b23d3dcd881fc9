#include "video/LetterBox.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>

int mulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t num = static_cast<int64_t>(a) * b;
    int64_t q = num / c;
    const int64_t r = num % c;
    // Round the exact quotient: a remainder of at least half the divisor moves away from zero.
    if (2 * std::llabs(r) >= std::llabs(static_cast<int64_t>(c)))
        q += ((num < 0) != (c < 0)) ? -1 : 1;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(q);
}

QRect letterBoxRect(QRect client, int aspectX, int aspectY)
{
    if (aspectX <= 0 || aspectY <= 0 || client.width() <= 0 || client.height() <= 0)
        return {};
    const int W = client.width(), H = client.height();
    int w, h;
    if (static_cast<double>(H) / aspectY > static_cast<double>(W) / aspectX) {
        w = W;
        h = mulDiv(aspectY, W, aspectX);
    } else {
        h = H;
        w = mulDiv(aspectX, H, aspectY);
    }
    if (w < 0 || h < 0)
        return {};
    return QRect(client.left() + (W - w) / 2, client.top() + (H - h) / 2, w, h);
}

QSize pictureAspect(int width, int height, int parN, int parD)
{
    if (width <= 0 || height <= 0)
        return {};
    if (parN <= 0 || parD <= 0)
        parN = parD = 1;
    int64_t x = static_cast<int64_t>(width) * parN;
    int64_t y = static_cast<int64_t>(height) * parD;
    const int64_t g = std::gcd(x, y);
    x /= g;
    y /= g;
    // Keep the terms small enough for the letter-box arithmetic without losing the ratio.
    while (x > 1'000'000 || y > 1'000'000) {
        x = (x + 1) / 2;
        y = (y + 1) / 2;
    }
    return QSize(static_cast<int>(x), static_cast<int>(y));
}

QRect videoTargetRect(TRatioModes mode, QRect client, QSize aspect)
{
    if (aspect.isEmpty())
        return {};
    if (mode == rmLetterBox)
        return letterBoxRect(client, aspect.width(), aspect.height());
    return client;
}

QRect videoSourceRect(TRatioModes mode, QSize frameSize, QSize aspect, QRect target)
{
    const QRect whole(QPoint(0, 0), frameSize);
    if (mode != rmCrop || frameSize.isEmpty() || aspect.isEmpty() || target.isEmpty())
        return whole;
    // In the frame's pixel units, the target's aspect is target.w/target.h scaled by the pixel
    // aspect ratio (frame size to picture aspect): keep the largest centred part of that shape.
    const double frameAspect = static_cast<double>(aspect.width()) / aspect.height();
    const double targetAspect = static_cast<double>(target.width()) / target.height();
    if (targetAspect > frameAspect) {
        const int h =
            static_cast<int>(std::lround(frameSize.height() * frameAspect / targetAspect));
        return QRect(0, (frameSize.height() - h) / 2, frameSize.width(), h);
    }
    const int w = static_cast<int>(std::lround(frameSize.width() * targetAspect / frameAspect));
    return QRect((frameSize.width() - w) / 2, 0, w, frameSize.height());
}
