#pragma once

#include <cstdint>

#include <QString>

#include "settings/ESettingsError.h"

// The display template the program starts with when none is stored, as written: in German.
inline constexpr char kDefaultTemplateText[] = QT_TRANSLATE_NOOP(
    "Settings",
    "Bis zum Jahr %Y sind es noch:\r\n%T Tage(n) %H Stunde(n) %M Minute(n) %S Sekunde(n)");
inline const QString kDefaultTemplate = QString::fromUtf8(kDefaultTemplateText);

// The built-in template in the program's language: the installed catalogue's translation of
// kDefaultTemplate, with the same placeholders and lines; kDefaultTemplate without one.
QString builtInTemplate();

// The thirteen values that outlive a run, with their built-in defaults in one place; the store
// reads into it and writes from it. Each is stored under a name of its own (Settings.cpp's
// table), kept from the program's first versions so that their files go on being read.
struct Settings {
    QString titleTemplate = builtInTemplate(); // lines parted by CR LF
    int32_t pictureAlignment = 0; // 0 top, 1 bottom, 2 left, 3 right, 4 fill the window
    uint32_t backgroundColor = 0; // 0x00BBGGRR or a system-colour code
    QString titleFontName = QStringLiteral("Arial");
    uint32_t titleColor = 0x00FFFFFF;
    bool titleBold = true, titleItalic = false, titleUnderline = false, titleStrikeOut = false;
    uint8_t titleCharset = 1; // kept and written back, though fonts no longer need it
    bool usePickedDate = false;
    double pickedDate = 0; // 0 when never picked
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

// Sets pickedDate to 0, then reads the values in their fixed order into s; the first value
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
