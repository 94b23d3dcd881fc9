// The program's English catalogue, as the build makes it: looked up before the application
// object exists, installed into it, and what the language chooses besides the texts (the
// built-in template of a first start, the help file). A stored template is never translated.

#include "app/ProgramFiles.h"
#include "app/QtTranslations.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kBuildFolder = QStringLiteral(YEARMARK_CATALOGUE_FOLDER);

// The template's placeholders in their order of appearance, and its lines.
QStringList placeholders(const QString& text)
{
    QStringList found;
    const QRegularExpression placeholder(QStringLiteral("%[YTHMSACUDZ]"));
    for (const QRegularExpressionMatch& m : placeholder.globalMatch(text))
        found << m.captured();
    return found;
}

void writeStore(const QString& path, const QString& body)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        ("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vemoral\\yearmark]\r\n" + body).toUtf8());
}

} // namespace

// Each test starts from the catalogue of its own choosing; the last one loaded stays installed.
TEST(ProgramCatalogue, WithoutTheEnglishFileTheTextsStayGerman)
{
    const QTemporaryDir empty;
    EXPECT_FALSE(ProgramCatalogue::load(Language::English, empty.path()));
    EXPECT_EQ(ProgramCatalogue::language(), Language::German);
    EXPECT_EQ(ProgramCatalogue::translate("CommandLine", "Zeigt diese Hilfe und endet."),
              QStringLiteral("Zeigt diese Hilfe und endet."));
}

TEST(ProgramCatalogue, GermanNeedsNoFile)
{
    const QTemporaryDir empty;
    EXPECT_TRUE(ProgramCatalogue::load(Language::German, empty.path()));
    EXPECT_EQ(ProgramCatalogue::language(), Language::German);
}

TEST(ProgramCatalogue, TheEnglishCatalogueIsReadBeforeAnyApplicationUsesIt)
{
    ASSERT_TRUE(ProgramCatalogue::load(Language::English, kBuildFolder));
    EXPECT_EQ(ProgramCatalogue::language(), Language::English);
    EXPECT_EQ(ProgramCatalogue::translate("CommandLine", "Zeigt diese Hilfe und endet."),
              QStringLiteral("Shows this help and ends."));
    // A text the catalogue does not know is given as written.
    EXPECT_EQ(ProgramCatalogue::translate("CommandLine", "gibt es nicht"),
              QStringLiteral("gibt es nicht"));
}

TEST(ProgramCatalogue, InstalledTheBuiltInTemplateIsEnglishAndAStoredOneStays)
{
    ASSERT_TRUE(ProgramCatalogue::load(Language::English, kBuildFolder));
    ProgramCatalogue::install(*QCoreApplication::instance());
    const QString english = builtInTemplate();
    EXPECT_NE(english, kDefaultTemplate);
    EXPECT_EQ(Settings().titleTemplate, english);
    EXPECT_EQ(placeholders(english), placeholders(kDefaultTemplate));
    EXPECT_EQ(english.split(QStringLiteral("\r\n")).size(),
              kDefaultTemplate.split(QStringLiteral("\r\n")).size());

    const QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("yearmark.reg"));
    const QString key = settingsKeyPath(QStringLiteral("yearmark"));
    // Nothing stored: a first start takes the language's template.
    writeStore(store, QStringLiteral("\"Stretch\"=dword:00000001\r\n"));
    Settings first;
    loadSettings(store, key, first);
    EXPECT_EQ(first.titleTemplate, english);
    // A template once stored is shown as it is, whatever the language.
    writeStore(store, QStringLiteral("\"Label\"=\"Bis zum Jahr %Y sind es noch:\"\r\n"));
    Settings stored;
    loadSettings(store, key, stored);
    EXPECT_EQ(stored.titleTemplate, QStringLiteral("Bis zum Jahr %Y sind es noch:"));
}

TEST(ProgramCatalogue, TheEnglishHelpFileWhenThereElseTheGermanOne)
{
    const QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("party"));
    const QString german = dir.filePath(QStringLiteral("party.chm"));
    const QString english = dir.filePath(QStringLiteral("party.en.chm"));
    EXPECT_EQ(helpFilePath(exe, Language::German), german);
    EXPECT_EQ(helpFilePath(exe, Language::English), german);
    QFile(english).open(QIODevice::WriteOnly);
    EXPECT_EQ(helpFilePath(exe, Language::English), english);
    EXPECT_EQ(helpFilePath(exe, Language::German), german);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
