#include "app/MediaModule.h"

#include "app/ProgramFiles.h"

#include <QFile>
#include <QtDebug>

#include <dlfcn.h>

MakeMediaLayer loadMediaModule(const QString& exePath) noexcept
{
    try {
        const QByteArray file =
            QFile::encodeName(fileFolder(exePath) + QStringLiteral(YEARMARK_MEDIA_MODULE));
        // Kept loaded for the rest of the run: the layer's objects live as long as the window.
        void* module = ::dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            qWarning("No video: %s", ::dlerror());
            return nullptr;
        }
        auto make = reinterpret_cast<MakeMediaLayer>(::dlsym(module, "yearmarkMakeMediaLayer"));
        auto start = reinterpret_cast<StartMedia>(::dlsym(module, "yearmarkStartMedia"));
        if (!make || !start) {
            qWarning("No video: %s has no entry point", file.constData());
            return nullptr;
        }
        start();
        return make;
    } catch (...) {
        return nullptr;
    }
}
