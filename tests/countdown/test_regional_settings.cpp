#include "countdown/RegionalSettings.h"

#include "clock_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const CalendarTime kMorning = at(2026, 12, 6, 9, 5, 3);
const CalendarTime kAfternoon = at(2026, 12, 6, 21, 5, 3);
const CalendarTime kMidnight = at(2027, 1, 1, 0, 0, 0);
const CalendarTime kNoon = at(2027, 3, 7, 12, 30, 0);

TEST(RegionalSettings, GermanLocaleGivesTwoDigitHoursAndAFourDigitYear)
{
    const RegionalSettings r = RegionalSettings::fromLocale("de_DE.UTF-8");
    EXPECT_EQ(r.longTime(kMorning), QStringLiteral("09:05:03"));
    EXPECT_EQ(r.longTime(kAfternoon), QStringLiteral("21:05:03"));
    EXPECT_EQ(r.longTime(kMidnight), QStringLiteral("00:00:00"));
    EXPECT_EQ(r.shortDate(kMorning), QStringLiteral("06.12.2026"));
    EXPECT_EQ(r.shortDate(kMidnight), QStringLiteral("01.01.2027"));
    EXPECT_EQ(r.longMonthNames[2], QStringLiteral("März"));
    EXPECT_EQ(r.shortDayNames[0], QStringLiteral("So"));
}

TEST(RegionalSettings, AmericanLocaleGivesItsOwnTwelveHourForm)
{
    // en_US's T_FMT is %r, which is "%I:%M:%S %p": %I writes the hour with a leading zero.
    const RegionalSettings r = RegionalSettings::fromLocale("en_US.UTF-8");
    EXPECT_EQ(r.longTime(kMorning), QStringLiteral("09:05:03 AM"));
    EXPECT_EQ(r.longTime(kAfternoon), QStringLiteral("09:05:03 PM"));
    EXPECT_EQ(r.longTime(kMidnight), QStringLiteral("12:00:00 AM"));
    EXPECT_EQ(r.longTime(kNoon), QStringLiteral("12:30:00 PM"));
    EXPECT_EQ(r.shortDate(kMorning), QStringLiteral("12/06/2026"));
}

TEST(RegionalSettings, WithoutRegionalInformationTheDefaultsApply)
{
    const RegionalSettings d = RegionalSettings::defaults();
    EXPECT_EQ(d.longTime(kMorning), QStringLiteral("9:05:03 am"));
    EXPECT_EQ(d.longTime(kAfternoon), QStringLiteral("9:05:03 pm"));
    EXPECT_EQ(d.longTime(kMidnight), QStringLiteral("12:00:00 am"));
    EXPECT_EQ(d.shortDate(kMorning), QStringLiteral("12/6/26"));
    EXPECT_EQ(d.shortDate(at(2005, 3, 9)), QStringLiteral("3/9/05"));
    for (const char* name : {"xx_NOWHERE.UTF-8", "C", "POSIX", "C.UTF-8", ""})
        EXPECT_EQ(RegionalSettings::fromLocale(name), d) << name;
    EXPECT_EQ(RegionalSettings::fromLocale(nullptr), d);
}

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old, m_had = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (m_had)
            setenv(m_name, m_old.c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

TEST(RegionalSettings, TheEnvironmentNamesTheTimeLocale)
{
    struct Case {
        const char* all;
        const char* time;
        const char* lang;
        const char* expectedLocale;
    };
    const Case cases[] = {
        {nullptr, "de_DE.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"},
        {"en_US.UTF-8", "de_DE.UTF-8", nullptr, "en_US.UTF-8"},
        {"", "", "de_DE.UTF-8", "de_DE.UTF-8"},
        {nullptr, nullptr, nullptr, "C"},
    };
    for (const Case& c : cases) {
        ScopedEnvironment all("LC_ALL", c.all);
        ScopedEnvironment time("LC_TIME", c.time);
        ScopedEnvironment lang("LANG", c.lang);
        EXPECT_EQ(RegionalSettings::fromEnvironment(),
                  RegionalSettings::fromLocale(c.expectedLocale))
            << c.expectedLocale;
    }
}

struct FormatCase {
    const char* name;
    const char* timeFormat;
    const char* dateFormat;
    QString morning;
    QString afternoon;
    QString date;
};

TEST(RegionalSettings, StrftimeFormatsBecomeTheForms)
{
    const FormatCase cases[] = {
        {"24 hours, zero padded", "%H:%M:%S", "%d.%m.%Y", u"09:05:03"_qs, u"21:05:03"_qs,
         u"06.12.2026"_qs},
        {"%T and %D", "%T", "%D", u"09:05:03"_qs, u"21:05:03"_qs, u"12/06/26"_qs},
        {"%k unpadded, dots", "%k.%M.%S", "%e.%m.%y", u"9.05.03"_qs, u"21.05.03"_qs, u"6.12.26"_qs},
        {"%-H flag", "%-H:%M:%S", "%-d/%-m/%Y", u"9:05:03"_qs, u"21:05:03"_qs, u"6/12/2026"_qs},
        {"%r follows T_FMT_AMPM", "%r", "%F", u"09:05:03 AM"_qs, u"09:05:03 PM"_qs,
         u"2026-12-06"_qs},
        {"designator first, %l", "%p %l:%M:%S", "%Y/%m/%d", u"AM 9:05:03"_qs, u"PM 9:05:03"_qs,
         u"2026/12/06"_qs},
        {"lower-case %P", "%I:%M:%S %P", "%d %b %Y", u"09:05:03 am"_qs, u"09:05:03 pm"_qs,
         u"06 Dec 2026"_qs},
        {"12 hours without a designator", "%I:%M:%S", "%A, %d. %B %Y", u"09:05:03"_qs,
         u"09:05:03"_qs, u"Sunday, 06. December 2026"_qs},
        {"hour and minutes only, literal text", "%Hh%M", "%d de %B de %Y", u"09h05h03"_qs,
         u"21h05h03"_qs, u"06 de December de 2026"_qs},
        {"no hour: the defaults' time", "%M:%S", "%a %d", u"9:05:03 am"_qs, u"9:05:03 pm"_qs,
         u"Sun 06"_qs},
        {"unknown conversions left out", "%H:%M:%S %Z", "%C%y-%m-%d %j", u"09:05:03"_qs,
         u"21:05:03"_qs, u"26-12-06 "_qs},
        {"no date field: the defaults' date", "%R", "%j %U", u"09:05:03"_qs, u"21:05:03"_qs,
         u"12/6/26"_qs},
        {"quotes and pattern letters in literal text", "%H:%M:%S", "'%d' \"%m\" day %Y",
         u"09:05:03"_qs, u"21:05:03"_qs, u"'06' \"12\" day 2026"_qs},
        {"CJK text", "%H時%M分%S秒", "%Y年%m月%d日", u"09時05時03"_qs, u"21時05時03"_qs,
         u"2026年12月06日"_qs},
        {"empty formats", "", "", u"9:05:03 am"_qs, u"9:05:03 pm"_qs, u"12/6/26"_qs},
        {"a lone % at the end", "%H:%M:%S%", "%d.%m.%Y%", u"09:05:03"_qs, u"21:05:03"_qs,
         u"06.12.2026%"_qs},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        LocaleTimeFields f;
        f.timeFormat = QString::fromUtf8(c.timeFormat);
        f.timeFormatAmPm = QStringLiteral("%I:%M:%S %p");
        f.dateFormat = QString::fromUtf8(c.dateFormat);
        f.am = QStringLiteral("AM");
        f.pm = QStringLiteral("PM");
        const RegionalSettings r = RegionalSettings::fromLocaleFields(f);
        EXPECT_EQ(r.longTime(kMorning), c.morning);
        EXPECT_EQ(r.longTime(kAfternoon), c.afternoon);
        EXPECT_EQ(r.shortDate(kMorning), c.date);
    }
}

TEST(RegionalSettings, ARecursiveAmPmFormatDoesNotLoop)
{
    LocaleTimeFields f;
    f.timeFormat = QStringLiteral("%r");
    f.timeFormatAmPm = QStringLiteral("%r %H:%M:%S");
    f.dateFormat = QStringLiteral("%d.%m.%Y");
    const RegionalSettings r = RegionalSettings::fromLocaleFields(f);
    EXPECT_EQ(r.longTime(kMorning), QStringLiteral("09:05:03"));
}

TEST(RegionalSettings, ShortDatePatternLetters)
{
    struct Case {
        const char* pattern;
        QString expected;
    };
    const Case cases[] = {
        {"d/M/y", u"6-3-05"_qs},
        {"dd/MM/yy", u"06-03-05"_qs},
        {"DD.mm.YYYY", u"06.03.2005"_qs},
        {"ddd dddd", u"Sun Sunday"_qs},
        {"MMM MMMM MMMMM", u"Mar March March"_qs},
        {"yyy", u"2005"_qs},
        {"'d/M' \"y'\"", u"d/M y'"_qs},
        {"'unterminated d", u"unterminated d"_qs},
        {"x", u"x"_qs},
    };
    RegionalSettings r;
    r.dateSeparator = QStringLiteral("-");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        r.shortDatePattern = QString::fromUtf8(c.pattern);
        EXPECT_EQ(r.shortDate(at(2005, 3, 6)), c.expected);
    }
    r.shortDatePattern = QStringLiteral("yyyy");
    EXPECT_EQ(r.shortDate(at(100, 1, 1)), QStringLiteral("0100"));
}

} // namespace
