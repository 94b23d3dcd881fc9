// The settings file reader on any bytes, then a round trip: what was read, written and read
// again must be the same thirteen values, and writing them once more must give the same file.

#include "fuzz/fuzz_support.h"
#include "settings/Settings.h"

#include <QFile>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fault("the written settings file cannot be opened");
    return file.readAll();
}

void save(const QString& path, const QString& key, const Settings& settings)
{
    try {
        saveSettings(path, key, settings);
    } catch (const ESettingsError&) {
        fault("a settings file that could be read could not be written");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path = scratchPath(QStringLiteral("yearmark.reg"));
    static const QString key = settingsKeyPath(QStringLiteral("yearmark"));
    writeScratch(path, data, size);

    Settings first;
    loadSettings(path, key, first);
    save(path, key, first);
    const QByteArray written = contents(path);
    Settings second;
    loadSettings(path, key, second);
    if (!(second == first))
        fault("read, write, read gave other values");
    save(path, key, second);
    if (contents(path) != written)
        fault("writing the same values again gave another file");
    return 0;
}
