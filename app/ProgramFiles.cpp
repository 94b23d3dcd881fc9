#include "app/ProgramFiles.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <climits>
#include <unistd.h>

namespace {

int fileNameStart(const QString& path) { return int(path.lastIndexOf(QLatin1Char('/'))) + 1; }

} // namespace

QString changeFileExt(const QString& path, const QString& ext)
{
    const int nameStart = fileNameStart(path);
    const int dot = int(path.lastIndexOf(QLatin1Char('.')));
    if (dot >= nameStart)
        return path.left(dot) + ext;
    return path + ext;
}

QString fileBaseName(const QString& path)
{
    const QString name = path.mid(fileNameStart(path));
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    return dot >= 0 ? name.left(dot) : name;
}

QString fileFolder(const QString& path) { return path.left(fileNameStart(path)); }

QString executablePath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0)
        return QString::fromLocal8Bit(buffer, n);
    return QCoreApplication::applicationFilePath();
}

QString backgroundPicturePath(const QString& exePath)
{
    for (const char* ext : {".jpg", ".bmp"}) {
        const QString candidate = changeFileExt(exePath, QLatin1String(ext));
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}
