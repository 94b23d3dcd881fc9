#pragma once
// The language of the program's texts, chosen as the desktop's message catalogues are: German
// (the texts as written) or English.

#include <QString>

enum class Language { German, English };

// The four variables that choose the language of messages, as the environment has them; an
// empty one counts as unset.
struct LanguageEnvironment {
    QString language;   // LANGUAGE: languages in order of preference, parted by colons
    QString lcAll;      // LC_ALL
    QString lcMessages; // LC_MESSAGES
    QString lang;       // LANG
};

// The locale of messages is the first of LC_ALL, LC_MESSAGES and LANG that is set. In the C
// locale (C, C.UTF-8, POSIX, or none set) the texts stay German and LANGUAGE is not looked at.
// Otherwise the first of LANGUAGE's entries and then the locale itself that names German or
// English decides; where none does, English.
Language chooseLanguage(const LanguageEnvironment& environment);

// The language the process's environment chooses.
Language desktopLanguage();

// "de" or "en".
QString languageCode(Language language);
