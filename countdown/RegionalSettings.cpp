#include "countdown/RegionalSettings.h"

#include "countdown/NumberText.h"

#include <QStringDecoder>
#include <QStringView>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <vector>

namespace {

// One piece of a strftime format: literal text, or a conversion with its padding flag.
struct FormatPiece {
    bool literal = true;
    QString text;     // the literal text
    QChar conversion; // the conversion letter
    QChar pad;        // '-', '_', '0' or none
};

void flushLiteral(QString& literal, std::vector<FormatPiece>& out)
{
    if (literal.isEmpty())
        return;
    if (!out.empty() && out.back().literal)
        out.back().text += literal;
    else
        out.push_back(FormatPiece {true, literal, QChar(), QChar()});
    literal.clear();
}

// Splits a strftime format into pieces; %T %R %D %F are spelled out, %r becomes the locale's
// 12-hour format (once: a format that refers to itself is not followed again).
void splitFormat(QStringView format, QStringView amPmFormat, int depth,
                 std::vector<FormatPiece>& out)
{
    QString literal;
    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = format[i];
        if (c != u'%') {
            literal += c;
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        QChar pad;
        while (j < n && QStringView(u"-_0^#").contains(format[j])) {
            if (format[j] != u'^' && format[j] != u'#')
                pad = format[j];
            ++j;
        }
        while (j < n && format[j].isDigit())
            ++j;
        while (j < n && (format[j] == u'E' || format[j] == u'O'))
            ++j;
        if (j >= n) {
            // A "%" without a conversion is plain text.
            literal += format.mid(i);
            break;
        }
        const QChar conversion = format[j];
        i = j + 1;
        switch (conversion.unicode()) {
        case u'%':
            literal += u'%';
            break;
        case u'n':
            literal += u'\n';
            break;
        case u't':
            literal += u'\t';
            break;
        case u'T':
        case u'R':
        case u'D':
        case u'F':
        case u'r': {
            flushLiteral(literal, out);
            QStringView spelled = conversion == u'T'   ? QStringView(u"%H:%M:%S")
                                  : conversion == u'R' ? QStringView(u"%H:%M")
                                  : conversion == u'D' ? QStringView(u"%m/%d/%y")
                                  : conversion == u'F' ? QStringView(u"%Y-%m-%d")
                                                       : amPmFormat;
            if (depth < 3)
                splitFormat(spelled, amPmFormat, depth + 1, out);
            break;
        }
        default:
            flushLiteral(literal, out);
            out.push_back(FormatPiece {false, QString(), conversion, pad});
        }
    }
    flushLiteral(literal, out);
}

bool isHour(const FormatPiece& p)
{
    return !p.literal && QStringView(u"HIkl").contains(p.conversion);
}

void translateTime(const LocaleTimeFields& f, RegionalSettings& r)
{
    std::vector<FormatPiece> pieces;
    splitFormat(f.timeFormat, f.timeFormatAmPm, 0, pieces);
    qsizetype hour = -1;
    qsizetype designator = -1;
    for (qsizetype i = 0; i < qsizetype(pieces.size()); ++i) {
        if (hour < 0 && isHour(pieces[i]))
            hour = i;
        if (designator < 0 && !pieces[i].literal &&
            (pieces[i].conversion == u'p' || pieces[i].conversion == u'P'))
            designator = i;
    }
    if (hour < 0)
        return;
    const FormatPiece& h = pieces[hour];
    r.twelveHour = h.conversion == u'I' || h.conversion == u'l';
    const bool zeroPadded = h.conversion == u'H' || h.conversion == u'I';
    r.leadingZeroHours = zeroPadded ? (h.pad != u'-' && h.pad != u'_') : h.pad == u'0';

    // The separator is the text between the hour and the minutes.
    r.timeSeparator = QStringLiteral(":");
    if (hour + 1 < qsizetype(pieces.size())) {
        const FormatPiece& next = pieces[hour + 1];
        if (!next.literal && next.conversion == u'M')
            r.timeSeparator.clear();
        else if (next.literal && hour + 2 < qsizetype(pieces.size()) && !pieces[hour + 2].literal &&
                 pieces[hour + 2].conversion == u'M')
            r.timeSeparator = next.text;
    }

    r.designatorFirst = designator >= 0 && designator < hour;
    if (r.twelveHour && designator < 0) {
        // A 12-hour form that names no half of the day shows none.
        r.amDesignator.clear();
        r.pmDesignator.clear();
    } else if (designator >= 0 && pieces[designator].conversion == u'P') {
        r.amDesignator = f.am.toLower();
        r.pmDesignator = f.pm.toLower();
    } else {
        r.amDesignator = f.am;
        r.pmDesignator = f.pm;
    }
}

// The pattern letters a date conversion stands for; empty for conversions the form lacks.
QString patternFor(const FormatPiece& p)
{
    const bool unpadded = p.pad == u'-' || p.pad == u'_';
    switch (p.conversion.unicode()) {
    case u'd':
        return unpadded ? QStringLiteral("d") : QStringLiteral("dd");
    case u'e':
        return p.pad == u'0' ? QStringLiteral("dd") : QStringLiteral("d");
    case u'm':
        return unpadded ? QStringLiteral("M") : QStringLiteral("MM");
    case u'y':
        return QStringLiteral("yy");
    case u'Y':
        return QStringLiteral("yyyy");
    case u'a':
        return QStringLiteral("ddd");
    case u'A':
        return QStringLiteral("dddd");
    case u'b':
    case u'h':
        return QStringLiteral("MMM");
    case u'B':
        return QStringLiteral("MMMM");
    default:
        return QString();
    }
}

// Literal text as the date pattern copies it: quoted when it holds pattern letters or quotes.
void appendQuotedLiteral(QString& pattern, const QString& text)
{
    bool plain = true;
    for (QChar c : text)
        if (QStringView(u"dDmMyY/'\"").contains(c))
            plain = false;
    if (plain) {
        pattern += text;
        return;
    }
    pattern += u'\'';
    for (QChar c : text) {
        if (c == u'\'')
            pattern += QStringLiteral("'\"'\"'");
        else
            pattern += c;
    }
    pattern += u'\'';
}

void translateDate(const LocaleTimeFields& f, RegionalSettings& r)
{
    std::vector<FormatPiece> split;
    splitFormat(f.dateFormat, f.timeFormatAmPm, 0, split);
    // Conversions the form lacks are left out; the text around them joins up.
    std::vector<FormatPiece> pieces;
    for (FormatPiece& p : split) {
        if (!p.literal) {
            p.text = patternFor(p);
            if (p.text.isEmpty())
                continue;
        }
        if (p.literal && !pieces.empty() && pieces.back().literal)
            pieces.back().text += p.text;
        else
            pieces.push_back(std::move(p));
    }
    bool anyField = false;
    QString separator;
    for (size_t i = 0; i < pieces.size(); ++i) {
        anyField = anyField || !pieces[i].literal;
        if (separator.isEmpty() && pieces[i].literal && i > 0 && i + 1 < pieces.size())
            separator = pieces[i].text;
    }
    if (!anyField)
        return;
    r.dateSeparator = separator.isEmpty() ? QStringLiteral("/") : separator;
    r.shortDatePattern.clear();
    for (const FormatPiece& p : pieces) {
        if (!p.literal)
            r.shortDatePattern += p.text;
        else if (!separator.isEmpty() && p.text == separator)
            r.shortDatePattern += u'/';
        else
            appendQuotedLiteral(r.shortDatePattern, p.text);
    }
}

template <size_t N>
void takeNames(const std::array<QString, N>& from, std::array<QString, N>& to)
{
    for (size_t i = 0; i < N; ++i)
        if (!from[i].isEmpty())
            to[i] = from[i];
}

struct LocaleFree {
    void operator()(locale_t l) const noexcept { freelocale(l); }
};
using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleFree>;

bool carriesNoRegionalChoice(const char* name)
{
    return name == nullptr || *name == '\0' || std::strcmp(name, "C") == 0 ||
           std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

// Turns the locale's bytes into text, in the locale's own character set.
class LocaleText {
public:
    explicit LocaleText(const char* codeset)
        : m_utf8(codeset == nullptr || std::strcmp(codeset, "UTF-8") == 0)
    {
        if (!m_utf8) {
            m_decoder = QStringDecoder(codeset);
            m_utf8 = !m_decoder.isValid();
        }
    }
    QString operator()(const char* bytes)
    {
        if (bytes == nullptr)
            return QString();
        if (m_utf8)
            return QString::fromUtf8(bytes);
        return m_decoder.decode(QByteArrayView(bytes));
    }

private:
    bool m_utf8;
    QStringDecoder m_decoder;
};

} // namespace

RegionalSettings RegionalSettings::defaults() { return RegionalSettings {}; }

RegionalSettings RegionalSettings::fromLocaleFields(const LocaleTimeFields& fields)
{
    RegionalSettings r;
    translateTime(fields, r);
    translateDate(fields, r);
    takeNames(fields.shortDayNames, r.shortDayNames);
    takeNames(fields.longDayNames, r.longDayNames);
    takeNames(fields.shortMonthNames, r.shortMonthNames);
    takeNames(fields.longMonthNames, r.longMonthNames);
    return r;
}

RegionalSettings RegionalSettings::fromLocale(const char* name)
{
    if (carriesNoRegionalChoice(name))
        return defaults();
    LocaleHandle locale(newlocale(LC_TIME_MASK | LC_CTYPE_MASK, name, locale_t(nullptr)));
    bool knownCodeset = true;
    if (!locale) {
        locale.reset(newlocale(LC_TIME_MASK, name, locale_t(nullptr)));
        knownCodeset = false;
    }
    if (!locale)
        return defaults();
    locale_t l = locale.get();
    LocaleText text(knownCodeset ? nl_langinfo_l(CODESET, l) : nullptr);
    LocaleTimeFields f;
    f.timeFormat = text(nl_langinfo_l(T_FMT, l));
    f.timeFormatAmPm = text(nl_langinfo_l(T_FMT_AMPM, l));
    f.dateFormat = text(nl_langinfo_l(D_FMT, l));
    f.am = text(nl_langinfo_l(AM_STR, l));
    f.pm = text(nl_langinfo_l(PM_STR, l));
    for (int i = 0; i < 7; ++i) {
        f.shortDayNames[i] = text(nl_langinfo_l(nl_item(ABDAY_1 + i), l));
        f.longDayNames[i] = text(nl_langinfo_l(nl_item(DAY_1 + i), l));
    }
    for (int i = 0; i < 12; ++i) {
        f.shortMonthNames[i] = text(nl_langinfo_l(nl_item(ABMON_1 + i), l));
        f.longMonthNames[i] = text(nl_langinfo_l(nl_item(MON_1 + i), l));
    }
    return fromLocaleFields(f);
}

RegionalSettings RegionalSettings::fromEnvironment()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return fromLocale(value);
    }
    return defaults();
}

void RegionalSettings::appendLongTime(QString& out, const CalendarTime& t) const
{
    int hour = t.hour;
    const QString* designator = nullptr;
    if (twelveHour) {
        designator = hour < 12 ? &amDesignator : &pmDesignator;
        hour %= 12;
        if (hour == 0)
            hour = 12;
        if (designator->isEmpty())
            designator = nullptr;
    }
    if (designator && designatorFirst) {
        out += *designator;
        out += u' ';
    }
    appendDecimal(out, hour, leadingZeroHours ? 2 : 1);
    out += timeSeparator;
    appendDecimal(out, t.minute, 2);
    out += timeSeparator;
    appendDecimal(out, t.second, 2);
    if (designator && !designatorFirst) {
        out += u' ';
        out += *designator;
    }
}

void RegionalSettings::appendShortDate(QString& out, const CalendarTime& t) const
{
    const QStringView pattern(shortDatePattern);
    const qsizetype n = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = pattern[i];
        const char16_t lower = c.unicode() < 128 ? char16_t(c.toLower().unicode()) : c.unicode();
        if (lower == u'd' || lower == u'm' || lower == u'y') {
            qsizetype run = 1;
            while (i + run < n && pattern[i + run].toLower() == QChar(lower))
                ++run;
            i += run;
            if (lower == u'd') {
                const int weekday = int(((daysFromCivil(t.year, t.month, t.day) + 6) % 7 + 7) % 7);
                if (run <= 2)
                    appendDecimal(out, t.day, int(run));
                else
                    out += run == 3 ? shortDayNames[weekday] : longDayNames[weekday];
            } else if (lower == u'm') {
                const bool named = t.month >= 1 && t.month <= 12;
                if (run <= 2 || !named)
                    appendDecimal(out, t.month, run >= 2 ? 2 : 1);
                else
                    out += run == 3 ? shortMonthNames[t.month - 1] : longMonthNames[t.month - 1];
            } else if (run <= 2) {
                appendDecimal(out, (t.year % 100 + 100) % 100, 2);
            } else {
                appendDecimal(out, t.year, 4);
            }
        } else if (c == u'/') {
            out += dateSeparator;
            ++i;
        } else if (c == u'\'' || c == u'"') {
            qsizetype end = pattern.indexOf(c, i + 1);
            if (end < 0)
                end = n;
            out += pattern.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            out += c;
            ++i;
        }
    }
}

QString RegionalSettings::longTime(const CalendarTime& t) const
{
    QString out;
    appendLongTime(out, t);
    return out;
}

QString RegionalSettings::shortDate(const CalendarTime& t) const
{
    QString out;
    appendShortDate(out, t);
    return out;
}
