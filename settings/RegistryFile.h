#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>

#include "settings/RegistryValue.h"

// Keeps a registry-export file as its sections and lines, so that the values of one key can be
// read and changed while every other key, value and comment is written back as it was. Reading
// follows what importing the file would do: sections apply in order, "[-key]" removes a key with
// everything below it, "\"Name\"=-" removes a value, key and value names ignore case.
class RegistryFile {
public:
    static constexpr const char* kHeader = "Windows Registry Editor Version 5.00";

    static RegistryFile fromBytes(const QByteArray& bytes);
    static RegistryFile fromText(const QString& text);

    // Keys are full paths with their root, e.g. "HKEY_CURRENT_USER\Software\Vemoral\yearmark".
    bool keyExists(const QString& key) const;
    std::optional<RegistryValue> value(const QString& key, const QString& name) const;

    void createKey(const QString& key);
    void setValue(const QString& key, const QString& name, const RegistryValue& value);

    // Always the newer header and UTF-8; lines end in LF, strings keep their own CR LF.
    QString toText() const;
    QByteArray toBytes() const;

    // The text from the first line that could not be parsed on; nothing in it is read, and it
    // is written back as comment lines.
    const QString& unparsedTail() const { return m_tail; }

private:
    struct Line {
        enum class Kind { Text, Value, Removal };
        Kind kind = Kind::Text;
        QString text; // the line as written: a blank line, a comment, a value not changed since
        QString name;
        RegistryValue value;
    };
    struct Section {
        QString header;
        QString key;
        bool removal = false;
        std::vector<Line> lines;
    };

    friend class RegFileParser;

    // Folds every live section of the key into one, placed where an import would still see it,
    // so that a value set there is the one read back.
    Section& liveSection(const QString& key);

    std::vector<Line> m_preamble;
    std::vector<Section> m_sections;
    QString m_tail;
    QString m_folded; // the key liveSection last folded; it stays folded
    size_t m_foldedAt = 0;
};
