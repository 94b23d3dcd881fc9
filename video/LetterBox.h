#pragma once
// Where a video goes inside its window: the letter-box rule with its rounding, the other aspect
// modes, and the picture aspect ratio of a stream. Pure arithmetic, tested without a display.

#include <QRect>
#include <QSize>

#include <cstdint>

enum TRatioModes { rmStretched = 0, rmLetterBox = 1, rmCrop = 2 };

// a * b / c rounded to the nearest integer, halves away from zero; -1 when c is 0 or the result
// does not fit an int (the platform's MulDiv answers so).
int mulDiv(int a, int b, int c);

// The largest rectangle of aspect X:Y inside client, centred; empty when X or Y is not positive.
QRect letterBoxRect(QRect client, int aspectX, int aspectY);

// The picture aspect ratio of a frame of width x height pixels with the given pixel aspect ratio,
// reduced; a pixel aspect ratio with a 0 term is taken as square, and an unusable frame size
// gives an empty size (nothing to show).
QSize pictureAspect(int width, int height, int parN, int parD);

// The target rectangle of the video in client for a mode.
QRect videoTargetRect(TRatioModes mode, QRect client, QSize aspect);

// The part of a frame of frameSize that is shown in the target for a mode: the whole frame,
// except with rmCrop, where the frame is cut to the target's aspect around its centre.
QRect videoSourceRect(TRatioModes mode, QSize frameSize, QSize aspect, QRect target);
