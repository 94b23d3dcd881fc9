// The pickers' display forms across locales: a four-digit year, seconds, no time zone.

#include "dialogs/PickerFormats.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <gtest/gtest.h>

namespace {

class PickerFormats : public testing::TestWithParam<const char*> { };

// The format with quoted literal text removed.
QString fields(const QString& format)
{
    QString out = format;
    out.remove(QRegularExpression(QStringLiteral("'[^']*'")));
    return out;
}

TEST_P(PickerFormats, DateShowsTheFullYearOnce)
{
    const QLocale locale(QString::fromLatin1(GetParam()));
    const QString format = fields(shortDateFormatWithFullYear(locale));
    EXPECT_EQ(format.count(QStringLiteral("yyyy")), 1) << qPrintable(format);
    EXPECT_EQ(format.count(u'y'), 4) << qPrintable(format);
    const QDate sample(2027, 3, 4);
    EXPECT_EQ(locale.toDate(locale.toString(sample, shortDateFormatWithFullYear(locale)),
                            shortDateFormatWithFullYear(locale)),
              sample);
}

TEST_P(PickerFormats, TimeHasSecondsAndNoZone)
{
    const QLocale locale(QString::fromLatin1(GetParam()));
    const QString format = fields(timeFormatWithSeconds(locale));
    EXPECT_TRUE(format.contains(u's')) << qPrintable(format);
    EXPECT_FALSE(format.contains(u't')) << qPrintable(format);
    EXPECT_FALSE(format.contains(QStringLiteral("()"))) << qPrintable(format);
    const QTime sample(17, 20, 5);
    EXPECT_EQ(locale.toTime(locale.toString(sample, timeFormatWithSeconds(locale)),
                            timeFormatWithSeconds(locale)),
              sample);
}

INSTANTIATE_TEST_SUITE_P(Locales, PickerFormats,
                         testing::Values("C", "de_DE", "en_US", "en_GB", "fr_FR", "ja_JP", "fa_IR",
                                         "ar_EG"));

} // namespace
