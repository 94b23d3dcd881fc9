#include "helpviewer/HelpFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <chm_lib.h>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

struct ChmLibrary::Api {
    decltype(&chm_open) open = nullptr;
    decltype(&chm_close) close = nullptr;
    decltype(&chm_retrieve_object) retrieve = nullptr;
    decltype(&chm_enumerate) enumerate = nullptr;
    decltype(&chm_resolve_object) resolve = nullptr;
};

std::unique_ptr<ChmLibrary> ChmLibrary::load(const char* name)
{
    SharedLibrary library(name);
    auto api = std::make_unique<Api>();
    const bool bound = library.bind(api->open, "chm_open") & library.bind(api->close, "chm_close") &
                       library.bind(api->retrieve, "chm_retrieve_object") &
                       library.bind(api->enumerate, "chm_enumerate") &
                       library.bind(api->resolve, "chm_resolve_object");
    if (!bound)
        return nullptr;
    return std::unique_ptr<ChmLibrary>(new ChmLibrary(std::move(library), std::move(api)));
}

ChmLibrary::ChmLibrary(SharedLibrary library, std::unique_ptr<Api> api)
    : m_library(std::move(library))
    , m_api(std::move(api))
{ }

ChmLibrary::~ChmLibrary() = default;

void HelpArchive::add(const QString& path, const QByteArray& data)
{
    m_byFolded.insert(path.toCaseFolded(), path);
    m_files.insert(path, data);
}

std::optional<QByteArray> HelpArchive::file(const QString& path) const
{
    auto it = m_files.constFind(path);
    if (it == m_files.cend()) {
        const auto folded = m_byFolded.constFind(path.toCaseFolded());
        if (folded == m_byFolded.cend())
            return std::nullopt;
        it = m_files.constFind(*folded);
    }
    return *it;
}

QStringList HelpArchive::paths() const { return m_files.keys(); }

namespace {

struct Unpacking {
    const ChmLibrary::Api* api;
    const HelpFileSink& sink;
    QSet<QString> seen; // the paths taken so far, folded
    qint64 total = 0;
    bool failed = false;
};

bool unpackUnit(Unpacking& u, chmFile* file, chmUnitInfo* unit)
{
    const qint64 length = qint64(unit->length);
    if (length < 0 || u.total + length > kMaxUnpackedHelp) {
        u.failed = true;
        return false;
    }
    QByteArray data(length, Qt::Uninitialized);
    const qint64 got =
        u.api->retrieve(file, unit, reinterpret_cast<unsigned char*>(data.data()), 0, length);
    // A part that cannot be read is left out; the rest of the file may still be useful.
    if (got == length) {
        u.total += length;
        const QString path = QString::fromUtf8(unit->path);
        u.seen.insert(path.toCaseFolded());
        if (!u.sink(path, data)) {
            u.failed = true;
            return false;
        }
    }
    return true;
}

int unpackOne(chmFile* file, chmUnitInfo* unit, void* context)
{
    return unpackUnit(*static_cast<Unpacking*>(context), file, unit) ? CHM_ENUMERATOR_CONTINUE
                                                                     : CHM_ENUMERATOR_FAILURE;
}

quint64 readLe(const uchar* p, int bytes)
{
    quint64 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// The names in every listing chunk of the file's directory. chmlib's own walk starts at the
// chunk the header calls the first one, which one compiler gets wrong in large files.
QList<QByteArray> directoryNames(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray header = file.read(0x58);
    if (header.size() < 0x58 || !header.startsWith("ITSF"))
        return {};
    const auto* h = reinterpret_cast<const uchar*>(header.constData());
    const quint64 offset = readLe(h + 0x48, 8);
    const quint64 length = readLe(h + 0x50, 8);
    if (length < 0x54 || length > (quint64(64) << 20) || offset > quint64(file.size()) ||
        !file.seek(qint64(offset)))
        return {};
    const QByteArray dir = file.read(qint64(length));
    const auto* d = reinterpret_cast<const uchar*>(dir.constData());
    if (quint64(dir.size()) != length || !dir.startsWith("ITSP"))
        return {};
    const quint64 headerLength = readLe(d + 8, 4);
    const quint64 chunkLength = readLe(d + 16, 4);
    if (chunkLength < 32 || headerLength >= length)
        return {};
    QList<QByteArray> names;
    for (quint64 at = headerLength; at + chunkLength <= length; at += chunkLength) {
        const uchar* chunk = d + at;
        if (std::memcmp(chunk, "PMGL", 4) != 0)
            continue;
        const quint64 end = chunkLength - std::min<quint64>(readLe(chunk + 4, 4), chunkLength);
        quint64 pos = 20;
        // Each entry: the name's length and the name, then its section, offset and length;
        // the numbers in 7-bit groups with a continuation bit.
        auto encint = [&](quint64& value) {
            value = 0;
            for (int i = 0; i < 9 && pos < end; ++i) {
                const uchar b = chunk[pos++];
                value = value << 7 | (b & 0x7F);
                if (!(b & 0x80))
                    return true;
            }
            return false;
        };
        quint64 nameLength = 0, skip = 0;
        while (pos < end && encint(nameLength) && nameLength <= end - pos) {
            names << QByteArray(reinterpret_cast<const char*>(chunk + pos), qsizetype(nameLength));
            pos += nameLength;
            if (!encint(skip) || !encint(skip) || !encint(skip))
                break;
        }
    }
    return names;
}

} // namespace

bool unpackHelpFileTo(const ChmLibrary& lib, const QString& path, const HelpFileSink& sink)
{
    const ChmLibrary::Api& api = lib.api();
    std::unique_ptr<chmFile, decltype(api.close)> file(
        api.open(QFile::encodeName(path).constData()), api.close);
    if (!file)
        return false;
    Unpacking u {&api, sink, {}};
    api.enumerate(file.get(), CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_SPECIAL | CHM_ENUMERATE_FILES,
                  unpackOne, &u);
    for (const QByteArray& name : directoryNames(path)) {
        if (u.failed)
            break;
        if (name.startsWith("::") || name.endsWith('/') ||
            u.seen.contains(QString::fromUtf8(name).toCaseFolded()))
            continue;
        chmUnitInfo unit;
        if (api.resolve(file.get(), name.constData(), &unit) == CHM_RESOLVE_SUCCESS)
            unpackUnit(u, file.get(), &unit);
    }
    return !u.failed;
}

std::optional<HelpArchive> unpackHelpFile(const ChmLibrary& lib, const QString& path)
{
    HelpArchive archive;
    const bool whole =
        unpackHelpFileTo(lib, path, [&archive](const QString& name, const QByteArray& data) {
            archive.add(name, data);
            return true;
        });
    if (!whole)
        return std::nullopt;
    return archive;
}

std::optional<HelpArchive> unpackHelpData(const ChmLibrary& lib, const QByteArray& data)
{
    const int fd = memfd_create("help", MFD_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<HelpArchive> result;
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n = write(fd, data.constData() + written, size_t(data.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    if (written == data.size())
        result = unpackHelpFile(lib, QStringLiteral("/proc/self/fd/%1").arg(fd));
    close(fd);
    return result;
}

QByteArray charsetOfLanguage(quint32 lcid)
{
    switch (lcid & 0xFFFF) {
    case 0x0C1A: // Serbian, Cyrillic
    case 0x201A: // Bosnian, Cyrillic
        return "windows-1251";
    case 0x0404: // Chinese as written in Taiwan, Hong Kong and Macao
    case 0x0C04:
    case 0x1404:
        return "Big5";
    default:
        break;
    }
    switch (lcid & 0x3FF) {
    case 0x05:
    case 0x0E:
    case 0x15:
    case 0x18:
    case 0x1A:
    case 0x1B:
    case 0x1C:
    case 0x24:
        return "windows-1250";
    case 0x02:
    case 0x19:
    case 0x22:
    case 0x23:
    case 0x2F:
    case 0x3F:
    case 0x40:
    case 0x44:
        return "windows-1251";
    case 0x08:
        return "windows-1253";
    case 0x1F:
    case 0x2C:
    case 0x43:
        return "windows-1254";
    case 0x0D:
        return "windows-1255";
    case 0x01:
    case 0x20:
    case 0x29:
        return "windows-1256";
    case 0x25:
    case 0x26:
    case 0x27:
        return "windows-1257";
    case 0x2A:
        return "windows-1258";
    case 0x1E:
        return "windows-874";
    case 0x11:
        return "Shift_JIS";
    case 0x12:
        return "windows-949";
    case 0x04:
        return "GBK";
    default:
        return "windows-1252";
    }
}

QString decodeHelpText(const QByteArray& bytes, const QByteArray& fallbackCharset)
{
    if (auto bom = QStringConverter::encodingForData(bytes);
        bom && bytes.size() >= 2 &&
        (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
         bytes.startsWith("\xFE\xFF"))) {
        QStringDecoder decoder(*bom);
        return decoder.decode(bytes);
    }
    static const QRegularExpression meta(
        QStringLiteral(R"(<meta[^>]*charset\s*=\s*["']?([A-Za-z0-9_.:-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(2048));
    QStringDecoder decoder;
    if (const auto m = meta.match(head); m.hasMatch())
        decoder = QStringDecoder(m.captured(1).toLatin1().constData());
    if (!decoder.isValid() && !fallbackCharset.isEmpty())
        decoder = QStringDecoder(fallbackCharset.constData());
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

namespace {

// The named entities help authors write in contents and index names; numeric ones are
// decoded in general.
QString decodeEntities(const QString& text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QHash<QString, QChar> named {
        {QStringLiteral("amp"), u'&'},         {QStringLiteral("lt"), u'<'},
        {QStringLiteral("gt"), u'>'},          {QStringLiteral("quot"), u'"'},
        {QStringLiteral("apos"), u'\''},       {QStringLiteral("nbsp"), QChar(0xA0)},
        {QStringLiteral("auml"), u'ä'},        {QStringLiteral("ouml"), u'ö'},
        {QStringLiteral("uuml"), u'ü'},        {QStringLiteral("Auml"), u'Ä'},
        {QStringLiteral("Ouml"), u'Ö'},        {QStringLiteral("Uuml"), u'Ü'},
        {QStringLiteral("szlig"), u'ß'},       {QStringLiteral("eacute"), u'é'},
        {QStringLiteral("egrave"), u'è'},      {QStringLiteral("aacute"), u'á'},
        {QStringLiteral("agrave"), u'à'},      {QStringLiteral("ccedil"), u'ç'},
        {QStringLiteral("copy"), QChar(0xA9)}, {QStringLiteral("reg"), QChar(0xAE)},
    };
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]+|#[xX][0-9A-Fa-f]+|[A-Za-z]+);"));
    QString out;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString name = m.captured(1);
        char32_t code = 0;
        if (name.startsWith(QLatin1String("#x")) || name.startsWith(QLatin1String("#X")))
            code = name.mid(2).toUInt(nullptr, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.mid(1).toUInt();
        else if (const auto found = named.constFind(name); found != named.cend())
            code = found->unicode();
        if (code == 0 || code > 0x10FFFF)
            continue;
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += QString::fromUcs4(&code, 1);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

QString attribute(const QString& attributes, QLatin1String name)
{
    static const QRegularExpression attr(
        QStringLiteral(R"re(([A-Za-z_:-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    for (auto it = attr.globalMatch(attributes); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) == 0) {
            for (int group : {2, 3, 4})
                if (m.capturedStart(group) >= 0)
                    return decodeEntities(m.captured(group));
            return {};
        }
    }
    return {};
}

// A topic named in a sitemap or a header, as a path inside the file.
QString topicPath(const QString& local)
{
    QString path = local.trimmed();
    if (path.isEmpty())
        return path;
    // "ms-its:other.chm::/page.htm" and "mk:@MSITStore:x.chm::/page.htm" point into a file.
    if (const qsizetype sep = path.indexOf(QLatin1String("::")); sep >= 0)
        path = path.mid(sep + 2);
    else if (path.contains(QLatin1String("://")))
        return path;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

} // namespace

std::vector<HelpEntry> parseSitemap(const QString& html)
{
    static const QRegularExpression tag(QStringLiteral(R"(<\s*(/?)\s*([A-Za-z]+)([^>]*)>)"));
    std::vector<HelpEntry> root;
    // Only the innermost list grows, so the pointers further down the stack stay valid.
    std::vector<std::vector<HelpEntry>*> lists {&root};
    int depth = 0;
    bool inObject = false;
    HelpEntry entry;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const bool closing = !m.capturedView(1).isEmpty();
        const QStringView name = m.capturedView(2);
        if (name.compare(QLatin1String("ul"), Qt::CaseInsensitive) == 0) {
            if (closing) {
                depth = std::max(0, depth - 1);
                if (lists.size() > 1)
                    lists.pop_back();
            } else {
                std::vector<HelpEntry>* current = lists.back();
                // Lists nested deeper than any real contents tree add to the deepest level
                // kept, so that walking the tree never runs out of stack.
                if (depth++ > 0 && !current->empty() && lists.size() < kMaxContentsDepth)
                    lists.push_back(&current->back().children);
                else if (depth > 1)
                    lists.push_back(current);
            }
        } else if (name.compare(QLatin1String("object"), Qt::CaseInsensitive) == 0) {
            if (!closing) {
                inObject = true;
                entry = HelpEntry();
            } else if (inObject) {
                inObject = false;
                if (!entry.name.isEmpty() || !entry.local.isEmpty())
                    lists.back()->push_back(std::exchange(entry, HelpEntry()));
            }
        } else if (inObject && !closing &&
                   name.compare(QLatin1String("param"), Qt::CaseInsensitive) == 0) {
            const QString attrs = m.captured(3);
            const QString key = attribute(attrs, QLatin1String("name"));
            // An index entry may name several topics; the first one is the one shown.
            if (key.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0 &&
                entry.name.isEmpty())
                entry.name = attribute(attrs, QLatin1String("value"));
            else if (key.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0 &&
                     entry.local.isEmpty())
                entry.local = topicPath(attribute(attrs, QLatin1String("value")));
        }
    }
    return root;
}

namespace {

// The entries of the header file "#SYSTEM" that the viewer uses.
struct SystemHeader {
    QByteArray contents, index, defaultTopic, title;
    std::optional<quint32> language;
};

quint32 readLe32(const char* p)
{
    return quint32(uchar(p[0])) | quint32(uchar(p[1])) << 8 | quint32(uchar(p[2])) << 16 |
           quint32(uchar(p[3])) << 24;
}

SystemHeader readSystemHeader(const QByteArray& data)
{
    SystemHeader header;
    qsizetype at = 4; // after the format version
    while (at + 4 <= data.size()) {
        const int code = uchar(data[at]) | uchar(data[at + 1]) << 8;
        const int length = uchar(data[at + 2]) | uchar(data[at + 3]) << 8;
        at += 4;
        if (at + length > data.size())
            break;
        const QByteArray value = data.mid(at, length);
        const QByteArray text = value.left(value.indexOf('\0') < 0 ? length : value.indexOf('\0'));
        switch (code) {
        case 0:
            header.contents = text;
            break;
        case 1:
            header.index = text;
            break;
        case 2:
            header.defaultTopic = text;
            break;
        case 3:
            header.title = text;
            break;
        case 4:
            if (length >= 4)
                header.language = readLe32(value.constData());
            break;
        default:
            break;
        }
        at += length;
    }
    return header;
}

// A file with the extension, when the header names none: the one nearest the top.
QString findByExtension(const HelpArchive& archive, QLatin1String extension)
{
    QString best;
    for (const QString& path : archive.paths()) {
        if (!path.endsWith(extension, Qt::CaseInsensitive))
            continue;
        if (best.isEmpty() || path.count(QLatin1Char('/')) < best.count(QLatin1Char('/')) ||
            (path.count(QLatin1Char('/')) == best.count(QLatin1Char('/')) && path < best))
            best = path;
    }
    return best;
}

// The first entry in reading order that names a page inside the file (not an address), found
// without recursion.
const HelpEntry* firstTopic(const std::vector<HelpEntry>& entries)
{
    std::vector<std::pair<const std::vector<HelpEntry>*, size_t>> pending {{&entries, 0}};
    while (!pending.empty()) {
        auto& [list, at] = pending.back();
        if (at == list->size()) {
            pending.pop_back();
            continue;
        }
        const HelpEntry& entry = (*list)[at++];
        if (!entry.local.isEmpty() && !entry.local.contains(QLatin1String("://")))
            return &entry;
        if (!entry.children.empty())
            pending.push_back({&entry.children, 0});
    }
    return nullptr;
}

} // namespace

HelpContents readHelpContents(const HelpArchive& archive)
{
    HelpContents contents;
    SystemHeader header;
    if (const auto system = archive.file(QStringLiteral("/#SYSTEM")))
        header = readSystemHeader(*system);
    contents.charset = charsetOfLanguage(header.language.value_or(0x0409));
    auto text = [&](const QByteArray& raw) {
        return decodeHelpText(raw, contents.charset).trimmed();
    };

    auto sitemap = [&](const QByteArray& named, QLatin1String extension) {
        QString path = topicPath(text(named));
        if (path.isEmpty() || !archive.file(path))
            path = findByExtension(archive, extension);
        const auto data = path.isEmpty() ? std::nullopt : archive.file(path);
        return data ? parseSitemap(decodeHelpText(*data, contents.charset))
                    : std::vector<HelpEntry>();
    };
    contents.contents = sitemap(header.contents, QLatin1String(".hhc"));
    contents.index = sitemap(header.index, QLatin1String(".hhk"));
    contents.title = text(header.title);
    contents.defaultTopic = topicPath(text(header.defaultTopic));
    if (contents.defaultTopic.isEmpty() ||
        !archive.file(contents.defaultTopic.section(QLatin1Char('#'), 0, 0)))
        if (const HelpEntry* first = firstTopic(contents.contents))
            contents.defaultTopic = first->local;
    return contents;
}
