#pragma once
// Compiled HTML help files (.chm): chmlib, loaded at run time so that a machine without it
// still runs, unpacks the file; everything after that works on the unpacked files alone.

#include "base/SharedLibrary.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// chmlib's entry points, looked up once; the library is unloaded with this object.
class ChmLibrary {
public:
    // Null when the library cannot be loaded or lacks an entry point.
    static std::unique_ptr<ChmLibrary> load(const char* name = "libchm.so.1");
    ~ChmLibrary();
    ChmLibrary(const ChmLibrary&) = delete;
    ChmLibrary& operator=(const ChmLibrary&) = delete;

    struct Api;
    const Api& api() const { return *m_api; }

private:
    ChmLibrary(SharedLibrary library, std::unique_ptr<Api> api);
    SharedLibrary m_library;
    std::unique_ptr<Api> m_api;
};

// Every file of a help file by its path inside it ("/topics/start.htm"), looked up without
// regard to case as the help compilers do.
class HelpArchive {
public:
    void add(const QString& path, const QByteArray& data);
    std::optional<QByteArray> file(const QString& path) const;
    QStringList paths() const;

private:
    QHash<QString, QByteArray> m_files;
    QHash<QString, QString> m_byFolded;
};

// Takes the files of a help file one by one, by path and contents; false stops the unpacking.
using HelpFileSink = std::function<bool(const QString& path, const QByteArray& data)>;

// Unpacks a help file in this process. A damaged file can make chmlib crash or loop, so the
// program unpacks help files only in its help reader process (HelpReader.h). False when the
// file cannot be opened, is too large or the sink stopped it.
bool unpackHelpFileTo(const ChmLibrary& lib, const QString& path, const HelpFileSink& sink);
// The same into an archive; null when the file cannot be opened or is too large.
std::optional<HelpArchive> unpackHelpFile(const ChmLibrary& lib, const QString& path);
std::optional<HelpArchive> unpackHelpData(const ChmLibrary& lib, const QByteArray& data);

// The largest help file the viewer unpacks, in bytes after unpacking.
constexpr qint64 kMaxUnpackedHelp = qint64(512) << 20;

// One entry of a contents tree or an index.
struct HelpEntry {
    QString name;
    QString local; // topic path inside the file, may be empty for a heading
    std::vector<HelpEntry> children;
};

// What the viewer shows of a help file.
struct HelpContents {
    QString title;
    QString defaultTopic;
    QByteArray charset; // the file's own character set, used where a page names none
    std::vector<HelpEntry> contents;
    std::vector<HelpEntry> index;
};

HelpContents readHelpContents(const HelpArchive& archive);

// The deepest nesting of a contents tree or index that is kept.
constexpr size_t kMaxContentsDepth = 64;

// The contents tree or index of a sitemap file (.hhc, .hhk), nesting kept up to the limit.
std::vector<HelpEntry> parseSitemap(const QString& html);

// The Windows character set of a language id from the help file's header.
QByteArray charsetOfLanguage(quint32 lcid);

// A page's text: in the character set its own meta tag names, else the fallback.
QString decodeHelpText(const QByteArray& bytes, const QByteArray& fallbackCharset);
