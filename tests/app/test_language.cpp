// The language of the texts, chosen from the environment as the desktop's message catalogues
// are: German for German and for the C locale, English for English and for any other language,
// German where LANGUAGE lists it before English.

#include "app/Language.h"

#include <gtest/gtest.h>

namespace {

constexpr Language de = Language::German;
constexpr Language en = Language::English;

struct Case {
    const char* name;
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    Language expected;
};

const Case kCases[] = {
    // name, LANGUAGE, LC_ALL, LC_MESSAGES, LANG, the language chosen
    {"nothing set is the C locale", "", "", "", "", de},
    {"German", "", "", "", "de_DE.UTF-8", de},
    {"Austrian German with a modifier", "", "", "", "de_AT.UTF-8@euro", de},
    {"Swiss German, language only", "", "", "", "de_CH", de},
    {"US English", "", "", "", "en_US.UTF-8", en},
    {"British English", "", "", "", "en_GB.UTF-8", en},
    {"French is not offered: English", "", "", "", "fr_FR.UTF-8", en},
    {"a language code that begins with de is no German", "", "", "", "den_XX.UTF-8", en},
    {"C", "", "", "", "C", de},
    {"C.UTF-8", "", "", "", "C.UTF-8", de},
    {"POSIX", "", "", "", "POSIX", de},
    {"LC_ALL wins over LANG", "", "en_GB.UTF-8", "", "de_DE.UTF-8", en},
    {"LC_ALL wins over LC_MESSAGES", "", "de_DE.UTF-8", "en_US.UTF-8", "", de},
    {"LC_MESSAGES wins over LANG", "", "", "en_US.UTF-8", "de_DE.UTF-8", en},
    {"LC_ALL of C keeps German whatever LANG says", "", "C", "", "en_US.UTF-8", de},
    {"LANGUAGE is ignored in the C locale", "en_US:en", "", "", "C.UTF-8", de},
    {"LANGUAGE is ignored with nothing set", "en", "", "", "", de},
    {"LANGUAGE before the locale", "en_GB:en", "", "", "de_DE.UTF-8", en},
    {"LANGUAGE German before English", "fr:de:en", "", "", "fr_FR.UTF-8", de},
    {"LANGUAGE English before German", "fr:en:de", "", "", "fr_FR.UTF-8", en},
    {"LANGUAGE without either: the locale decides", "fr:it", "", "", "de_DE.UTF-8", de},
    {"LANGUAGE without either and a French locale", "fr:it", "", "", "fr_FR.UTF-8", en},
    {"empty entries of LANGUAGE are skipped", "::de_DE", "", "", "en_US.UTF-8", de},
    {"upper-case language part", "", "", "", "DE_de.UTF-8", de},
};

TEST(Language, ChosenAsTheDesktopsMessageCataloguesAre)
{
    for (const Case& c : kCases) {
        const LanguageEnvironment environment {
            QString::fromUtf8(c.language), QString::fromUtf8(c.lcAll),
            QString::fromUtf8(c.lcMessages), QString::fromUtf8(c.lang)};
        EXPECT_EQ(chooseLanguage(environment), c.expected) << c.name;
    }
}

} // namespace
