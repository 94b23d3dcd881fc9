#include "display/FontSizeSearch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

bool overflows(const SampleExtent& extent, const TitleRoom& room)
{
    if (extent.widestLine > room.width)
        return true;
    return int64_t(room.lineCount) * extent.lineHeight > int64_t(room.height);
}

int firstOverflowingSizeByScan(const ExtentAtSize& extentAt, const TitleRoom& room)
{
    for (int size = kSmallestTrialSize; size <= kLargestTrialSize; ++size) {
        if (overflows(extentAt(size), room))
            return size;
    }
    return 0;
}

namespace {

// Where the next measurement should go, judged from one measurement: extents grow roughly in
// proportion to the size, so the room is used up near size * room / extent.
int guessFirstOverflow(int size, const SampleExtent& extent, const TitleRoom& room)
{
    double scale = HUGE_VAL;
    if (extent.widestLine > 0)
        scale = std::min(scale, double(room.width) / extent.widestLine);
    const double totalHeight = double(room.lineCount) * extent.lineHeight;
    if (totalHeight > 0)
        scale = std::min(scale, double(room.height) / totalHeight);
    if (!std::isfinite(scale))
        return -1;
    const double limit = std::floor(size * scale) + 1.0;
    return int(std::clamp(limit, 0.0, double(kLargestTrialSize + 1)));
}

bool neverShrinks(const std::map<int, SampleExtent>& measured)
{
    const SampleExtent* previous = nullptr;
    for (const auto& [size, extent] : measured) {
        if (previous &&
            (extent.widestLine < previous->widestLine || extent.lineHeight < previous->lineHeight))
            return false;
        previous = &extent;
    }
    return true;
}

} // namespace

int firstOverflowingSize(const ExtentAtSize& extentAt, const TitleRoom& room)
{
    std::map<int, SampleExtent> measured;
    auto measure = [&](int size) {
        auto found = measured.find(size);
        if (found == measured.end())
            found = measured.emplace(size, extentAt(size)).first;
        return found->second;
    };

    // Sizes up to `fitting` are known to fit, sizes from `overflowing` on to overflow; the
    // size just past the largest trial stands for "never overflows".
    int fitting = kSmallestTrialSize - 1;
    int overflowing = kLargestTrialSize + 1;
    int guess = 64; // a first look somewhere in the sizes titles usually take
    for (int step = 0; overflowing - fitting > 1; ++step) {
        // A guess that keeps missing gives way to halving, so the search stays short.
        const bool trustGuess = step < 6 && guess >= 0;
        const int size = trustGuess ? std::clamp(guess, fitting + 1, overflowing - 1)
                                    : fitting + (overflowing - fitting) / 2;
        const SampleExtent extent = measure(size);
        if (overflows(extent, room))
            overflowing = size;
        else
            fitting = size;
        guess = guessFirstOverflow(size, extent, room);
    }

    if (!neverShrinks(measured))
        return firstOverflowingSizeByScan(measure, room);
    return overflowing > kLargestTrialSize ? 0 : overflowing;
}

int reduceFoundSize(int foundSize)
{
    // Exact halves are only possible at multiples of 10 (x * 19 / 20 ends in .5 when x * 19
    // is an odd multiple of 10), so integer arithmetic decides the tie without float error.
    const int64_t twentieths = int64_t(foundSize) * 19;
    int64_t whole = twentieths / 20;
    const int64_t rest = twentieths % 20;
    if (rest > 10 || (rest == 10 && whole % 2 != 0))
        ++whole;
    return int(whole);
}

int titleSizeForFound(int foundSize, bool sampleHasText)
{
    if (foundSize == 0)
        return sampleHasText ? reduceFoundSize(kLargestTrialSize) : 0;
    return reduceFoundSize(foundSize);
}

int pointsToPixels(int points, int logicalDpiY)
{
    const int64_t scaled = int64_t(points) * logicalDpiY;
    const int64_t pixels = scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
    return int(std::clamp<int64_t>(pixels, INT32_MIN, INT32_MAX));
}

int titleShadowSize(int fittedSize, bool shadowOn) { return shadowOn ? fittedSize / 20 : 0; }
