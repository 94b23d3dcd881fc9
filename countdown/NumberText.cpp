#include "countdown/NumberText.h"

#include <QStringView>

void appendDecimal(QString& out, int64_t value, int minDigits)
{
    // Work on the magnitude as unsigned, so that the most negative value has one too.
    const bool negative = value < 0;
    uint64_t magnitude = negative ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    constexpr int kSize = 24;
    char16_t text[kSize];
    int first = kSize;
    do {
        text[--first] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const int digits = minDigits > 20 ? 20 : minDigits;
    while (kSize - first < digits)
        text[--first] = u'0';
    if (negative)
        text[--first] = u'-';
    out.append(QStringView(text + first, kSize - first));
}
