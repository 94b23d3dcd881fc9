#include "app/ProgramFiles.h"

#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace {

int fileNameStart(const QString& path) { return int(path.lastIndexOf(QLatin1Char('/'))) + 1; }

// Files copied from other systems often arrive as "0.AVI" or "Yearmark.JPG"; the exact name
// still wins when a folder holds several spellings, and among those the order is fixed.
QString findInFolder(const QString& folder, const QString& fileName)
{
    QString exact = folder + fileName;
    if (QFileInfo(exact).isFile())
        return exact;
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder + name;
    }
    return {};
}

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
    if (n <= 0)
        return QCoreApplication::applicationFilePath();
    const QByteArray bytes(buffer, n);
    const QString path = QFile::decodeName(bytes);
    if (QFile::encodeName(path) == bytes)
        return path;
    // A folder name that is no valid text in the locale's encoding (a ZIP archive from Windows
    // unpacked as it is) would lose its bytes in the decoding, and no file beside the program
    // would be found. The folder is opened once, for the whole run, and reached through this
    // process's descriptor for it, whose name is plain ASCII; helper processes reach it by the
    // same name, since it names this process rather than "self".
    const qsizetype slash = bytes.lastIndexOf('/');
    const int folder = ::open(bytes.left(slash + 1).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return path;
    return QStringLiteral("/proc/%1/fd/%2/").arg(::getpid()).arg(folder) +
           QFile::decodeName(bytes.mid(slash + 1));
}

QString userDataFolder(const QString& exeBaseName)
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = homeFolder() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/Vemoral/") + exeBaseName) + QLatin1Char('/');
}

QString findProgramFile(const QString& exePath, const QString& fileName)
{
    QString found = findInFolder(fileFolder(exePath), fileName);
    if (found.isEmpty())
        found = findInFolder(userDataFolder(fileBaseName(exePath)), fileName);
    return found;
}

QString backgroundPicturePath(const QString& exePath)
{
    const QString exeName = exePath.mid(fileNameStart(exePath));
    for (const char* ext : {".jpg", ".bmp"}) {
        QString found = findProgramFile(exePath, changeFileExt(exeName, QLatin1String(ext)));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString helpFilePath(const QString& exePath, Language language)
{
    const QString german = changeFileExt(exePath, QStringLiteral(".chm"));
    if (language == Language::German)
        return german;
    const QString own =
        changeFileExt(exePath, QStringLiteral(".%1.chm").arg(languageCode(language)));
    return QFileInfo::exists(own) ? own : german;
}

const QStringList kZeroVideoNames = {QStringLiteral("0.avi"), QStringLiteral("0.mp4"),
                                     QStringLiteral("0.mkv"), QStringLiteral("0.webm"),
                                     QStringLiteral("0.mov")};

QString findZeroVideo(const QString& exePath)
{
    for (const QString& name : kZeroVideoNames)
        if (QString found = findProgramFile(exePath, name); !found.isEmpty())
            return found;
    return {};
}

QString findZeroPicture(const QString& exePath)
{
    const QString jpeg = findProgramFile(exePath, QStringLiteral("0.jpg"));
    return jpeg.isEmpty() ? findProgramFile(exePath, QStringLiteral("0.bmp")) : jpeg;
}

QString findPlayCommandVideo(const QString& exePath, const QString& workingFolder)
{
    for (const QString& name : kZeroVideoNames)
        if (const QFileInfo here(QDir(workingFolder).filePath(name)); here.isFile())
            return here.absoluteFilePath();
    return findZeroVideo(exePath);
}
