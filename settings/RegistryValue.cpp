#include "settings/RegistryValue.h"

QByteArray utf16LeWithNul(const QString& text)
{
    QByteArray bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        bytes.append(char(u & 0xFF));
        bytes.append(char(u >> 8));
    }
    bytes.append('\0');
    bytes.append('\0');
    return bytes;
}

RegistryValue RegistryValue::fromString(const QString& text)
{
    return {String, utf16LeWithNul(text)};
}

RegistryValue RegistryValue::fromDWord(uint32_t number)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((number >> (8 * i)) & 0xFF);
    return {DWord, bytes};
}

RegistryValue RegistryValue::fromBinary(const QByteArray& bytes) { return {Binary, bytes}; }

std::optional<QString> RegistryValue::toText() const
{
    if (type != String && type != ExpandString)
        return std::nullopt;
    QString text;
    text.reserve(data.size() / 2);
    // An odd last byte cannot be a character and is dropped, as the registry's own reader does.
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
        const char16_t u = char16_t(uint8_t(data[i]) | (uint8_t(data[i + 1]) << 8));
        if (u == 0)
            break;
        text.append(QChar(u));
    }
    return text;
}

std::optional<uint32_t> RegistryValue::toDWord() const
{
    if (type != DWord || data.size() != 4)
        return std::nullopt;
    uint32_t number = 0;
    for (int i = 0; i < 4; ++i)
        number |= uint32_t(uint8_t(data[i])) << (8 * i);
    return number;
}
