#include "settings/RegistryKey.h"

#include <cstring>

#include <QtEndian>

#include "settings/ESettingsError.h"

RegistryKey::RegistryKey(QString filePath, QString rootKey)
    : filePath_(std::move(filePath)), root_(std::move(rootKey))
{
}

bool RegistryKey::openKey(const QString& path, bool canCreate)
{
    if (!loaded_) {
        const auto contents = RegFileStorage::read(filePath_);
        state_ = contents.state;
        if (state_ == RegFileStorage::State::Read)
            file_ = RegistryFile::fromBytes(contents.bytes);
        loaded_ = true;
    }
    if (state_ == RegFileStorage::State::Unreadable)
        return false;

    QString key;
    if (path.startsWith(u'\\') || current_.isEmpty())
        key = root_ + (path.startsWith(u'\\') ? path : u'\\' + path);
    else
        key = current_ + u'\\' + path;
    while (key.endsWith(u'\\'))
        key.chop(1);

    if (!file_.keyExists(key)) {
        if (!canCreate)
            return false;
        file_.createKey(key);
        changed_ = true;
    }
    current_ = key;
    return true;
}

void RegistryKey::closeKey()
{
    current_.clear();
    if (!changed_)
        return;
    const QString firstUnwritten = pending_.value(0);
    changed_ = false;
    pending_.clear();
    // A file that would be too large to be read next time is not written at all.
    const QByteArray bytes = file_.toBytes();
    if (bytes.size() > RegFileStorage::kMaxBytes
        || !RegFileStorage::writeAtomically(filePath_, bytes, state_ == RegFileStorage::State::TooLarge))
        throw ESettingsError(failedToSetData(firstUnwritten));
    state_ = RegFileStorage::State::Read;
}

std::optional<RegistryValue> RegistryKey::find(const QString& name) const
{
    if (current_.isEmpty())
        return std::nullopt;
    return file_.value(current_, name);
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
    if (current_.isEmpty())
        throw ESettingsError(failedToSetData(name));
    file_.setValue(current_, name, value);
    changed_ = true;
    pending_.append(name);
}

void RegistryKey::writeString(const QString& name, const QString& text) { write(name, RegistryValue::fromString(text)); }

void RegistryKey::writeInteger(const QString& name, int32_t number) { write(name, RegistryValue::fromDWord(uint32_t(number))); }

void RegistryKey::writeBool(const QString& name, bool flag) { writeInteger(name, flag ? 1 : 0); }

void RegistryKey::writeFloat(const QString& name, double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    QByteArray bytes(sizeof bits, Qt::Uninitialized);
    qToLittleEndian(bits, bytes.data());
    write(name, RegistryValue::fromBinary(bytes));
}
