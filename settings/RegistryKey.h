#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

#include "settings/RegFileStorage.h"
#include "settings/RegistryFile.h"

// The registry object the settings are read and written through: one open key at a time,
// typed reads that fail on a missing value or one of a foreign type, and writes that reach the
// file in one piece when the key is closed.
class RegistryKey {
public:
    explicit RegistryKey(QString filePath, QString rootKey = QStringLiteral("HKEY_CURRENT_USER"));
    ~RegistryKey() = default; // changes not committed by closeKey are dropped
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // A path starting with a backslash is taken from the root, any other from the open key.
    // Without canCreate a missing key is not opened; a file that cannot be read opens nothing.
    bool openKey(const QString& path, bool canCreate);
    // Writes what changed since opening; throws ESettingsError naming the first value not
    // written, and then the file on disk is as it was.
    void closeKey();
    bool hasOpenKey() const { return !m_current.isEmpty(); }
    const QString& currentKey() const { return m_current; }

    bool valueExists(const QString& name) const;
    // Missing reads as empty; a string is REG_SZ or REG_EXPAND_SZ (not expanded), cut at a NUL.
    QString readString(const QString& name) const;
    // Only REG_DWORD.
    int32_t readInteger(const QString& name) const;
    bool readBool(const QString& name) const;
    // Only REG_BINARY of exactly eight bytes: a little-endian IEEE 754 double.
    double readFloat(const QString& name) const;

    void writeString(const QString& name, const QString& text);
    void writeInteger(const QString& name, int32_t number);
    void writeBool(const QString& name, bool flag);
    void writeFloat(const QString& name, double number);

private:
    std::optional<RegistryValue> find(const QString& name) const;
    void write(const QString& name, const RegistryValue& value);

    QString m_filePath;
    QString m_root;
    QString m_current;
    bool m_loaded = false;
    RegFileStorage::State m_state = RegFileStorage::State::Missing;
    RegistryFile m_file;
    bool m_changed = false;
    QStringList m_pending;
};
