#include "settings/RegistryKey.h"

#include <cstring>

#include <QtEndian>

#include "settings/ESettingsError.h"

RegistryKey::RegistryKey(QString filePath, QString rootKey)
    : m_filePath(std::move(filePath))
    , m_root(std::move(rootKey))
{ }

bool RegistryKey::openKey(const QString& path, bool canCreate)
{
    if (!m_loaded) {
        const auto contents = RegFileStorage::read(m_filePath);
        m_state = contents.state;
        if (m_state == RegFileStorage::State::Read)
            m_file = RegistryFile::fromBytes(contents.bytes);
        m_loaded = true;
    }
    if (m_state == RegFileStorage::State::Unreadable)
        return false;

    QString key;
    if (path.startsWith(u'\\') || m_current.isEmpty())
        key = m_root + (path.startsWith(u'\\') ? path : u'\\' + path);
    else
        key = m_current + u'\\' + path;
    while (key.endsWith(u'\\'))
        key.chop(1);

    if (!m_file.keyExists(key)) {
        if (!canCreate)
            return false;
        m_file.createKey(key);
        m_changed = true;
    }
    m_current = key;
    return true;
}

void RegistryKey::closeKey()
{
    m_current.clear();
    if (!m_changed)
        return;
    const QString firstUnwritten = m_pending.value(0);
    m_changed = false;
    m_pending.clear();
    // A file that would be too large to be read next time is not written at all.
    const QByteArray bytes = m_file.toBytes();
    if (bytes.size() > RegFileStorage::kMaxBytes ||
        !RegFileStorage::writeAtomically(m_filePath, bytes,
                                         m_state == RegFileStorage::State::TooLarge))
        throw ESettingsError(failedToSetData(firstUnwritten));
    m_state = RegFileStorage::State::Read;
}

std::optional<RegistryValue> RegistryKey::find(const QString& name) const
{
    if (m_current.isEmpty())
        return std::nullopt;
    return m_file.value(m_current, name);
}

bool RegistryKey::valueExists(const QString& name) const { return find(name).has_value(); }

QString RegistryKey::readString(const QString& name) const
{
    const auto value = find(name);
    if (!value)
        return {};
    const auto text = value->toText();
    if (!text)
        throw ESettingsError(invalidDataType(name));
    return *text;
}

int32_t RegistryKey::readInteger(const QString& name) const
{
    const auto value = find(name);
    if (!value)
        throw ESettingsError(failedToGetData(name));
    if (value->type != RegistryValue::DWord)
        throw ESettingsError(invalidDataType(name));
    const auto number = value->toDWord();
    if (!number)
        throw ESettingsError(failedToGetData(name));
    return int32_t(*number);
}

bool RegistryKey::readBool(const QString& name) const { return readInteger(name) != 0; }

double RegistryKey::readFloat(const QString& name) const
{
    const auto value = find(name);
    if (!value)
        throw ESettingsError(failedToGetData(name));
    if (value->type != RegistryValue::Binary)
        throw ESettingsError(invalidDataType(name));
    if (value->data.size() != sizeof(double))
        throw ESettingsError(failedToGetData(name));
    const quint64 bits = qFromLittleEndian<quint64>(value->data.constData());
    double number = 0;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

void RegistryKey::write(const QString& name, const RegistryValue& value)
{
    if (m_current.isEmpty())
        throw ESettingsError(failedToSetData(name));
    m_file.setValue(m_current, name, value);
    m_changed = true;
    m_pending.append(name);
}

void RegistryKey::writeString(const QString& name, const QString& text)
{
    write(name, RegistryValue::fromString(text));
}

void RegistryKey::writeInteger(const QString& name, int32_t number)
{
    write(name, RegistryValue::fromDWord(uint32_t(number)));
}

void RegistryKey::writeBool(const QString& name, bool flag) { writeInteger(name, flag ? 1 : 0); }

void RegistryKey::writeFloat(const QString& name, double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    QByteArray bytes(sizeof bits, Qt::Uninitialized);
    qToLittleEndian(bits, bytes.data());
    write(name, RegistryValue::fromBinary(bytes));
}
