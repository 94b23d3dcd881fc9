#include "countdown/TemplateExpander.h"
#include "settings/Settings.h"

#include "clock_support.h"

#include <gtest/gtest.h>

namespace {

RegionalSettings germanForms()
{
    RegionalSettings r;
    r.leadingZeroHours = true;
    r.twelveHour = false;
    r.timeSeparator = QStringLiteral(":");
    r.shortDatePattern = QStringLiteral("dd/MM/yyyy");
    r.dateSeparator = QStringLiteral(".");
    return r;
}

const CalendarTime kNow = at(2026, 12, 6, 9, 5, 3, 250);
const TDateTime kNewYear2027 = encodeDateTime(at(2027, 1, 1));

QString live(const QString& tmpl, int64_t remaining, const RegionalSettings& r = germanForms())
{
    const FixedClock clock(kNow);
    return expandLive(tmpl, breakdownOf(remaining), kNewYear2027, clock, r);
}

struct LiveCase {
    const char* name;
    QString tmpl;
    int64_t remaining;
    QString expected;
};

TEST(LiveExpansion, WorkedExamples)
{
    const LiveCase cases[] = {
        {"built-in template", kDefaultTemplate, 90061,
         QStringLiteral("Bis zum Jahr 2027 sind es noch:\r\n1 Tage(n) 1 Stunde(n) 01 Minute(n) 01 "
                        "Sekunde(n)")},
        {"all hours without %T", QStringLiteral("%A=%H:%M:%S"), 90061,
         QStringLiteral("90061=25:01:01")},
        {"hours of the day with %T", QStringLiteral("%T %A=%H:%M:%S"), 90061,
         QStringLiteral("1 90061=1:01:01")},
        {"doubled percent and lower case", QStringLiteral("%%T and %t"), 90061,
         QStringLiteral("%1 and %t")},
        {"target time and date, German forms", QStringLiteral("%U %Z"), 90061,
         QStringLiteral("00:00:00 01.01.2027")},
    };
    for (const LiveCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(live(c.tmpl, c.remaining), c.expected);
    }
}

TEST(LiveExpansion, EdgeCases)
{
    const LiveCase cases[] = {
        {"no placeholders", QStringLiteral("Frohes Fest\r\n"), 5,
         QStringLiteral("Frohes Fest\r\n")},
        {"empty template", QString(), 5, QString()},
        {"%H before %T shows the hours of the day", QStringLiteral("%H %T %H"), 90061,
         QStringLiteral("1 1 1")},
        {"%H without %T counts all hours", QStringLiteral("%H"), 31'535'999,
         QStringLiteral("8759")},
        {"a year of 365 days after its first half second", QStringLiteral("%T %H %M %S"),
         31'535'999, QStringLiteral("364 23 59 59")},
        {"percent at the end", QStringLiteral("%S%"), 7, QStringLiteral("07%")},
        {"percent at the start", QStringLiteral("%"), 7, QStringLiteral("%")},
        {"unknown letters", QStringLiteral("%X %y %h %%"), 7, QStringLiteral("%X %y %h %%")},
        {"zero moment", kDefaultTemplate, 0,
         QStringLiteral("Bis zum Jahr 2027 sind es noch:\r\n0 Tage(n) 0 Stunde(n) 00 Minute(n) 00 "
                        "Sekunde(n)")},
        {"59 seconds", QStringLiteral("%T %H %M %S"), 59, QStringLiteral("0 0 00 59")},
        {"current time and date", QStringLiteral("%C|%D"), 1,
         QStringLiteral("09:05:03|06.12.2026")},
        {"placeholders directly joined", QStringLiteral("%Y%T%H%M%S%A"), 90061,
         QStringLiteral("202711010190061")},
        {"CR LF kept", QStringLiteral("%S\r\n%S"), 9, QStringLiteral("09\r\n09")},
    };
    for (const LiveCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(live(c.tmpl, c.remaining), c.expected);
    }
}

TEST(LiveExpansion, YearTimeAndDateReadTheClockAtEachOccurrence)
{
    // One second per reading, starting one second before New Year.
    const SteppingClock clock(at(2026, 12, 31, 23, 59, 59, 0), 1000);
    const QString text = expandLive(QStringLiteral("%C %Y %D %C %Y %D"), breakdownOf(1),
                                    kNewYear2027, clock, germanForms());
    // Both %Y first, then both %C, then both %D.
    EXPECT_EQ(text, QStringLiteral("00:00:01 2027 01.01.2027 00:00:02 2028 01.01.2027"));
    EXPECT_EQ(clock.reads(), 6);
}

TEST(LiveExpansion, TextsInsertedForATimeAreSearchedForLaterPlaceholders)
{
    RegionalSettings r = germanForms();
    r.timeSeparator = QStringLiteral("%Z");
    // %C inserts "09%Z05%Z03", whose %Z the later pass replaces; %Y inside it stays, being earlier.
    EXPECT_EQ(live(QStringLiteral("%C"), 1, r), QStringLiteral("0901.01.20270501.01.202703"));
    r.timeSeparator = QStringLiteral("%Y");
    EXPECT_EQ(live(QStringLiteral("%C"), 1, r), QStringLiteral("09%Y05%Y03"));
}

TEST(LiveExpansion, AnInsertedTextHoldingItsOwnPlaceholderIsNotSearchedAgain)
{
    RegionalSettings r = germanForms();
    r.dateSeparator = QStringLiteral("%D");
    EXPECT_EQ(live(QStringLiteral("%D|%D"), 1, r), QStringLiteral("06%D12%D2026|06%D12%D2026"));
    r = germanForms();
    r.timeSeparator = QStringLiteral("%U");
    EXPECT_EQ(live(QStringLiteral("a%Ub"), 1, r), QStringLiteral("a00%U00%U00b"));
}

TEST(LiveExpansion, InsertedTextJoinsWithItsNeighboursAsTheStepByStepSearchWouldFind)
{
    // A date form made of quoted text only: the inserted value is exactly that text.
    struct Case {
        const char* pattern;
        QString tmpl;
        QString expected;
    };
    const Case cases[] = {
        {"'D'", QStringLiteral("%%%D"), QStringLiteral("D")}, // each "D" meets the '%' before it
        {"'x%'", QStringLiteral("%DD"),
         QStringLiteral("xx%")}, // the '%' at its end meets the next D
        {"'D%'", QStringLiteral("%%D"), QStringLiteral("D%%")},
        {"'DD%%'", QStringLiteral("%D"), QStringLiteral("DD%%")}, // nothing before it to meet
        {"'DD%'", QStringLiteral("%DD"), QStringLiteral("DDDD%")},
        {"'DD%'", QStringLiteral("%DDD"), QStringLiteral("DDDDDD%")},
        // each '%' before it doubles the work, but the copying ends
        {"'DD%'", QStringLiteral("%%%D"), QStringLiteral("DDDDDDDD%%%")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        RegionalSettings r;
        r.shortDatePattern = QString::fromUtf8(c.pattern);
        EXPECT_EQ(live(c.tmpl, 1, r), c.expected);
    }
}

TEST(LiveExpansion, AnInsertedTextThatWouldCopyItselfForEverIsNotSearchedAgain)
{
    // "DD%%" put in after "%%" would meet a '%' with its own first "D" again and again.
    RegionalSettings r;
    r.shortDatePattern = QStringLiteral("'DD%%'");
    EXPECT_EQ(live(QStringLiteral("%%%D"), 1, r), QStringLiteral("%%DD%%"));
    EXPECT_EQ(live(QStringLiteral("%%%D %D"), 1, r), QStringLiteral("%%DD%% DD%%"));

    // "DD%" after forty '%' would be copied into itself about 2^40 times.
    r.shortDatePattern = QStringLiteral("'DD%'");
    EXPECT_EQ(live(QString(40, u'%') + QStringLiteral("D"), 1, r),
              QString(39, u'%') + QStringLiteral("DD%"));
}

TEST(SampleExpansion, GivesFixedWidthZeros)
{
    const FixedClock clock(kNow);
    struct Case {
        QString tmpl;
        QString expected;
    };
    const Case cases[] = {
        {kDefaultTemplate, QStringLiteral("Bis zum Jahr 2027 sind es noch:\r\n000 Tage(n) 000 "
                                          "Stunde(n) 00 Minute(n) 00 Sekunde(n)")},
        {QStringLiteral("%A %C %U %D %Z"),
         QStringLiteral("00000000 00:00:00 00:00:00 00.00.0000 00.00.0000")},
        {QStringLiteral("%%T %t %"), QStringLiteral("%000 %t %")},
        {QString(), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(expandSample(c.tmpl, clock), c.expected);
}

// The sample for the font fitting is at least as wide as anything the live text can show for
// the target and the regional settings in force; German settings keep the fixed forms.
TEST(SampleExpansion, IsAsWideAsTheLiveValuesCanBe)
{
    const FixedClock clock(kNow);
    const TDateTime now = nowValue(clock);
    RegionalSettings named = RegionalSettings::fromLocale("de_DE.UTF-8");
    named.shortDatePattern = QStringLiteral("dddd, d. MMMM yyyy");
    struct Case {
        const char* what;
        QString tmpl;
        double targetDays; // from now
        RegionalSettings regional;
        QString expected;
    };
    const Case cases[] = {
        {"German, New Year", kDefaultTemplate, 25.5, RegionalSettings::fromLocale("de_DE.UTF-8"),
         QStringLiteral("Bis zum Jahr 2027 sind es noch:\r\n000 Tage(n) 000 Stunde(n) 00 "
                        "Minute(n) 00 Sekunde(n)")},
        {"hours without days, 1000 hours ahead", QStringLiteral("%H:%M:%S"), 1000.0 / 24 + 1,
         RegionalSettings::fromLocale("de_DE.UTF-8"), QStringLiteral("0000:00:00")},
        {"days and hours, years ahead", QStringLiteral("%T %H %A"), 4000.0,
         RegionalSettings::fromLocale("de_DE.UTF-8"), QStringLiteral("0000 000 000000000")},
        {"counted up: a year more", QStringLiteral("%A"), -900.0,
         RegionalSettings::fromLocale("de_DE.UTF-8"), QStringLiteral("000000000")},
        {"12-hour clock", QStringLiteral("%C|%U"), 25.5,
         RegionalSettings::fromLocale("en_US.UTF-8"), QStringLiteral("00:00:00 AM|00:00:00 AM")},
        {"names in the date", QStringLiteral("%D"), 25.5, named,
         QStringLiteral("Donnerstag, 00. September 0000")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SampleForms forms = SampleForms::widestFor(now, now + c.targetDays, c.regional);
        EXPECT_EQ(expandSample(c.tmpl, clock, forms), c.expected);
    }
}

} // namespace
