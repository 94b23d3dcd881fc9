#pragma once

#include <QByteArray>
#include <QString>

// The store's file is read whole and replaced whole: reading takes nothing but a regular file
// of bounded size (a pipe or a device must not block or flood the program), and writing goes
// through a temporary file renamed over the old one, so a crash or a full disk never leaves
// half a file behind.
class RegFileStorage {
public:
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    enum class State {
        Missing,    // no file yet
        Read,       // bytes holds the whole file
        TooLarge,   // a regular file over kMaxBytes; not read
        Unreadable, // a directory, a device, a pipe, or a read error
    };
    struct Contents {
        State state = State::Missing;
        QByteArray bytes;
    };

    static Contents read(const QString& path, qint64 maxBytes = kMaxBytes);

    // Writes the bytes beside the file, flushes them to disk and renames them over it; the
    // folder is made if missing. With keepOld the previous file stays as "<path>.bak". On
    // failure the old file is untouched and false comes back.
    static bool writeAtomically(const QString& path, const QByteArray& bytes, bool keepOld = false);

    // Why writeAtomically could not replace the file, found without writing anything: 0 when it
    // could, else the error number (EISDIR for a folder in the file's place, ENOTDIR for a file
    // in a folder's, else what the folder's permissions or its file system give).
    static int writeError(const QString& path);
};
