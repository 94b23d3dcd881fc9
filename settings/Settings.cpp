#include "settings/Settings.h"

#include <cmath>
#include <cstring>
#include <exception>

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

// Reads the values in their fixed order over s; the first value that cannot be read ends the
// reading, the values before it stay applied.
void readStoredValues(const QString& filePath, const QString& keyPath, Settings& s) noexcept
{
    try {
        RegistryKey reg(filePath);
        if (!reg.openKey(keyPath, false))
            return;
        if (QString label = reg.readString(QStringLiteral("Label")); !label.isEmpty())
            s.label = label;
        s.stretch = reg.readInteger(QStringLiteral("Stretch"));
        s.fon = uint32_t(reg.readInteger(QStringLiteral("Fon")));
        if (QString font = reg.readString(QStringLiteral("Font")); !font.isEmpty())
            s.font = font;
        s.fontC = uint32_t(reg.readInteger(QStringLiteral("FontC")));
        s.fontB = s.fontI = s.fontU = s.fontS = false;
        s.fontB = reg.readBool(QStringLiteral("FontB"));
        s.fontI = reg.readBool(QStringLiteral("FontI"));
        s.fontU = reg.readBool(QStringLiteral("FontU"));
        s.fontS = reg.readBool(QStringLiteral("FontS"));
        s.fontT = reg.readInteger(QStringLiteral("FontT")) & 0xFF;
        s.ifSelectDate = reg.readBool(QStringLiteral("IfSelectDate"));
        // A date-time that is no number or lies outside the calendar's years would send the
        // countdown's arithmetic astray; it is a value that cannot be read.
        const double picked = reg.readFloat(QStringLiteral("SelectDate"));
        if (!isUsableDateTime(picked))
            throw ESettingsError(failedToGetData(QStringLiteral("SelectDate")));
        s.selectDate = picked;
        s.shadow = reg.readBool(QStringLiteral("Shadow"));
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
    if (withTemplate)
        reg.writeString(QStringLiteral("Label"), s.label);
    reg.writeInteger(QStringLiteral("Stretch"), s.stretch);
    reg.writeInteger(QStringLiteral("Fon"), int32_t(s.fon));
    reg.writeString(QStringLiteral("Font"), s.font);
    reg.writeInteger(QStringLiteral("FontC"), int32_t(s.fontC));
    reg.writeBool(QStringLiteral("FontB"), s.fontB);
    reg.writeBool(QStringLiteral("FontI"), s.fontI);
    reg.writeBool(QStringLiteral("FontU"), s.fontU);
    reg.writeBool(QStringLiteral("FontS"), s.fontS);
    reg.writeInteger(QStringLiteral("FontT"), s.fontT & 0xFF);
    reg.writeBool(QStringLiteral("IfSelectDate"), s.ifSelectDate);
    reg.writeFloat(QStringLiteral("SelectDate"), s.selectDate);
    reg.writeBool(QStringLiteral("Shadow"), s.shadow);
    reg.closeKey();
}

template <typename T>
void takeIfChanged(T& into, const T& mine, const T& base)
{
    if (mine != base)
        into = mine;
}

} // namespace

void loadSettings(const QString& filePath, const QString& keyPath, Settings& s) noexcept
{
    s.selectDate = 0;
    readStoredValues(filePath, keyPath, s);
}

Settings mergeSettingsChanges(const Settings& base, const Settings& mine, const Settings& current)
{
    Settings m = current;
    takeIfChanged(m.label, mine.label, base.label);
    takeIfChanged(m.stretch, mine.stretch, base.stretch);
    takeIfChanged(m.fon, mine.fon, base.fon);
    takeIfChanged(m.font, mine.font, base.font);
    takeIfChanged(m.fontC, mine.fontC, base.fontC);
    takeIfChanged(m.fontB, mine.fontB, base.fontB);
    takeIfChanged(m.fontI, mine.fontI, base.fontI);
    takeIfChanged(m.fontU, mine.fontU, base.fontU);
    takeIfChanged(m.fontS, mine.fontS, base.fontS);
    takeIfChanged(m.fontT, mine.fontT, base.fontT);
    takeIfChanged(m.ifSelectDate, mine.ifSelectDate, base.ifSelectDate);
    // Compared bit for bit: a stored NaN is no change of its own.
    if (std::memcmp(&mine.selectDate, &base.selectDate, sizeof(double)) != 0)
        m.selectDate = mine.selectDate;
    takeIfChanged(m.shadow, mine.shadow, base.shadow);
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
            stored.label = current.label;
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
