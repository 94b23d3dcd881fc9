#include "app/MediaModule.h"

#include "app/ProgramFiles.h"
#include "base/SharedLibrary.h"

#include <QFile>
#include <QtDebug>

namespace {

// The module's entry point of that name, with GStreamer started; null with the reason in why.
void* entryPoint(const QString& exePath, const char* name, QString& why)
{
    const QByteArray file =
        QFile::encodeName(fileFolder(exePath) + QStringLiteral(YEARMARK_MEDIA_MODULE));
    // Kept for the rest of the run: the layer's objects live as long as the window.
    SharedLibrary module(file.constData());
    module.keepForTheRun();
    void* entry = nullptr;
    StartMedia start = nullptr;
    if (!module.isOpen()) {
        why = QString::fromStdString(module.error());
        return nullptr;
    }
    if (!module.bind(entry, name) || !module.bind(start, "yearmarkStartMedia")) {
        why = QStringLiteral("%1 has no entry point").arg(QFile::decodeName(file));
        return nullptr;
    }
    start();
    return entry;
}

} // namespace

MakeMediaLayer loadMediaModule(const QString& exePath) noexcept
{
    try {
        QString why;
        auto make =
            reinterpret_cast<MakeMediaLayer>(entryPoint(exePath, "yearmarkMakeMediaLayer", why));
        if (!make)
            qWarning("No video: %s", qPrintable(why));
        return make;
    } catch (...) {
        return nullptr;
    }
}

ProbeVideo loadVideoProbe(const QString& exePath, QString& why) noexcept
{
    try {
        return reinterpret_cast<ProbeVideo>(entryPoint(exePath, "yearmarkProbeVideo", why));
    } catch (...) {
        return nullptr;
    }
}
