// The expander must give exactly what replacing the placeholders one at a time gives, each
// search starting again at the first character. That procedure is written out here word for
// word and both are run on many generated templates, with regional forms whose texts hold
// '%' signs and placeholder letters, and with a clock that moves on at every reading.

#include "countdown/TemplateExpander.h"

#include "clock_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

// The procedure as written: copy, then for each placeholder in the fixed order find its first
// occurrence from the start, delete it, compute the value, insert it, and search again.
// Gives up (no result) when an inserted value holds its own placeholder, or when a pass goes on
// far longer than any ending run of these sizes.
std::optional<QString> stepByStep(const QString& tmpl, bool sample, CountdownBreakdown b,
                                  TDateTime target, const Clock& clock, const RegionalSettings& r)
{
    const QString order = QStringLiteral("YTHMSACUDZ");
    QString text = tmpl;
    for (QChar letter : order) {
        const QString placeholder = QStringLiteral("%") + letter;
        int replacements = 0;
        for (;;) {
            const qsizetype at = text.indexOf(placeholder);
            if (at < 0)
                break;
            if (++replacements > 1000 || text.size() > 20000)
                return std::nullopt;
            text.remove(at, 2);
            QString value;
            switch (letter.unicode()) {
            case u'Y':
                value = QString::number(clock.now().year + 1);
                break;
            case u'T':
                value = sample ? QStringLiteral("000") : QString::number(b.days);
                break;
            case u'H':
                value = sample ? QStringLiteral("000") : QString::number(b.hours);
                break;
            case u'M':
                value = sample ? QStringLiteral("00")
                               : QString::number(b.minutes).rightJustified(2, u'0');
                break;
            case u'S':
                value = sample ? QStringLiteral("00")
                               : QString::number(b.seconds).rightJustified(2, u'0');
                break;
            case u'A':
                value = sample ? QStringLiteral("00000000") : QString::number(b.total);
                break;
            case u'C':
                value = sample ? QStringLiteral("00:00:00") : r.longTime(clock.now());
                break;
            case u'U':
                value = sample ? QStringLiteral("00:00:00") : r.longTime(decodeDateTime(target));
                break;
            case u'D':
                value = sample ? QStringLiteral("00.00.0000") : r.shortDate(clock.now());
                break;
            case u'Z':
                value = sample ? QStringLiteral("00.00.0000") : r.shortDate(decodeDateTime(target));
                break;
            }
            // With the value holding its own placeholder the procedure never ends while the
            // value stays the same (the clock may change it, hours later); that is the mended
            // case, compared elsewhere.
            if (value.contains(placeholder))
                return std::nullopt;
            text.insert(at, value);
            if (letter == u'T' && !sample)
                b.hours %= 24;
        }
    }
    return text;
}

class Generator {
public:
    explicit Generator(unsigned seed)
        : m_random(seed)
    { }

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    template <size_t N>
    QString pick(const char* const (&from)[N])
    {
        return QString::fromUtf8(from[below(int(N))]);
    }

    QString templateText()
    {
        static const char* const pieces[] = {
            "%Y", "%T",   "%H", "%M", "%S", "%A", "%C", "%U", "%D", "%Z", "%", "%%",  "%t",    "%h",
            "%x", "\r\n", "Y",  "T",  "C",  "U",  "D",  "Z",  "a",  " ",  "7", "%%T", "%\r\n",
        };
        QString t;
        const int count = below(14);
        for (int i = 0; i < count; ++i)
            t += pick(pieces);
        return t;
    }

    RegionalSettings regional()
    {
        static const char* const separators[] = {":", ".",  "",   "%",  "%Z", "%D",
                                                 "C", "U%", "%%", "%C", "Z"};
        static const char* const designators[] = {"am", "pm",   "",   "%",  "C",
                                                  "%U", "CC%%", "%C", "D%", "U"};
        static const char* const patterns[] = {
            "dd/MM/yyyy", "m/d/yy", "'%'d/M",           "'Z'dd", "'D'",   "'x%'",   "'D%'",
            "\"%Z\"yyyy", "'DD%%'", "ddd, d MMMM yyyy", "'%D'",  "dd'%'", "'Z%'MM",
        };
        RegionalSettings r;
        r.leadingZeroHours = below(2) == 0;
        r.twelveHour = below(2) == 0;
        r.designatorFirst = below(2) == 0;
        r.amDesignator = pick(designators);
        r.pmDesignator = pick(designators);
        r.timeSeparator = pick(separators);
        r.shortDatePattern = pick(patterns);
        r.dateSeparator = pick(separators);
        return r;
    }

private:
    std::mt19937 m_random;
};

TEST(ExpanderMatchesStepByStepProcedure, OnGeneratedTemplates)
{
    Generator g(20261206);
    int compared = 0;
    int endless = 0;
    for (int i = 0; i < 20000; ++i) {
        const QString tmpl = g.templateText();
        const RegionalSettings r = g.regional();
        const int64_t remaining = g.below(2) == 0 ? g.below(100) : g.below(40'000'000);
        const CountdownBreakdown b = breakdownOf(remaining);
        const TDateTime target =
            encodeDateTime(at(2027, 1, 1, g.below(24), g.below(60), g.below(60)));
        const CalendarTime start = at(2026, 12, 31, 23, 59, 58, g.below(1000));
        const int step = 1 + g.below(900);

        const SteppingClock procedureClock(start, step);
        const std::optional<QString> expected =
            stepByStep(tmpl, false, b, target, procedureClock, r);
        const SteppingClock clock(start, step);
        const QString actual = expandLive(tmpl, b, target, clock, r);
        if (!expected) {
            ++endless;
            continue;
        }
        ++compared;
        ASSERT_EQ(actual, *expected)
            << "template: " << shown(tmpl) << "\nseparator: " << shown(r.timeSeparator)
            << "\nam: " << shown(r.amDesignator) << "\npm: " << shown(r.pmDesignator) << " first "
            << r.designatorFirst << " twelve " << r.twelveHour
            << "\npattern: " << shown(r.shortDatePattern)
            << "\ndate separator: " << shown(r.dateSeparator);
        ASSERT_EQ(clock.reads(), procedureClock.reads()) << tmpl.toStdString();
    }
    // The generator must reach both kinds of input, or the comparison proves little.
    EXPECT_GT(compared, 15000);
    EXPECT_GT(endless, 50);
}

TEST(ExpanderMatchesStepByStepProcedure, SampleOnGeneratedTemplates)
{
    Generator g(7);
    for (int i = 0; i < 5000; ++i) {
        const QString tmpl = g.templateText();
        const SteppingClock procedureClock(at(2026, 12, 31, 23, 59, 59, 0), 400);
        const std::optional<QString> expected = stepByStep(tmpl, true, {}, 0, procedureClock, {});
        ASSERT_TRUE(expected.has_value());
        const SteppingClock clock(at(2026, 12, 31, 23, 59, 59, 0), 400);
        ASSERT_EQ(expandSample(tmpl, clock), *expected) << tmpl.toStdString();
        ASSERT_EQ(clock.reads(), procedureClock.reads());
    }
}

} // namespace
