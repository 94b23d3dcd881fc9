#include "settings/RegFileDecoder.h"

#include <QStringDecoder>

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes keep their Latin-1 meaning.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool startsWith(const QByteArray& bytes, QByteArrayView prefix) { return bytes.startsWith(prefix); }

} // namespace

QString RegFileDecoder::decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uint8_t b = uint8_t(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
    }
    return text;
}

QString RegFileDecoder::decode(const QByteArray& bytes)
{
    if (startsWith(bytes, "\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    if (startsWith(bytes, "\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        return decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    // UTF-16LE that lost its byte-order mark still shows an ASCII letter followed by a zero.
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0')
        return decodeWith(QStringConverter::Utf16LE, bytes);
    // Without a mark the file is UTF-8 if it is valid UTF-8, whichever header it has: the
    // older one written by hand in a Linux editor is UTF-8 too, and reading it in the code page
    // would garble it for good at the next save. Text in the code page with letters beyond
    // ASCII is almost never valid UTF-8, so it still ends up below.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return decodeWindows1252(bytes);
    return text;
}
