#include "settings/RegFileStorage.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Owns one POSIX file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) noexcept
        : m_fd(fd)
    { }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const noexcept { return m_fd; }

private:
    int m_fd;
};

void syncFolder(const QString& folder)
{
    const FileDescriptor dir(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace

RegFileStorage::Contents RegFileStorage::read(const QString& path, qint64 maxBytes)
{
    // Non-blocking, so that a named pipe put in the file's place cannot stall the start.
    const FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return {errno == ENOENT || errno == ENOTDIR ? State::Missing : State::Unreadable, {}};
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {State::Unreadable, {}};
    if (info.st_size > maxBytes)
        return {State::TooLarge, {}};

    // Sized for the file as it is; grown if it grows while being read, but never past the
    // limit plus one byte. A buffer of the whole limit would cost a megabyte for a few lines.
    QByteArray bytes(info.st_size + 1, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > maxBytes)
                break;
            bytes.resize(qMin(bytes.size() * 2, maxBytes + 1));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + total, size_t(bytes.size() - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {State::Unreadable, {}};
        if (n == 0)
            break;
        total += n;
    }
    if (total > maxBytes)
        return {State::TooLarge, {}};
    bytes.truncate(total);
    return {State::Read, bytes};
}

bool RegFileStorage::writeAtomically(const QString& path, const QByteArray& bytes, bool keepOld)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    if (QFileInfo(path).isDir())
        return false;

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    if (keepOld) {
        // A hard link keeps the old contents without copying them, whatever their size.
        const QByteArray backup = QFile::encodeName(path + QStringLiteral(".bak"));
        ::unlink(backup.constData());
        if (::link(QFile::encodeName(path).constData(), backup.constData()) != 0 &&
            errno != ENOENT) {
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit())
        return false;
    syncFolder(folder);
    return true;
}

int RegFileStorage::writeError(const QString& path)
{
    const QFileInfo file(path);
    if (file.isDir())
        return EISDIR;
    // The new file is made beside the old one and renamed over it, in a folder that is made
    // first when missing: what counts is the nearest folder that is there.
    QFileInfo folder(file.absolutePath());
    while (!folder.exists() && !folder.isRoot())
        folder = QFileInfo(folder.absolutePath());
    if (!folder.isDir())
        return ENOTDIR;
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK | X_OK) != 0)
        return errno;
    return 0;
}
