#include "app/Language.h"

#include <QStringList>

namespace {

// The language part of a locale or language name: "de" of "de_AT.UTF-8@euro".
QString languagePart(const QString& name)
{
    qsizetype end = 0;
    while (end < name.size() && name[end] != u'_' && name[end] != u'.' && name[end] != u'@')
        ++end;
    return name.left(end).toLower();
}

bool isCLocale(const QString& locale)
{
    return locale.isEmpty() || locale == QLatin1String("C") || locale == QLatin1String("POSIX") ||
           locale.startsWith(QLatin1String("C."));
}

} // namespace

Language chooseLanguage(const LanguageEnvironment& environment)
{
    QString locale = environment.lcAll;
    if (locale.isEmpty())
        locale = environment.lcMessages;
    if (locale.isEmpty())
        locale = environment.lang;
    if (isCLocale(locale))
        return Language::German;
    QStringList names = environment.language.split(u':', Qt::SkipEmptyParts);
    names << locale;
    for (const QString& name : names) {
        const QString part = languagePart(name);
        if (part == QLatin1String("de"))
            return Language::German;
        if (part == QLatin1String("en"))
            return Language::English;
    }
    return Language::English;
}

Language desktopLanguage()
{
    return chooseLanguage({qEnvironmentVariable("LANGUAGE"), qEnvironmentVariable("LC_ALL"),
                           qEnvironmentVariable("LC_MESSAGES"), qEnvironmentVariable("LANG")});
}

QString languageCode(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("de");
}
