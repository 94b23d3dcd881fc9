#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

struct Catalogue {
    Language language = Language::German;
    QTranslator translator;
    bool loaded = false;
};

Catalogue& catalogue()
{
    static Catalogue instance;
    return instance;
}

} // namespace

QString catalogueFileName(Language language)
{
    return QStringLiteral("yearmark_%1.qm").arg(languageCode(language));
}

bool ProgramCatalogue::load(Language language, const QString& folder)
{
    Catalogue& c = catalogue();
    c.language = language;
    c.loaded = false;
    if (language == Language::German)
        return true;
    c.loaded = c.translator.load(catalogueFileName(language), folder);
    if (!c.loaded)
        c.language = Language::German;
    return c.loaded;
}

Language ProgramCatalogue::language() { return catalogue().language; }

QString ProgramCatalogue::translate(const char* context, const char* source)
{
    const Catalogue& c = catalogue();
    if (c.loaded) {
        const QString text = c.translator.translate(context, source);
        if (!text.isNull())
            return text;
    }
    return QString::fromUtf8(source);
}

void ProgramCatalogue::install(QCoreApplication& app)
{
    Catalogue& c = catalogue();
    if (c.language == Language::German)
        installQtGerman(app);
    else if (c.loaded)
        QCoreApplication::installTranslator(&c.translator);
}

bool installQtGerman(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
