#pragma once
// The user's regional time and date forms, as the title's %C, %U, %D and %Z show them. Read
// from the LC_TIME locale through glibc's own fields (QLocale's formats add a two-digit year
// and a time-zone suffix for German, which the countdown must not show) and translated into
// the few choices the forms know.

#include "countdown/DateTime.h"

#include <QString>
#include <array>

// The raw LC_TIME fields of a locale as glibc's nl_langinfo gives them, already decoded.
struct LocaleTimeFields {
    QString timeFormat;                      // T_FMT
    QString timeFormatAmPm;                  // T_FMT_AMPM, which %r stands for
    QString dateFormat;                      // D_FMT
    QString am;                              // AM_STR
    QString pm;                              // PM_STR
    std::array<QString, 7> shortDayNames;    // ABDAY_1.. (Sunday first)
    std::array<QString, 7> longDayNames;     // DAY_1..
    std::array<QString, 12> shortMonthNames; // ABMON_1..
    std::array<QString, 12> longMonthNames;  // MON_1..
};

// The default member values are the forms without regional information.
struct RegionalSettings {
    bool leadingZeroHours = false;
    bool twelveHour = true;
    QString amDesignator = QStringLiteral("am");
    QString pmDesignator = QStringLiteral("pm");
    // The designator precedes the time instead of following it.
    bool designatorFirst = false;
    QString timeSeparator = QStringLiteral(":");
    // d dd ddd dddd, M MM MMM MMMM, y yy yyyy in either case; "/" is the date separator;
    // text in single or double quotes is copied without them; anything else is copied.
    QString shortDatePattern = QStringLiteral("m/d/yy");
    QString dateSeparator = QStringLiteral("/");
    // Sunday first.
    std::array<QString, 7> shortDayNames {
        QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
        QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat")};
    std::array<QString, 7> longDayNames {QStringLiteral("Sunday"),   QStringLiteral("Monday"),
                                         QStringLiteral("Tuesday"),  QStringLiteral("Wednesday"),
                                         QStringLiteral("Thursday"), QStringLiteral("Friday"),
                                         QStringLiteral("Saturday")};
    // January first.
    std::array<QString, 12> shortMonthNames {
        QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
        QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
        QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    std::array<QString, 12> longMonthNames {
        QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
        QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
        QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};

    // The forms without regional information: h:mm:ss am/pm and m/d/yy, English names.
    static RegionalSettings defaults();
    // The LC_TIME fields of the named locale; the defaults when it does not exist or is the
    // C/POSIX locale, which carries no regional choice.
    static RegionalSettings fromLocale(const char* name);
    // The translation of glibc's strftime formats into the forms' choices: %H %I %k %l %M %S
    // %p %P %T %R %r for the time, %d %e %m %y %Y %D %F %a %A %b %h %B for the date, with
    // the flags - _ 0 and the modifiers E O; other text is literal. Unknown conversions are
    // left out; a time without an hour or a date without day, month and year keeps the
    // defaults' form. Empty names keep the defaults' names.
    static RegionalSettings fromLocaleFields(const LocaleTimeFields& fields);
    // The user's LC_TIME locale as the environment names it (LC_ALL, else LC_TIME, else LANG),
    // whatever the process's own setlocale state is.
    static RegionalSettings fromEnvironment();

    // The time of day in the long time form.
    QString longTime(const CalendarTime& t) const;
    // The date in the short date form.
    QString shortDate(const CalendarTime& t) const;
    // The same, appended to out: the tick formats without a temporary string.
    void appendLongTime(QString& out, const CalendarTime& t) const;
    void appendShortDate(QString& out, const CalendarTime& t) const;

    friend bool operator==(const RegionalSettings&, const RegionalSettings&) = default;
};
