#pragma once
// Loads the background and zero-moment pictures, choosing the decoder by the file's extension
// as the window always did: JPEG through our own libjpeg decoder, everything else (bitmaps)
// through Qt's image reader.

#include <QImage>
#include <QSize>
#include <QString>
#include <stdexcept>

// A picture that exists but cannot be shown; the message is what the error box tells the user.
class EPictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The picture at `path`, decoded no larger than needed to cover `largestArea` (the largest
// area it will be drawn in; an empty size means full size). ".jpg" and ".jpeg" in any case
// go to JpegDecoder, anything else to Qt's reader. Never returns a null image: a file that is
// missing, not a regular file, corrupt, truncated or too large throws EPictureError.
QImage loadPicture(const QString& path, QSize largestArea);

// The largest picture, in bytes of its full-size 32-bit pixels, that is decoded at all.
inline constexpr qint64 kMaxPictureBytes = qint64 {256} * 1024 * 1024;

// Throws EPictureError unless `path` names a regular file (a directory, a device or a named
// pipe would fail or block the reader); checked before any reader opens it.
void requireRegularFile(const QString& path);

// The text of an EPictureError about `path`: the file's name in native form, then the reason.
std::string pictureErrorText(const QString& path, const QString& reason);
