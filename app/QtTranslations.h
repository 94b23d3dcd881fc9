#pragma once
// The texts in the desktop's language (app/Language.h). The program's own texts are written in
// German; English comes from its catalogue beside the executable, "yearmark_en.qm". Qt's own
// texts (the standard buttons, the colour chooser's labels) are English; German comes from the
// system's Qt translations.

#include "app/Language.h"

#include <QString>

class QCoreApplication;

// The program's catalogue, one for the process. It is loaded at the very start, before the
// command line is read, so that what is printed before the application object exists (the
// help, the command line's mistakes) can look its texts up directly; once that object exists
// it is installed there, and tr() finds it too.
class ProgramCatalogue {
public:
    // Loads the catalogue of the language from the folder: nothing for German, whose texts are
    // the sources. False when the English catalogue is missing or unreadable: the texts then
    // stay German.
    static bool load(Language language, const QString& folder);
    static Language language();
    // The text in the loaded language; the source text when the catalogue has none for it.
    static QString translate(const char* context, const char* source);
    // Installs the catalogue and Qt's own texts in the same language into the application.
    static void install(QCoreApplication& app);
};

// The catalogue's file name for a language: "yearmark_en.qm".
QString catalogueFileName(Language language);

// Installs Qt's German catalogue from the system's translations; false when it is missing.
bool installQtGerman(QCoreApplication& app);
