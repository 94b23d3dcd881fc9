#include "settings/RegistryFile.h"

#include <algorithm>

#include <QHash>

#include "settings/RegFileDecoder.h"

namespace {

QStringView withoutTrailingBackslashes(QStringView key)
{
    while (key.endsWith(u'\\'))
        key.chop(1);
    return key;
}

bool sameKey(QStringView a, QStringView b)
{
    return withoutTrailingBackslashes(a).compare(withoutTrailingBackslashes(b),
                                                 Qt::CaseInsensitive) == 0;
}

// True when `outer` is `key` itself or one of the keys above it.
bool coversKey(QStringView outer, QStringView key)
{
    outer = withoutTrailingBackslashes(outer);
    key = withoutTrailingBackslashes(key);
    if (key.size() == outer.size())
        return key.compare(outer, Qt::CaseInsensitive) == 0;
    return key.size() > outer.size() && key[outer.size()] == u'\\' &&
           key.first(outer.size()).compare(outer, Qt::CaseInsensitive) == 0;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

QString quoted(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    out += u'"';
    return out;
}

// A string goes between quotes only if reading it back gives the same bytes: one closing NUL,
// no NUL inside, line breaks only as CR LF (a lone LF would come back as CR LF) and text that
// UTF-8 can carry. Anything else is written as hex(1) bytes.
bool fitsBetweenQuotes(const RegistryValue& value, QString& text)
{
    const auto decoded = value.toText();
    if (!decoded || value.data != utf16LeWithNul(*decoded) || !QStringView(*decoded).isValidUtf16())
        return false;
    for (qsizetype i = 0; i < decoded->size(); ++i) {
        const QChar c = decoded->at(i);
        if (c == u'\r' && (i + 1 == decoded->size() || decoded->at(i + 1) != u'\n'))
            return false;
        if (c == u'\n' && (i == 0 || decoded->at(i - 1) != u'\r'))
            return false;
    }
    text = *decoded;
    return true;
}

// Bytes as the registry editor lists them: "00,1f,..." wrapped before column 80 with a
// trailing backslash.
QString hexList(QString line, const QByteArray& bytes)
{
    static const char digits[] = "0123456789abcdef";
    QString out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uint8_t b = uint8_t(bytes[i]);
        QString token;
        token += QLatin1Char(digits[b >> 4]);
        token += QLatin1Char(digits[b & 15]);
        if (i + 1 < bytes.size())
            token += u',';
        if (line.size() + token.size() > 77 && i > 0) {
            out += line + QStringLiteral("\\\n");
            line = QStringLiteral("  ");
        }
        line += token;
    }
    return out + line;
}

QString formatValue(const QString& name, const RegistryValue& value)
{
    const QString left = (name.isEmpty() ? QStringLiteral("@") : quoted(name)) + u'=';
    QString text;
    if (value.type == RegistryValue::String && fitsBetweenQuotes(value, text))
        return left + quoted(text);
    if (const auto number = value.toDWord())
        return left + QStringLiteral("dword:%1").arg(*number, 8, 16, QLatin1Char('0'));
    if (value.type == RegistryValue::Binary)
        return hexList(left + QStringLiteral("hex:"), value.data);
    return hexList(left + QStringLiteral("hex(%1):").arg(value.type, 0, 16), value.data);
}

} // namespace

// Reads the text line by line; a quoted string may run over line ends and a hex list may be
// continued with a backslash. The first line it cannot make sense of ends the reading.
class RegFileParser {
public:
    explicit RegFileParser(const QString& text)
        : m_t(text)
    { }

    RegistryFile parse()
    {
        RegistryFile file;
        if (!readHeader()) {
            file.m_tail = m_t;
            return file;
        }
        RegistryFile::Section* section = nullptr;
        while (m_pos < m_t.size()) {
            const qsizetype start = m_pos;
            if (!parseLine(file, section)) {
                file.m_tail = m_t.mid(start);
                break;
            }
        }
        return file;
    }

private:
    using Line = RegistryFile::Line;

    bool atLineEnd() const
    {
        return m_pos >= m_t.size() || m_t[m_pos] == u'\n' ||
               (m_t[m_pos] == u'\r' && (m_pos + 1 == m_t.size() || m_t[m_pos + 1] == u'\n'));
    }
    void skipBlanks()
    {
        while (m_pos < m_t.size() && (m_t[m_pos] == u' ' || m_t[m_pos] == u'\t'))
            ++m_pos;
    }
    // The physical line from `from`, without its line end; moves behind the line end.
    QString takeLine(qsizetype from)
    {
        qsizetype end = m_t.indexOf(u'\n', from);
        m_pos = end < 0 ? m_t.size() : end + 1;
        if (end < 0)
            end = m_t.size();
        // Every CR before the line end goes, not only the one of a CR LF: written back with the
        // line, a second CR would otherwise be lost one save later, changing the file again.
        while (end > from && m_t[end - 1] == u'\r')
            --end;
        return m_t.mid(from, end - from);
    }
    // Only blanks or a comment may follow a value.
    bool finishLine()
    {
        skipBlanks();
        if (m_pos < m_t.size() && m_t[m_pos] == u';') {
            takeLine(m_pos);
            return true;
        }
        if (!atLineEnd())
            return false;
        takeLine(m_pos);
        return true;
    }
    // A value line as written, continuation lines included, without its line end. It is
    // written back like that while the value is unchanged; the older format's strings are
    // code-page bytes and must be written anew.
    QString rawText(qsizetype start) const
    {
        if (m_ansi)
            return {};
        qsizetype end = m_pos;
        if (end > start && m_t[end - 1] == u'\n')
            --end;
        while (end > start && m_t[end - 1] == u'\r')
            --end;
        return m_t.mid(start, end - start);
    }
    bool startsWithWord(QLatin1StringView word) const
    {
        return QStringView(m_t).sliced(m_pos).startsWith(word, Qt::CaseInsensitive);
    }

    bool readHeader()
    {
        while (m_pos < m_t.size()) {
            const QString line = takeLine(m_pos).trimmed();
            if (line.isEmpty())
                continue;
            if (line.compare(QLatin1String(RegistryFile::kHeader), Qt::CaseInsensitive) == 0)
                return true;
            if (line.compare(QLatin1String("REGEDIT4"), Qt::CaseInsensitive) == 0) {
                m_ansi = true;
                return true;
            }
            return false;
        }
        return false;
    }

    bool parseLine(RegistryFile& file, RegistryFile::Section*& section)
    {
        const qsizetype start = m_pos;
        skipBlanks();
        auto& lines = section ? section->lines : file.m_preamble;
        if (atLineEnd() || m_t[m_pos] == u';') {
            lines.push_back({Line::Kind::Text, takeLine(start), {}, {}});
            return true;
        }
        if (m_t[m_pos] == u'[') {
            const QString header = takeLine(start);
            const qsizetype open = header.indexOf(u'[');
            const qsizetype close = header.lastIndexOf(u']');
            if (close < open)
                return false;
            QString key = header.mid(open + 1, close - open - 1).trimmed();
            const bool removal = key.startsWith(u'-');
            if (removal)
                key = key.mid(1).trimmed();
            if (key.isEmpty())
                return false;
            file.m_sections.push_back({header, key, removal, {}});
            section = &file.m_sections.back();
            return true;
        }
        if (section && (m_t[m_pos] == u'"' || m_t[m_pos] == u'@')) {
            Line line;
            if (!parseValue(line))
                return false;
            line.text = rawText(start);
            section->lines.push_back(std::move(line));
            return true;
        }
        return false;
    }

    bool parseQuoted(QString& out)
    {
        ++m_pos; // the opening quote
        while (m_pos < m_t.size()) {
            const QChar c = m_t[m_pos];
            if (c == u'\\' && m_pos + 1 < m_t.size() &&
                (m_t[m_pos + 1] == u'\\' || m_t[m_pos + 1] == u'"')) {
                out += m_t[m_pos + 1];
                m_pos += 2;
            } else if (c == u'"') {
                ++m_pos;
                return true;
            } else if (c == u'\r' && m_pos + 1 < m_t.size() && m_t[m_pos + 1] == u'\n') {
                out += QStringLiteral("\r\n");
                m_pos += 2;
            } else if (c == u'\n') {
                out += QStringLiteral("\r\n");
                ++m_pos;
            } else {
                out += c;
                ++m_pos;
            }
        }
        return false;
    }

    bool parseHexNumber(uint32_t& number, int maxDigits)
    {
        int count = 0;
        number = 0;
        while (m_pos < m_t.size() && hexDigit(m_t[m_pos]) >= 0) {
            if (++count > maxDigits)
                return false;
            number = (number << 4) | uint32_t(hexDigit(m_t[m_pos]));
            ++m_pos;
        }
        return count > 0;
    }

    bool parseHexList(QByteArray& out)
    {
        bool afterByte = false;
        for (;;) {
            skipBlanks();
            if (atLineEnd() || m_t[m_pos] == u';')
                return true;
            if (m_t[m_pos] == u'\\') {
                ++m_pos;
                skipBlanks();
                if (m_pos >= m_t.size())
                    return true;
                if (!atLineEnd())
                    return false;
                takeLine(m_pos);
                continue;
            }
            if (m_t[m_pos] == u',') {
                if (!afterByte)
                    return false;
                afterByte = false;
                ++m_pos;
                continue;
            }
            uint32_t byte = 0;
            if (afterByte || !parseHexNumber(byte, 2))
                return false;
            out.append(char(byte));
            afterByte = true;
        }
    }

    bool parseValue(Line& line)
    {
        if (m_t[m_pos] == u'@') {
            ++m_pos;
        } else if (!parseQuoted(line.name)) {
            return false;
        }
        skipBlanks();
        if (m_pos >= m_t.size() || m_t[m_pos] != u'=')
            return false;
        ++m_pos;
        skipBlanks();
        if (m_pos >= m_t.size())
            return false;
        line.kind = Line::Kind::Value;
        if (m_t[m_pos] == u'"') {
            QString text;
            if (!parseQuoted(text))
                return false;
            line.value = RegistryValue::fromString(text);
        } else if (m_t[m_pos] == u'-') {
            ++m_pos;
            line.kind = Line::Kind::Removal;
        } else if (startsWithWord(QLatin1String("dword:"))) {
            m_pos += 6;
            uint32_t number = 0;
            if (!parseHexNumber(number, 8))
                return false;
            line.value = RegistryValue::fromDWord(number);
        } else if (startsWithWord(QLatin1String("hex:"))) {
            m_pos += 4;
            line.value.type = RegistryValue::Binary;
            if (!parseHexList(line.value.data))
                return false;
        } else if (startsWithWord(QLatin1String("hex("))) {
            m_pos += 4;
            if (!parseHexNumber(line.value.type, 8) || !startsWithWord(QLatin1String("):")))
                return false;
            m_pos += 2;
            if (!parseHexList(line.value.data))
                return false;
            widenAnsiText(line.value);
        } else {
            return false;
        }
        return finishLine();
    }

    // The older format lists the bytes of strings in the Windows code page; held as UTF-16
    // they read like every other string.
    void widenAnsiText(RegistryValue& value) const
    {
        const auto type = value.type;
        if (!m_ansi || (type != RegistryValue::String && type != RegistryValue::ExpandString &&
                        type != RegistryValue::MultiString))
            return;
        const QString text = RegFileDecoder::decodeWindows1252(value.data);
        QByteArray wide;
        wide.reserve(text.size() * 2);
        for (QChar c : text) {
            wide.append(char(c.unicode() & 0xFF));
            wide.append(char(c.unicode() >> 8));
        }
        value.data = wide;
    }

    const QString& m_t;
    qsizetype m_pos = 0;
    bool m_ansi = false;
};

RegistryFile RegistryFile::fromBytes(const QByteArray& bytes)
{
    return fromText(RegFileDecoder::decode(bytes));
}

RegistryFile RegistryFile::fromText(const QString& text) { return RegFileParser(text).parse(); }

bool RegistryFile::keyExists(const QString& key) const
{
    bool exists = false;
    for (const Section& s : m_sections) {
        if (s.removal && coversKey(s.key, key))
            exists = false;
        else if (!s.removal && coversKey(key, s.key))
            exists = true; // the key itself, or one below it that brings it into being
    }
    return exists;
}

std::optional<RegistryValue> RegistryFile::value(const QString& key, const QString& name) const
{
    std::optional<RegistryValue> found;
    for (const Section& s : m_sections) {
        if (s.removal) {
            if (coversKey(s.key, key))
                found.reset();
            continue;
        }
        if (!sameKey(s.key, key))
            continue;
        for (const Line& line : s.lines) {
            if (line.kind == Line::Kind::Text || !sameName(line.name, name))
                continue;
            if (line.kind == Line::Kind::Value)
                found = line.value;
            else
                found.reset();
        }
    }
    return found;
}

RegistryFile::Section& RegistryFile::liveSection(const QString& key)
{
    if (!m_folded.isEmpty() && sameKey(m_folded, key))
        return m_sections[m_foldedAt];
    qsizetype lastRemoval = -1;
    for (qsizetype i = 0; i < qsizetype(m_sections.size()); ++i)
        if (m_sections[i].removal && coversKey(m_sections[i].key, key))
            lastRemoval = i;

    Section merged;
    QHash<QString, size_t> at;
    std::vector<bool> dropped;
    qsizetype place = -1;
    std::vector<Section> kept;
    for (qsizetype i = 0; i < qsizetype(m_sections.size()); ++i) {
        Section& s = m_sections[i];
        if (i <= lastRemoval || s.removal || !sameKey(s.key, key)) {
            kept.push_back(std::move(s));
            continue;
        }
        if (place < 0) {
            place = qsizetype(kept.size());
            merged.header = s.header;
            merged.key = s.key;
        }
        for (Line& line : s.lines) {
            if (line.kind == Line::Kind::Text) {
                merged.lines.push_back(std::move(line));
                dropped.push_back(false);
                continue;
            }
            // A hash keeps a key with tens of thousands of values from taking quadratic time.
            const QString folded = line.name.toCaseFolded();
            const auto same = at.constFind(folded);
            if (line.kind == Line::Kind::Removal) {
                if (same != at.cend())
                    dropped[*same] = true;
                at.remove(folded);
            } else if (same != at.cend()) {
                merged.lines[*same].value = std::move(line.value);
                merged.lines[*same].text = std::move(line.text);
            } else {
                at.insert(folded, merged.lines.size());
                dropped.push_back(false);
                merged.lines.push_back(std::move(line));
            }
        }
    }
    std::vector<Line> live;
    for (size_t i = 0; i < merged.lines.size(); ++i)
        if (!dropped[i])
            live.push_back(std::move(merged.lines[i]));
    merged.lines = std::move(live);
    if (place < 0) {
        // A new section goes behind the last removal that would wipe it, else at the end.
        place = lastRemoval >= 0 ? lastRemoval + 1 : qsizetype(kept.size());
        merged.header = u'[' + key + u']';
        merged.key = key;
    }
    kept.insert(kept.begin() + place, std::move(merged));
    m_sections = std::move(kept);
    m_folded = key;
    m_foldedAt = size_t(place);
    return m_sections[place];
}

void RegistryFile::createKey(const QString& key)
{
    if (!keyExists(key))
        liveSection(key);
}

void RegistryFile::setValue(const QString& key, const QString& name, const RegistryValue& value)
{
    Section& section = liveSection(key);
    auto& lines = section.lines;
    for (Line& line : lines) {
        if (line.kind == Line::Kind::Value && sameName(line.name, name)) {
            line.value = value;
            line.text.clear();
            return;
        }
    }
    // New values go above the blank lines that part this section from the next one.
    auto at = lines.end();
    while (at != lines.begin() && std::prev(at)->kind == Line::Kind::Text &&
           std::prev(at)->text.trimmed().isEmpty())
        --at;
    lines.insert(at, Line {Line::Kind::Value, {}, name, value});
}

QString RegistryFile::toText() const
{
    QString out = QLatin1String(kHeader) + u'\n';
    for (const Line& line : m_preamble)
        out += line.text + u'\n';
    for (const Section& s : m_sections) {
        if (!out.endsWith(u"\n\n"))
            out += u'\n';
        out += s.header + u'\n';
        for (const Line& line : s.lines) {
            switch (line.kind) {
            case Line::Kind::Text:
                out += line.text;
                break;
            case Line::Kind::Value:
                out += line.text.isEmpty() ? formatValue(line.name, line.value) : line.text;
                break;
            case Line::Kind::Removal:
                out += (line.name.isEmpty() ? QStringLiteral("@") : quoted(line.name)) +
                       QStringLiteral("=-");
                break;
            }
            out += u'\n';
        }
    }
    // The unreadable rest stays for whoever wants to mend it, but as comments: put behind the
    // sections written now it could otherwise come to mean something, and override them.
    if (m_tail.isEmpty())
        return out;
    if (!out.endsWith(u"\n\n"))
        out += u'\n';
    QStringView rest(m_tail);
    if (rest.endsWith(u'\n'))
        rest.chop(1);
    for (QStringView line : rest.split(u'\n')) {
        // All of them: a CR left at the end would be taken off when the comment is read back,
        // and the next save would write another file for the same values.
        while (line.endsWith(u'\r'))
            line.chop(1);
        out += u';' + line.toString() + u'\n';
    }
    return out;
}

QByteArray RegistryFile::toBytes() const { return toText().toUtf8(); }
