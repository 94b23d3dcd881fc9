#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Windows' registry editor writes UTF-16LE with a byte-order mark, its older format and many
// hand-made files are Windows-1252, and Linux editors write UTF-8; a key exported anywhere
// should read the same, so the bytes are turned into text here, before any parsing.
class RegFileDecoder {
public:
    static QString decode(const QByteArray& bytes);
    static QString decodeWindows1252(QByteArrayView bytes);
};
