#include "settings/Settings.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <type_traits>
#include <variant>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>
#include <vector>

#include "settings/RegistryKey.h"

namespace {

// Whole days from 30 December 1899 to 1 January 100 and to 31 December 9999.
constexpr double kFirstDay = -657434;
constexpr double kLastDay = 2958465;

} // namespace

QString builtInTemplate() { return QCoreApplication::translate("Settings", kDefaultTemplateText); }

QString settingsKeyPath(const QString& exeBaseName)
{
    return QStringLiteral("\\Software\\Vemoral\\") + exeBaseName;
}

QString homeFolder()
{
    // Started without HOME (from a service or a stripped environment), the files still belong
    // in the account's home, not in the root folder.
    if (const QString home = qEnvironmentVariable("HOME"); !home.isEmpty())
        return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        return QFile::decodeName(found->pw_dir);
    return QDir::homePath();
}

QString settingsFilePath(const QString& exeBaseName)
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = homeFolder() + QStringLiteral("/.config");
    return base + QStringLiteral("/Vemoral/") + exeBaseName + QStringLiteral(".reg");
}

bool isUsableDateTime(double value)
{
    if (!std::isfinite(value))
        return false;
    const double day = std::trunc(value);
    return day >= kFirstDay && day <= kLastDay;
}

namespace {

// Each setting's name in the store, in the order the values are read and written.
template <typename T>
struct Stored {
    const char* name;
    T Settings::*value;
};
using StoredSetting = std::variant<Stored<QString>, Stored<int32_t>, Stored<uint32_t>,
                                   Stored<uint8_t>, Stored<bool>, Stored<double>>;
const StoredSetting kStoredSettings[] = {
    Stored<QString> {"Label", &Settings::titleTemplate},
    Stored<int32_t> {"Stretch", &Settings::pictureAlignment},
    Stored<uint32_t> {"Fon", &Settings::backgroundColor},
    Stored<QString> {"Font", &Settings::titleFontName},
    Stored<uint32_t> {"FontC", &Settings::titleColor},
    Stored<bool> {"FontB", &Settings::titleBold},
    Stored<bool> {"FontI", &Settings::titleItalic},
    Stored<bool> {"FontU", &Settings::titleUnderline},
    Stored<bool> {"FontS", &Settings::titleStrikeOut},
    Stored<uint8_t> {"FontT", &Settings::titleCharset},
    Stored<bool> {"IfSelectDate", &Settings::usePickedDate},
    Stored<double> {"SelectDate", &Settings::pickedDate},
    Stored<bool> {"Shadow", &Settings::shadow},
};

template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};

// Reads one value over s; throws when it cannot be read.
void readStored(RegistryKey& reg, const StoredSetting& setting, Settings& s)
{
    std::visit(
        Overloaded {
            // An empty text keeps the built-in one.
            [&](const Stored<QString>& v) {
                if (QString text = reg.readString(QLatin1String(v.name)); !text.isEmpty())
                    s.*v.value = std::move(text);
            },
            [&](const Stored<int32_t>& v) { s.*v.value = reg.readInteger(QLatin1String(v.name)); },
            [&](const Stored<uint32_t>& v) {
                s.*v.value = uint32_t(reg.readInteger(QLatin1String(v.name)));
            },
            [&](const Stored<uint8_t>& v) {
                s.*v.value = uint8_t(reg.readInteger(QLatin1String(v.name)) & 0xFF);
            },
            [&](const Stored<bool>& v) { s.*v.value = reg.readBool(QLatin1String(v.name)); },
            // A date-time that is no number or lies outside the calendar's years would send
            // the countdown's arithmetic astray; it is a value that cannot be read.
            [&](const Stored<double>& v) {
                const double value = reg.readFloat(QLatin1String(v.name));
                if (!isUsableDateTime(value))
                    throw ESettingsError(failedToGetData(QLatin1String(v.name)));
                s.*v.value = value;
            },
        },
        setting);
}

void writeStored(RegistryKey& reg, const StoredSetting& setting, const Settings& s)
{
    std::visit(
        Overloaded {
            [&](const Stored<QString>& v) { reg.writeString(QLatin1String(v.name), s.*v.value); },
            [&](const Stored<int32_t>& v) { reg.writeInteger(QLatin1String(v.name), s.*v.value); },
            [&](const Stored<uint32_t>& v) {
                reg.writeInteger(QLatin1String(v.name), int32_t(s.*v.value));
            },
            [&](const Stored<uint8_t>& v) { reg.writeInteger(QLatin1String(v.name), s.*v.value); },
            [&](const Stored<bool>& v) { reg.writeBool(QLatin1String(v.name), s.*v.value); },
            [&](const Stored<double>& v) { reg.writeFloat(QLatin1String(v.name), s.*v.value); },
        },
        setting);
}

bool isTemplate(const StoredSetting& setting)
{
    const auto* text = std::get_if<Stored<QString>>(&setting);
    return text && text->value == &Settings::titleTemplate;
}

// Reads the values in their fixed order over s; the first value that cannot be read ends the
// reading, the values before it stay applied.
void readStoredValues(const QString& filePath, const QString& keyPath, Settings& s) noexcept
{
    try {
        RegistryKey reg(filePath);
        if (!reg.openKey(keyPath, false))
            return;
        for (const StoredSetting& setting : kStoredSettings) {
            // The style starts plain before its four values are read: a store that ends before
            // them leaves the title plain rather than bold.
            if (const auto* flag = std::get_if<Stored<bool>>(&setting);
                flag && flag->value == &Settings::titleBold)
                s.titleBold = s.titleItalic = s.titleUnderline = s.titleStrikeOut = false;
            readStored(reg, setting, s);
        }
        reg.closeKey();
    } catch (...) {
        // Reading the settings never stops the program; what was read stays applied.
    }
}

void writeValues(const QString& filePath, const QString& keyPath, const Settings& s,
                 bool withTemplate)
{
    RegistryKey reg(filePath);
    if (!reg.openKey(keyPath, true))
        throw ESettingsError(failedToSetData(QStringLiteral("Label")));
    for (const StoredSetting& setting : kStoredSettings)
        if (withTemplate || !isTemplate(setting))
            writeStored(reg, setting, s);
    reg.closeKey();
}

} // namespace

void loadSettings(const QString& filePath, const QString& keyPath, Settings& s) noexcept
{
    s.pickedDate = 0;
    readStoredValues(filePath, keyPath, s);
}

Settings mergeSettingsChanges(const Settings& base, const Settings& mine, const Settings& current)
{
    Settings m = current;
    for (const StoredSetting& setting : kStoredSettings)
        std::visit(
            [&](const auto& v) {
                // Compared bit for bit: a stored NaN is no change of its own.
                const auto& value = mine.*v.value;
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>) {
                    if (std::memcmp(&value, &(base.*v.value), sizeof value) != 0)
                        m.*v.value = value;
                } else if (value != base.*v.value) {
                    m.*v.value = value;
                }
            },
            setting);
    return m;
}

void saveSettingsChanges(const QString& filePath, const QString& keyPath, const Settings& mine,
                         Settings& stored)
{
    Settings current = stored;
    readStoredValues(filePath, keyPath, current);
    const Settings merged = mergeSettingsChanges(stored, mine, current);
    try {
        saveSettings(filePath, keyPath, merged);
        stored = merged;
    } catch (const ESettingsError&) {
        // The template is the one value without a bound of its own: one too large for the file
        // keeps the stored template, and the other values are still written. The error is
        // raised all the same, so that the user learns that the template was not kept.
        const std::exception_ptr failure = std::current_exception();
        try {
            writeValues(filePath, keyPath, merged, false);
            stored = merged;
            stored.titleTemplate = current.titleTemplate;
        } catch (const ESettingsError&) {
            // Not the template's size: nothing could be written.
        }
        std::rethrow_exception(failure);
    }
}

void saveSettings(const QString& filePath, const QString& keyPath, const Settings& s)
{
    writeValues(filePath, keyPath, s, true);
}
