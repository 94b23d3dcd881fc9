#include "settings/Settings.h"

#include <cmath>

#include <QDir>

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

QString settingsFilePath(const QString& exeBaseName)
{
    // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Vemoral/") + exeBaseName + QStringLiteral(".reg");
}

bool isUsableDateTime(double value)
{
    if (!std::isfinite(value))
        return false;
    const double day = std::trunc(value);
    return day >= kFirstDay && day <= kLastDay;
}

void loadSettings(const QString& filePath, const QString& keyPath, Settings& s) noexcept
{
    s.selectDate = 0;
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

void saveSettings(const QString& filePath, const QString& keyPath, const Settings& s)
{
    RegistryKey reg(filePath);
    if (!reg.openKey(keyPath, true))
        throw ESettingsError(failedToSetData(QStringLiteral("Label")));
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
