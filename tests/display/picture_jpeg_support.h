#pragma once
// Makes the JPEG, bitmap and broken files the picture tests decode, with libjpeg's own
// compressor, so that no binary test file is kept in the tree.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <string>

struct PictureJpegOptions {
    enum class Colours { Rgb, Grey, AdobeCmyk, PlainCmyk };
    Colours colours = Colours::Rgb;
    int quality = 95;
    bool progressive = false;
    bool jfifMarker = true;
    bool fullChroma = true; // 1x1 sampling, so small colour fields keep their colour
    int scans = 0;          // above 0: progressive in this many scans (RGB only, up to 1135)
};

// The picture compressed by libjpeg. AdobeCmyk stores the inks inverted with an Adobe marker,
// as the common graphics programs write them; PlainCmyk stores them as they are, no marker.
QByteArray pictureJpegBytes(const QImage& picture, const PictureJpegOptions& options = {});

// A picture of the given size split into four fields: red top left, green top right, blue
// bottom left, white bottom right.
QImage pictureQuadrants(int width, int height);

// Writes the bytes to the file, replacing it; fails the test on error.
void pictureWriteFile(const QString& path, const QByteArray& bytes);

// The bytes with the frame header's size fields set to the given width and height.
QByteArray pictureWithHeaderSize(QByteArray jpeg, int width, int height);

// libjpeg's own text for one of its message codes, up to its first format field, so that a
// test can look for it in an error message without copying it.
std::string pictureLibjpegMessage(int code);

// True when the two colours differ in no channel by more than `tolerance`.
bool pictureColoursNear(QColor actual, QColor expected, int tolerance = 12);
