#pragma once
// The one rule by which a picture is fitted into its control: the largest size that keeps the
// picture's proportions, small pictures enlarged too, centred, fractions dropped. Kept apart
// from any widget so that the decoder can ask how large a picture will be drawn.

#include <QRect>
#include <QSize>

// The rectangle, inside (0, 0, area), in which a picture of the given size is drawn.
// An empty QRect when a side of the picture or of the area is 0 or less: nothing is drawn.
QRect scaledPictureRect(QSize picture, QSize area);
