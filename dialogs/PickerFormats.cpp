#include "dialogs/PickerFormats.h"

namespace {

// Calls visit(run) for every unquoted run of one format letter and copies quoted literal
// text unchanged, so that a letter inside quotes is never taken for a field.
template <typename Visit>
QString rewriteRuns(const QString& format, Visit visit)
{
    QString out;
    int i = 0;
    const int n = int(format.size());
    while (i < n) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            const int close = int(format.indexOf(u'\'', i + 1));
            const int end = close < 0 ? n : close + 1;
            out += format.mid(i, end - i);
            i = end;
            continue;
        }
        int j = i + 1;
        while (j < n && format.at(j) == c)
            ++j;
        out += visit(format.mid(i, j - i));
        i = j;
    }
    return out;
}

} // namespace

QString shortDateFormatWithFullYear(const QLocale& locale)
{
    return rewriteRuns(locale.dateFormat(QLocale::ShortFormat), [](const QString& run) {
        return run.at(0) == u'y' ? QStringLiteral("yyyy") : run;
    });
}

QString timeFormatWithSeconds(const QLocale& locale)
{
    QString format = rewriteRuns(locale.timeFormat(QLocale::LongFormat), [](const QString& run) {
        return run.at(0) == u't' ? QString() : run;
    });
    format.remove(QStringLiteral("()")); // a zone written in brackets leaves them empty
    format = format.simplified();
    if (!format.contains(u's')) {
        // A locale whose long form lacks seconds still gets them: the count runs by seconds.
        format = QStringLiteral("HH:mm:ss");
    }
    return format;
}
