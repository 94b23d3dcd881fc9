#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

// One value as the registry holds it: a type number and raw bytes. Strings are kept as
// UTF-16LE with their terminating NUL, so that a string typed in quotes and one given as
// hex(1) or hex(2) bytes are read by the same rule.
struct RegistryValue {
    enum Type : uint32_t {
        None = 0,
        String = 1,       // REG_SZ
        ExpandString = 2, // REG_EXPAND_SZ
        Binary = 3,       // REG_BINARY
        DWord = 4,        // REG_DWORD
        MultiString = 7,  // REG_MULTI_SZ
        QWord = 11,       // REG_QWORD
    };

    uint32_t type = None;
    QByteArray data;

    static RegistryValue fromString(const QString& text);
    static RegistryValue fromDWord(uint32_t number);
    static RegistryValue fromBinary(const QByteArray& bytes);

    // The text up to the first NUL, for REG_SZ and REG_EXPAND_SZ; nothing for other types.
    std::optional<QString> toText() const;
    // The number, for a REG_DWORD of exactly four bytes.
    std::optional<uint32_t> toDWord() const;

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// The text as the registry stores it: UTF-16LE with a terminating NUL.
QByteArray utf16LeWithNul(const QString& text);
