#include "helpviewer/HelpPage.h"

#include <QStringList>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

using Names = std::vector<QLatin1String>;

bool isOneOf(QStringView name, const Names& names)
{
    return std::any_of(names.begin(), names.end(), [name](QLatin1String n) {
        return name.compare(n, Qt::CaseInsensitive) == 0;
    });
}

bool is(QStringView name, const char* other)
{
    return name.compare(QLatin1String(other), Qt::CaseInsensitive) == 0;
}

bool is(QStringView name, QStringView other)
{
    return name.compare(other, Qt::CaseInsensitive) == 0;
}

// Elements without content and without a closing tag.
bool isVoid(QStringView name)
{
    static const Names names {
        QLatin1String("area"),  QLatin1String("base"),    QLatin1String("basefont"),
        QLatin1String("br"),    QLatin1String("col"),     QLatin1String("embed"),
        QLatin1String("frame"), QLatin1String("hr"),      QLatin1String("img"),
        QLatin1String("input"), QLatin1String("isindex"), QLatin1String("link"),
        QLatin1String("meta"),  QLatin1String("param"),   QLatin1String("source"),
        QLatin1String("track"), QLatin1String("wbr")};
    return isOneOf(name, names);
}

// The parts of a table, which the layout turns into a table of its own wherever they stand.
bool isTablePart(QStringView name)
{
    static const Names names {
        QLatin1String("tr"),      QLatin1String("td"),    QLatin1String("th"),
        QLatin1String("thead"),   QLatin1String("tbody"), QLatin1String("tfoot"),
        QLatin1String("caption"), QLatin1String("col"),   QLatin1String("colgroup")};
    return isOneOf(name, names);
}

// An item, cell, row or paragraph ends where the next one of its kind begins, within the list
// or table it belongs to.
struct ImplicitEnd {
    Names opening;  // the tags that end an open element
    Names same;     // of these kinds
    Names boundary; // but not beyond one of these
};

const ImplicitEnd* implicitEndOf(QStringView name)
{
    using L = QLatin1String;
    static const std::vector<ImplicitEnd> ends {
        {{L("li")},
         {L("li")},
         {L("ul"), L("ol"), L("menu"), L("dir"), L("table"), L("td"), L("th")}},
        {{L("dt"), L("dd")},
         {L("dt"), L("dd")},
         {L("dl"), L("table"), L("td"), L("th"), L("ul"), L("ol")}},
        {{L("td"), L("th")}, {L("td"), L("th")}, {L("tr"), L("table")}},
        {{L("tr")}, {L("tr")}, {L("table"), L("thead"), L("tbody"), L("tfoot")}},
        {{L("thead"), L("tbody"), L("tfoot")}, {L("thead"), L("tbody"), L("tfoot")}, {L("table")}},
    };
    for (const ImplicitEnd& e : ends)
        if (isOneOf(name, e.opening))
            return &e;
    return nullptr;
}

bool isLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

bool isSpace(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

// Where an attribute's name may end; what it may be is checked afterwards.
bool endsAttributeName(QChar c) { return isSpace(c) || c == u'>' || c == u'/' || c == u'='; }

bool isAttributeName(QStringView name)
{
    if (name.isEmpty() || !isLetter(name[0]))
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return isLetter(c) || isDigit(c) || c == u'-' || c == u'_' || c == u':' || c == u'.';
    });
}

QString escapedAttribute(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        if (c == u'"')
            out += QLatin1String("&quot;");
        else if (c == u'<')
            out += QLatin1String("&lt;");
        else if (c == u'>')
            out += QLatin1String("&gt;");
        else
            out += c;
    }
    return out;
}

struct Attribute {
    QStringView name;
    QStringView value;
    bool hasValue = false;
};

struct Tag {
    QStringView name; // letters and digits only: what follows them is read as attributes
    std::vector<Attribute> attributes;
    bool closing = false;
    bool selfClosing = false;
    qsizetype end = 0; // just after the '>'; the text's end when the tag is not closed
};

// Reads the tag that starts with the '<' at `at`, its attribute values quoted or not.
Tag readTag(QStringView html, qsizetype at)
{
    Tag tag;
    qsizetype i = at + 1;
    const qsizetype n = html.size();
    if (i < n && html[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && (isLetter(html[i]) || isDigit(html[i])))
        ++i;
    tag.name = html.mid(nameStart, i - nameStart);
    for (;;) {
        while (i < n && (isSpace(html[i]) || html[i] == u'/')) {
            tag.selfClosing = html[i] == u'/';
            ++i;
        }
        if (i >= n || html[i] == u'>')
            break;
        tag.selfClosing = false;
        Attribute attribute;
        const qsizetype start = i;
        while (i < n && !endsAttributeName(html[i]))
            ++i;
        attribute.name = html.mid(start, i - start);
        qsizetype j = i;
        while (j < n && isSpace(html[j]))
            ++j;
        if (j < n && html[j] == u'=') {
            i = j + 1;
            while (i < n && isSpace(html[i]))
                ++i;
            attribute.hasValue = true;
            if (i < n && (html[i] == u'"' || html[i] == u'\'')) {
                const qsizetype close = html.indexOf(html[i], i + 1);
                const qsizetype valueEnd = close < 0 ? n : close;
                attribute.value = html.mid(i + 1, valueEnd - i - 1);
                i = std::min(n, valueEnd + 1);
            } else {
                const qsizetype valueStart = i;
                while (i < n && !isSpace(html[i]) && html[i] != u'>')
                    ++i;
                attribute.value = html.mid(valueStart, i - valueStart);
            }
        }
        // Anything that is not a plain attribute name is left out, so that no later reader
        // can find another tag in it.
        if (isAttributeName(attribute.name))
            tag.attributes.push_back(attribute);
    }
    tag.end = std::min(n, i + 1);
    return tag;
}

// Of an attribute given twice the first counts, as in HTML.
const Attribute* attributeOf(const Tag& tag, const char* name)
{
    const auto found = std::find_if(tag.attributes.begin(), tag.attributes.end(),
                                    [name](const Attribute& a) { return is(a.name, name); });
    return found == tag.attributes.end() ? nullptr : &*found;
}

// Whether a link element brings a style sheet that a browser applies: its relation holds the
// token "stylesheet" (and not "alternate": such a sheet waits to be chosen, which here it never
// is), and its type, when it names one, is CSS. Help compilers often leave the type out.
bool isStyleSheetLink(const Tag& tag)
{
    const Attribute* rel = attributeOf(tag, "rel");
    const Attribute* type = attributeOf(tag, "type");
    if (!rel)
        return false;
    bool styleSheet = false;
    bool alternate = false;
    const QStringView tokens = rel->value;
    for (qsizetype i = 0; i < tokens.size();) {
        while (i < tokens.size() && isSpace(tokens[i]))
            ++i;
        const qsizetype start = i;
        while (i < tokens.size() && !isSpace(tokens[i]))
            ++i;
        styleSheet = styleSheet || is(tokens.mid(start, i - start), "stylesheet");
        alternate = alternate || is(tokens.mid(start, i - start), "alternate");
    }
    // A type's parameters ("; charset=...") do not change what it is.
    const QStringView essence =
        type ? type->value.left(type->value.indexOf(u';')).trimmed() : QStringView();
    return styleSheet && !alternate && (essence.isEmpty() || is(essence, "text/css"));
}

constexpr QChar kInvisibleBreak(0x200B);
// Where the scripts that take the layout longer begin, and the ideographs, where a line may
// break after every character.
constexpr QChar kBeyondLatin(0x0300);
constexpr QChar kIdeographs(0x2E80);

// Walks the page once, keeping the elements open at each point, and writes the bounded page.
class PageBounder {
public:
    PageBounder(QStringView html, const HelpPageLimits& limits)
        : m_html(html.left(limits.maxSource))
        , m_limits(limits)
    {
        m_out.reserve(std::min(m_html.size(), limits.maxChars) + 64);
    }

    QString run()
    {
        qsizetype pos = 0;
        const qsizetype n = m_html.size();
        while (pos < n && !m_full) {
            const qsizetype lt = m_html.indexOf(u'<', pos);
            const qsizetype textEnd = lt < 0 ? n : lt;
            putText(m_html.mid(pos, textEnd - pos));
            if (lt < 0)
                break;
            pos = markup(lt);
        }
        return m_out;
    }

private:
    struct Open {
        QStringView name;
        bool dropped; // left out of the page, with its closing tag
    };

    // Handles the markup at the '<' and returns where the text goes on.
    qsizetype markup(qsizetype lt)
    {
        const qsizetype n = m_html.size();
        const QStringView rest = m_html.mid(lt);
        if (rest.startsWith(QLatin1String("<!--"))) {
            const qsizetype close = m_html.indexOf(QLatin1String("-->"), lt + 4);
            return close < 0 ? n : close + 3;
        }
        if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
            const qsizetype close = m_html.indexOf(u'>', lt);
            const qsizetype end = close < 0 ? n : close + 1;
            const QStringView declaration = m_html.mid(lt, end - lt);
            // A declaration is kept only when nothing else could be read into it.
            if (close >= 0 && declaration.lastIndexOf(u'<') == 0)
                putWhole(declaration);
            return end;
        }
        const qsizetype nameAt = rest.startsWith(u"</") ? 2 : 1;
        if (rest.size() <= nameAt || !isLetter(rest[nameAt])) {
            putText(u"&lt;");
            return lt + 1;
        }
        const Tag tag = readTag(m_html, lt);
        if (tag.closing) {
            close(tag.name);
            return tag.end;
        }
        const bool kept = open(tag);
        if (!tag.selfClosing && (is(tag.name, "script") || is(tag.name, "style")))
            return rawText(tag.name, tag.end, kept);
        return tag.end;
    }

    // The content of a script (left out) or a style element (kept without any markup).
    qsizetype rawText(QStringView name, qsizetype from, bool kept)
    {
        const QString closeTag = QLatin1String("</") + name.toString();
        qsizetype end = from - 1;
        do {
            end = m_html.indexOf(closeTag, end + 1, Qt::CaseInsensitive);
        } while (
            end >= 0 && end + closeTag.size() < m_html.size() &&
            (isLetter(m_html[end + closeTag.size()]) || isDigit(m_html[end + closeTag.size()])));
        if (end < 0)
            end = m_html.size();
        if (kept && is(name, "style")) {
            QString css = m_html.mid(from, end - from).toString();
            css.remove(u'<');
            put(css);
        }
        return end;
    }

    // Writes the opening tag unless it is left out; true when the element was written and
    // stays open.
    bool open(const Tag& tag)
    {
        if (m_elements >= m_limits.maxElements) {
            m_full = true;
            return false;
        }
        closeImplicitly(tag.name);
        const bool isVoidTag = isVoid(tag.name);
        const bool isTable = is(tag.name, "table");
        bool drop = !isVoidTag && m_depth >= m_limits.maxDepth;
        if (isTable && m_tableDepth >= m_limits.maxTableDepth)
            drop = true;
        // A table part belongs to the table around it: left out with it, and left out where
        // there is none.
        if (isTablePart(tag.name)) {
            const auto table = std::find_if(m_open.rbegin(), m_open.rend(),
                                            [](const Open& o) { return is(o.name, "table"); });
            if (table == m_open.rend() || table->dropped)
                drop = true;
        }
        if (!drop) {
            // An element written as closing itself is opened and closed, so that no reader
            // can take it as one that stays open.
            const bool closesItself = tag.selfClosing && !isVoidTag;
            const bool isCell = is(tag.name, "td") || is(tag.name, "th");
            if (!putWhole(tagText(tag, isVoidTag && tag.selfClosing) +
                              (closesItself ? QLatin1String("</") + tag.name.toString() + u'>'
                                            : QString()),
                          m_limits.elementWork + (isCell ? m_limits.cellWork : 0)))
                return false;
            ++m_elements;
        }
        if (isVoidTag || tag.selfClosing)
            return false;
        // Beyond this many elements open, dropped or not, the page ends: looking through them
        // for each closing tag must stay cheap.
        if (m_open.size() >= size_t(m_limits.maxDepth) * 4) {
            m_full = true;
            return false;
        }
        m_open.push_back({tag.name, drop});
        if (!drop) {
            ++m_depth;
            m_tableDepth += isTable;
        }
        return !drop;
    }

    void close(QStringView name)
    {
        const auto match = std::find_if(m_open.rbegin(), m_open.rend(),
                                        [name](const Open& o) { return is(o.name, name); });
        // A closing tag with nothing open of its name means nothing.
        if (match != m_open.rend())
            popTo(m_open.size() - size_t(match - m_open.rbegin()) - 1);
    }

    // Only the elements written count: the ones left out are not there for whoever reads the
    // page.
    void closeImplicitly(QStringView name)
    {
        if (is(name, "p")) {
            for (size_t i = m_open.size(); i-- > 0;) {
                if (!m_open[i].dropped) {
                    if (is(m_open[i].name, "p"))
                        popTo(i);
                    return;
                }
            }
            return;
        }
        const ImplicitEnd* end = implicitEndOf(name);
        if (!end)
            return;
        for (size_t i = m_open.size(); i-- > 0;) {
            if (m_open[i].dropped)
                continue;
            if (isOneOf(m_open[i].name, end->same)) {
                popTo(i);
                return;
            }
            if (isOneOf(m_open[i].name, end->boundary))
                return;
        }
    }

    // Closes the open elements down to and with the one at `index`, each with its own tag.
    void popTo(size_t index)
    {
        while (m_open.size() > index && !m_full) {
            const Open top = m_open.back();
            m_open.pop_back();
            if (top.dropped)
                continue;
            --m_depth;
            m_tableDepth -= is(top.name, "table");
            putWhole(QLatin1String("</") + top.name.toString() + u'>');
        }
    }

    QString tagText(const Tag& tag, bool selfClosing)
    {
        // The text layout takes a link for a style sheet by its type alone, whatever the
        // relation says: the type it is shown is the one that tells what the page applies.
        const bool link = is(tag.name, "link");
        QString text = u'<' + tag.name.toString();
        for (const Attribute& a : tag.attributes) {
            if (link && is(a.name, "type"))
                continue;
            text += u' ' + a.name.toString();
            if (a.hasValue)
                text += QLatin1String("=\"") + escapedAttribute(bounded(tag.name, a)) + u'"';
        }
        if (link && isStyleSheetLink(tag))
            text += QLatin1String(" type=\"text/css\"");
        text += selfClosing ? QLatin1String(" />") : QLatin1String(">");
        return text;
    }

    // Spans and picture sizes kept within what a help page can sensibly ask for.
    QString bounded(QStringView tagName, const Attribute& a) const
    {
        int limit = 0;
        if (is(a.name, "colspan") || is(a.name, "rowspan"))
            limit = m_limits.maxSpan;
        else if ((is(a.name, "width") || is(a.name, "height")) && is(tagName, "img"))
            limit = m_limits.maxImageSide;
        const QStringView value = a.value.trimmed();
        // A size in percent or another unit is left to the layout; a number too large becomes
        // the limit.
        if (limit == 0 || value.isEmpty() || !isDigit(value[0]))
            return a.value.toString();
        qsizetype digits = 0;
        while (digits < value.size() && isDigit(value[digits]))
            ++digits;
        const qlonglong number = digits > 9 ? limit + 1 : value.left(digits).toLongLong();
        return number <= limit ? a.value.toString() : QString::number(limit);
    }

    // The text that still fits the page's size and work at the present table depth; text in a
    // table is measured again for each table around it.
    qsizetype room() const
    {
        return std::max<qsizetype>(0, std::min(m_limits.maxChars - m_out.size(),
                                               (m_limits.maxWork - m_work) >> m_tableDepth));
    }

    // Page text. A long run without a place to break the line gets an invisible one now and
    // then (breaking a word into lines takes time that grows with its square), never inside an
    // entity; characters beyond the Latin scripts take more work.
    void putText(QStringView text)
    {
        for (const QChar c : text) {
            const bool breaks = isSpace(c) || c == u'-' || c == kInvisibleBreak || c >= kIdeographs;
            if (m_run >= m_limits.maxWordLength && !m_inEntity && !breaks) {
                if (!putChar(kInvisibleBreak))
                    return;
                m_run = 0;
            }
            if (!putChar(c))
                return;
            m_inEntity = c == u'&' || (m_inEntity && (isLetter(c) || isDigit(c) || c == u'#'));
            m_run = breaks ? 0 : m_run + 1;
        }
    }

    bool putChar(QChar c)
    {
        const qsizetype work =
            (c < kBeyondLatin || c == kInvisibleBreak ? 1 : m_limits.wideCharWork) << m_tableDepth;
        if (m_full || m_out.size() >= m_limits.maxChars || m_work + work > m_limits.maxWork) {
            m_full = true;
            return false;
        }
        m_out += c;
        m_work += work;
        return true;
    }

    // Text, cut where the page reaches its limits.
    void put(QStringView text)
    {
        const qsizetype fits = std::min(text.size(), room());
        m_out += text.left(fits);
        m_work += fits << m_tableDepth;
        m_full = m_full || fits < text.size();
    }

    // Markup, whole or not at all, with the work its element gives the layout.
    bool putWhole(QStringView text, qsizetype work = 0)
    {
        if (m_full || text.size() + work > room()) {
            m_full = true;
            return false;
        }
        m_out += text;
        m_work += (text.size() + work) << m_tableDepth;
        return true;
    }

    QStringView m_html;
    const HelpPageLimits& m_limits;
    QString m_out;
    std::vector<Open> m_open;
    int m_depth = 0;
    int m_tableDepth = 0;
    int m_elements = 0;
    qsizetype m_work = 0;
    int m_run = 0;
    bool m_inEntity = false;
    bool m_full = false;
};

} // namespace

QString boundedHelpPage(const QString& html, const HelpPageLimits& limits)
{
    return PageBounder(html, limits).run();
}

QString boundedHelpStyleSheet(const QString& css, const HelpPageLimits& limits)
{
    return css.left(limits.maxChars);
}
