#pragma once
// The title's size is found by trying point sizes upward until the sample text overflows; the
// trial and its shortcut live here, apart from fonts, so they can be checked with made-up
// measurements.

#include <functional>

constexpr int kSmallestTrialSize = 1;
constexpr int kLargestTrialSize = 512;

// What a sample text measures at one size: its widest non-blank line and the line height.
struct SampleExtent {
    int widestLine = 0;
    int lineHeight = 0;
};

// The room the title has and how many lines (blank ones included) it must hold.
struct TitleRoom {
    int width = 0;
    int height = 0;
    int lineCount = 0;
};

using ExtentAtSize = std::function<SampleExtent(int points)>;

// A width or total height equal to the room still fits.
bool overflows(const SampleExtent& extent, const TitleRoom& room);

// The first size from 1 to 512 at which the sample overflows, trying every size in turn;
// 0 when none does.
int firstOverflowingSizeByScan(const ExtentAtSize& extentAt, const TitleRoom& room);

// The same answer with a handful of measurements. It steers by the fact that one font's
// extents never shrink as it grows; every measurement taken is checked against that, and
// should one contradict it the search falls back to trying every size.
int firstOverflowingSize(const ExtentAtSize& extentAt, const TitleRoom& room);

// 95 % of the found size, an exact half going to the even neighbour (30 -> 28, 20 -> 19).
int reduceFoundSize(int foundSize);

// The title's point size for a found size. A sample that fits even at the largest trial size
// gets the largest title (486) rather than 0, which would draw a full-screen title at the
// font system's tiny default; a sample without any text keeps 0.
int titleSizeForFound(int foundSize, bool sampleHasText);

// Points to pixels through the screen's logical DPI, rounded to the nearest pixel.
int pointsToPixels(int points, int logicalDpiY);

// The title's shadow distance for its fitted size: a twentieth of it when the shadow is on.
int titleShadowSize(int fittedSize, bool shadowOn);
