// The expander must give exactly what replacing the placeholders one at a time gives, each
// search starting again at the first character. That procedure (step_by_step_expansion.h, which
// the fuzz target shares) and the expander are run on many generated templates, with regional
// forms whose texts hold '%' signs and placeholder letters, and with a clock that moves on at
// every reading.

#include "countdown/TemplateExpander.h"

#include "clock_support.h"
#include "step_by_step_expansion.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

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
