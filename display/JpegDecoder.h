#pragma once
// Decodes JPEG files with libjpeg itself, so that a corrupt or hostile file becomes an error
// with libjpeg's own message instead of ending the program, a huge header is refused before
// anything is allocated, and a big photo is decoded only as large as the screen needs.

#include <QImage>
#include <QSize>
#include <QString>

#include <chrono>

class JpegDecoder {
public:
    // The picture in `path` as Format_RGB32, decoded at the smallest of libjpeg's scales
    // 1/1, 1/2, 1/4 and 1/8 whose result still covers the rectangle scaledPictureRect draws
    // the full-size picture in for `largestArea` (full size when `largestArea` is empty).
    // Greyscale and CMYK pictures come out as RGB. Throws EPictureError (PictureLoader.h)
    // with libjpeg's message for a corrupt file; any libjpeg warning, such as the one for
    // truncated data, counts as corrupt. A decode that has worked for `timeLimit` (the calling
    // thread's processor time, so that slow storage and a busy machine do not count) and is
    // not finished is given up with an EPictureError as well.
    static QImage decode(const QString& path, QSize largestArea,
                         std::chrono::milliseconds timeLimit = kTimeLimit);

    // The denominator (1, 2, 4 or 8) of the scale at which a picture of `picture` pixels is
    // decoded for `largestArea`; libjpeg's scaled size is the full size divided by it and
    // rounded up.
    static int scaleDenominator(QSize picture, QSize largestArea);

    // Progressive files with more scans than this are refused: each scan passes over the
    // whole picture again, so a crafted file could otherwise keep the decoder busy for minutes.
    // Encoders write 6 to 24 scans, and even scripts tuned scan by scan stay far below a
    // hundred; a file with more is made to be slow. Refusing at the 101st scan stops such a
    // file early; the time limit below bounds what its first hundred scans may cost.
    static constexpr int kMaxScans = 100;

    // How much processor time a decode may use. Every step of libjpeg's work reports its
    // progress, so the limit holds for every kind of slow file, whatever makes it slow. A
    // 48-megapixel progressive photo needs about half a second here; six times that leaves
    // room for slower machines without letting a crafted file hold the picture back for long.
    static constexpr std::chrono::milliseconds kTimeLimit {3000};
};
