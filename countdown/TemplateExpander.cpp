#include "countdown/TemplateExpander.h"

#include "countdown/NumberText.h"

#include <QStringView>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

// The next "%" + letter at or after from, or -1. A plain loop: templates are full of '%' and
// short gaps, where the library's searches spend their time in call overhead.
qsizetype findPlaceholder(QStringView text, qsizetype from, char16_t letter)
{
    const char16_t* const data = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype pos = from; pos + 1 < n; ++pos) {
        if (data[pos] == u'%' && data[pos + 1] == letter)
            return pos;
    }
    return -1;
}

// Replaces, in one left-to-right sweep, every placeholder whose letter `handles` accepts by
// what `append` writes. Sound only for values that can neither make nor break a placeholder
// (digits, ':' and '.': never empty, never '%', never a letter); then one sweep equals one
// search-from-the-start pass per letter, and the clock is read in the same order.
template <typename Handles, typename Append>
QString replaceInOneSweep(const QString& text, Handles handles, Append append)
{
    const QStringView in(text);
    const qsizetype n = in.size();
    const char16_t* const data = in.utf16();
    QString out;
    qsizetype copied = 0;
    for (qsizetype pos = 0; pos + 1 < n; ++pos) {
        if (data[pos] != u'%' || !handles(data[pos + 1]))
            continue;
        if (out.isNull())
            out.reserve(n + 32);
        out.append(in.mid(copied, pos - copied));
        append(data[pos + 1], out);
        copied = pos + 2;
        ++pos;
    }
    if (out.isNull())
        return text;
    out.append(in.mid(copied));
    return out;
}

// The first character of the text and the count of '%' it ends with.
struct ValueShape {
    qsizetype leadingLetters = 0;
    qsizetype trailingPercents = 0;
    bool holdsOwnPlaceholder = false;
};

ValueShape shapeOf(QStringView value, char16_t letter)
{
    ValueShape s;
    while (s.leadingLetters < value.size() && value[s.leadingLetters] == letter)
        ++s.leadingLetters;
    while (s.trailingPercents < value.size() &&
           value[value.size() - 1 - s.trailingPercents] == u'%')
        ++s.trailingPercents;
    s.holdsOwnPlaceholder = findPlaceholder(value, 0, letter) >= 0;
    return s;
}

// One letter's pass over a text whose values may be any text (the regional forms). It follows
// the search-from-the-start procedure step by step without rebuilding the text: the finished
// part `out` never holds the placeholder, so each search can start at its last character,
// and inserted text that still has to be searched waits on a stack in front of the rest.
//
// Two kinds of value are not searched again, because the procedure would never end on them:
// a value that holds its own placeholder, and one that begins with the letter twice and ends
// in "%%", inserted right after a '%'. For those the search goes on after the inserted text.
//
// The letter repeated and one '%', inserted right after a '%', does end, but copies itself
// into itself over and over, the work multiplying with every '%' before it. It is followed to
// the end while that stays within a replacement budget far above what other ending runs of
// the text's length need, and within some ten thousand characters more than the text; past
// that, the pass starts again and searches on after each such value instead.
class LetterPass {
public:
    template <typename Append>
    static QString run(const QString& text, char16_t letter, Append append)
    {
        if (findPlaceholder(text, 0, letter) < 0)
            return text;
        if (std::optional<QString> exact = pass(text, letter, append, false))
            return *exact;
        return *pass(text, letter, append, true);
    }

private:
    // Without `cutRepeats` no result once the budget or the length runs out; with it always one.
    template <typename Append>
    static std::optional<QString> pass(const QString& text, char16_t letter, Append append,
                                       bool cutRepeats);
};

template <typename Append>
std::optional<QString> LetterPass::pass(const QString& text, char16_t letter, Append append,
                                        bool cutRepeats)
{
    const QStringView in(text);
    const qsizetype n = in.size();
    qsizetype next = findPlaceholder(in, 0, letter);

    QString out;
    out.reserve(n + 32);
    qsizetype trailing = 0; // the '%' that `out` ends with
    auto put = [&](QStringView piece) {
        out.append(piece);
        qsizetype k = 0;
        while (k < piece.size() && piece[piece.size() - 1 - k] == u'%')
            ++k;
        trailing = k == piece.size() ? trailing + k : k;
    };

    struct Pending {
        QString text;
        qsizetype at = 0;
    };
    std::vector<Pending> pending;
    QString value;
    bool searchedPast = false; // the next character starts no placeholder with `out`
    qsizetype pos = 0;
    qsizetype replacements = 0;

    for (;;) {
        QChar c;
        if (!pending.empty()) {
            Pending& p = pending.back();
            if (p.at >= p.text.size()) {
                pending.pop_back();
                continue;
            }
            c = p.text[p.at++];
        } else {
            if (pos >= n)
                break;
            if (searchedPast || trailing == 0 || in[pos] != letter) {
                // Nothing can join up with `out`: copy up to the next placeholder at once.
                if (next >= 0 && next < pos)
                    next = findPlaceholder(in, pos, letter);
                if (next < 0) {
                    put(in.mid(pos));
                    break;
                }
                put(in.mid(pos, next + 1 - pos));
                pos = next + 1;
                searchedPast = false;
            }
            c = in[pos++];
        }

        if (c != letter || searchedPast || trailing == 0) {
            put(QStringView(&c, 1));
            searchedPast = false;
            continue;
        }

        // A placeholder: the '%' that ends `out` and this letter.
        out.chop(1);
        --trailing;
        value.clear();
        append(value);
        const ValueShape shape = shapeOf(value, letter);
        const bool feedsItself =
            shape.leadingLetters >= 2 &&
            (shape.trailingPercents >= 2 || (cutRepeats && shape.trailingPercents == 1 &&
                                             shape.leadingLetters + 1 == value.size()));
        // The rules above hold for a value that stays the same; one the clock changes halfway
        // could still feed itself. Far more replacements than any ending run of this length
        // needs stop every further search of inserted text.
        const bool overBudget = ++replacements > 8 * (n + 16) * (value.size() + 2);
        // A text this long is of no use on a screen; the time and memory matter more.
        if (!cutRepeats && (overBudget || out.size() > 4 * n + (1 << 16)))
            return std::nullopt;
        if (shape.holdsOwnPlaceholder || (feedsItself && trailing > 0) || overBudget) {
            put(value);
            searchedPast = true;
        } else if (!value.isEmpty()) {
            if (value.front() != letter && !value.contains(u'%')) {
                // Cannot take part in a placeholder: no need to search it again.
                put(value);
            } else {
                pending.push_back(Pending {value, 0});
            }
        }
    }
    return out;
}

bool isNumberLetter(char16_t letter)
{
    switch (letter) {
    case u'Y':
    case u'T':
    case u'H':
    case u'M':
    case u'S':
    case u'A':
        return true;
    default:
        return false;
    }
}

void appendNextYear(QString& out, const Clock& clock)
{
    appendDecimal(out, int64_t(clock.now().year) + 1);
}

} // namespace

QString expandLive(const QString& tmpl, const CountdownBreakdown& breakdown, TDateTime target,
                   const Clock& clock, const RegionalSettings& regional)
{
    // All %T come before the first %H, so every %H shows the hours of the day as soon as
    // the template holds a %T anywhere.
    const bool hasDays = findPlaceholder(tmpl, 0, u'T') >= 0;
    const int64_t hours = hasDays ? breakdown.hours % 24 : breakdown.hours;

    QString text = replaceInOneSweep(tmpl, isNumberLetter, [&](char16_t letter, QString& out) {
        switch (letter) {
        case u'Y':
            appendNextYear(out, clock);
            break;
        case u'T':
            appendDecimal(out, breakdown.days);
            break;
        case u'H':
            appendDecimal(out, hours);
            break;
        case u'M':
            appendDecimal(out, breakdown.minutes, 2);
            break;
        case u'S':
            appendDecimal(out, breakdown.seconds, 2);
            break;
        default:
            appendDecimal(out, breakdown.total);
            break;
        }
    });

    const CalendarTime targetFields = decodeDateTime(target);
    text =
        LetterPass::run(text, u'C', [&](QString& v) { regional.appendLongTime(v, clock.now()); });
    text =
        LetterPass::run(text, u'U', [&](QString& v) { regional.appendLongTime(v, targetFields); });
    text =
        LetterPass::run(text, u'D', [&](QString& v) { regional.appendShortDate(v, clock.now()); });
    text =
        LetterPass::run(text, u'Z', [&](QString& v) { regional.appendShortDate(v, targetFields); });
    return text;
}

namespace {

int digitsOf(int64_t value)
{
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

QString withZeroDigits(QString text)
{
    for (QChar& c : text)
        if (c.isDigit())
            c = u'0';
    return text;
}

// The longest of the texts format makes of the given moments (by characters: the digits are
// all zeros then, and the names are what differs).
template <typename Format>
QString longestOf(const std::vector<CalendarTime>& moments, Format format)
{
    QString longest;
    for (const CalendarTime& t : moments) {
        QString text = withZeroDigits(format(t));
        if (text.size() > longest.size())
            longest = std::move(text);
    }
    return longest;
}

} // namespace

SampleForms SampleForms::widestFor(TDateTime now, TDateTime target,
                                   const RegionalSettings& regional)
{
    // Counting down, the values only shrink; counting up, they grow for as long as the program
    // runs: a year of it is taken into account.
    constexpr int64_t kYearSeconds = 366 * 86400;
    const int64_t largest =
        remainingSeconds(now, target) + (now >= target ? kYearSeconds : int64_t {0});
    SampleForms forms;
    forms.dayDigits = std::max(forms.dayDigits, digitsOf(largest / 86400));
    forms.hourDigits = std::max(forms.hourDigits, digitsOf(largest / 3600));
    forms.totalDigits = std::max(forms.totalDigits, digitsOf(largest));
    // Two-digit hours before noon and after it give both designators their turn; the 22nd to
    // the 28th of every month give every day name with every month name.
    std::vector<CalendarTime> times;
    for (int hour : {10, 22})
        times.push_back(CalendarTime {2000, 1, 1, hour, 0, 0, 0});
    std::vector<CalendarTime> dates;
    for (int month = 1; month <= 12; ++month)
        for (int day = 22; day <= 28; ++day)
            dates.push_back(CalendarTime {2000, month, day, 0, 0, 0, 0});
    const QString time =
        longestOf(times, [&](const CalendarTime& t) { return regional.longTime(t); });
    const QString date =
        longestOf(dates, [&](const CalendarTime& t) { return regional.shortDate(t); });
    if (time.size() >= forms.time.size())
        forms.time = time;
    if (date.size() >= forms.date.size())
        forms.date = date;
    return forms;
}

QString expandSample(const QString& tmpl, const Clock& clock, const SampleForms& forms)
{
    const bool hasDays = findPlaceholder(tmpl, 0, u'T') >= 0;
    QString text = replaceInOneSweep(tmpl, isNumberLetter, [&](char16_t letter, QString& out) {
        switch (letter) {
        case u'Y':
            appendNextYear(out, clock);
            break;
        case u'T':
            appendDecimal(out, 0, forms.dayDigits);
            break;
        case u'H':
            appendDecimal(out, 0, hasDays ? 3 : forms.hourDigits);
            break;
        case u'M':
        case u'S':
            out += QLatin1StringView("00");
            break;
        default:
            appendDecimal(out, 0, forms.totalDigits);
            break;
        }
    });
    // Regional forms may hold letters and '%': they are put in as the live text puts its own.
    text = LetterPass::run(text, u'C', [&](QString& v) { v += forms.time; });
    text = LetterPass::run(text, u'U', [&](QString& v) { v += forms.time; });
    text = LetterPass::run(text, u'D', [&](QString& v) { v += forms.date; });
    text = LetterPass::run(text, u'Z', [&](QString& v) { v += forms.date; });
    return text;
}
