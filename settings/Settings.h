#pragma once

#include <cstdint>

#include <QString>

#include "settings/ESettingsError.h"

// The display template the program starts with when none is stored.
inline const QString kDefaultTemplate = QStringLiteral(
    "Bis zum Jahr %Y sind es noch:\r\n%T Tage(n) %H Stunde(n) %M Minute(n) %S Sekunde(n)");

// The thirteen values that outlive a run, with their built-in defaults in one place; the store
// reads into it and writes from it.
struct Settings {
    QString label = kDefaultTemplate; // display template, lines parted by CR LF
    int32_t stretch = 0;              // picture alignment 0 top, 1 bottom, 2 left, 3 right, 4 fill
    uint32_t fon = 0;                 // background colour, 0x00BBGGRR or a system-colour code
    QString font = QStringLiteral("Arial");
    uint32_t fontC = 0x00FFFFFF; // title colour
    bool fontB = true, fontI = false, fontU = false, fontS = false;
    int32_t fontT = 1; // character set 0..255; kept and written back unused
    bool ifSelectDate = false;
    double selectDate = 0; // picked date-time, 0 when not set
    bool shadow = false;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// "\Software\Vemoral\" and the executable's base name: each copy of the program under another
// name has its own settings.
QString settingsKeyPath(const QString& exeBaseName);
// The account's home folder: $HOME, else the one the user database names for this account.
QString homeFolder();
// $XDG_CONFIG_HOME (else ~/.config) + "/Vemoral/<base name>.reg".
QString settingsFilePath(const QString& exeBaseName);

// Sets selectDate to 0, then reads the values in their fixed order into s; the first value
// that cannot be read ends the reading silently, the values before it stay applied.
void loadSettings(const QString& filePath, const QString& keyPath, Settings& s) noexcept;
// Writes all thirteen values at once; throws ESettingsError ("Failed to set data for 'Label'")
// and leaves the old file as it was when that cannot be done.
void saveSettings(const QString& filePath, const QString& keyPath, const Settings& s);

// The values of mine that differ from base, laid over current; the rest as current has them.
Settings mergeSettingsChanges(const Settings& base, const Settings& mine, const Settings& current);
// Saves what this run changed since stored (the values it last read from or wrote to the file)
// over what the file holds now, so that another copy of the program sharing the file keeps the
// changes it saved meanwhile; stored becomes what the file now holds. A template too large for
// the file keeps the stored template while the other values are written, and then throws the
// error that names 'Label'.
void saveSettingsChanges(const QString& filePath, const QString& keyPath, const Settings& mine,
                         Settings& stored);

// Whether a picked date-time read from the store can be counted to: finite and within the
// years 100 to 9999.
bool isUsableDateTime(double value);
