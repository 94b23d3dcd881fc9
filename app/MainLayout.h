#pragma once
// Where the picture and the title go for a picture alignment: a pure function, so the rule
// (halves by integer division, the title filling what the picture leaves) is tested alone.

#include <QRect>
#include <QSize>

enum class PictureAlign { Top, Bottom, Left, Right, Client };

struct MainAreas {
    QRect picture;
    QRect title;
};

// Alignment 0..4 as stored; any other value keeps the current alignment.
PictureAlign pictureAlignFor(int storedAlignment, PictureAlign current);

MainAreas layoutAreas(QSize client, PictureAlign align);
