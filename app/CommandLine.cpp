#include "app/CommandLine.h"

#include "app/QtTranslations.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

constexpr int kDefaultRehearsalSeconds = 10;
constexpr int kLongestRehearsal = 86400; // a day

CommandLine ending(int status, QString text, bool error)
{
    CommandLine line;
    line.exit = CommandLineOutcome {status, std::move(text), error};
    return line;
}

struct OwnOption {
    QStringList names;
    const char* description;
    const char* value = nullptr; // the name of its value, for an option that takes one
    bool valueOptional = false;
};

const OwnOption kOwnOptions[] = {
    {{QStringLiteral("h"), QStringLiteral("help")},
     QT_TRANSLATE_NOOP("CommandLine", "Zeigt diese Hilfe und endet.")},
    {{QStringLiteral("v"), QStringLiteral("version")},
     QT_TRANSLATE_NOOP("CommandLine", "Zeigt die Version und endet.")},
    {{QStringLiteral("r"), QStringLiteral("rehearse")},
     QT_TRANSLATE_NOOP("CommandLine",
                       "Probelauf: alles wie in der Nacht (Vorlage, Bilder, Video), aber das Ziel "
                       "kommt SEKUNDEN nach dem Start (ohne Wert 10). Die Uhr des Rechners bleibt, "
                       "wie sie ist, das gespeicherte Ziel wird weder benutzt noch geändert."),
     QT_TRANSLATE_NOOP("CommandLine", "SEKUNDEN"),
     true},
    {{QStringLiteral("c"), QStringLiteral("check")},
     QT_TRANSLATE_NOOP("CommandLine",
                       "Prüft vor der Vorstellung, ohne ein Fenster zu öffnen: Ziel und Restzeit, "
                       "welche Bilder und welches Video woher benutzt werden und ob sie sich "
                       "abspielen und dekodieren lassen, Hilfe, Einstellungsdatei, Bildschirme, "
                       "Uhrzeitabgleich und Bildschirmschoner. Eine Zeile je Punkt mit ok, Warnung "
                       "oder Fehler; endet mit 0 ohne Fehler, sonst mit 1.")},
    {{QStringLiteral("s"), QStringLiteral("screen")},
     QT_TRANSLATE_NOOP("CommandLine",
                       "Zählt auf diesem Bildschirm: sein Anschluss (etwa HDMI-1) oder seine "
                       "Nummer, 1 für den ersten. Ohne die Option der Hauptbildschirm."),
     QT_TRANSLATE_NOOP("CommandLine", "NAME")},
};

// What QGuiApplication and its platforms take from the command line themselves.
const char* const kQtValueOptions[] = {
    "platform",     "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowtitle", "qwindowicon",        "session",       "display", "name",
    "style",        "stylesheet"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// A text of the table above, in the program's language.
QString text(const char* source) { return ProgramCatalogue::translate("CommandLine", source); }

QString usage(const QString& program)
{
    QString out = ProgramCatalogue::translate(
                      "CommandLine",
                      "Aufruf: %1 [Optionen]\n"
                      "Zählt bildschirmfüllend die Sekunden bis Neujahr oder bis zu dem in den "
                      "Einstellungen gewählten Zeitpunkt.\n\nOptionen:\n")
                      .arg(program);
    for (const OwnOption& o : kOwnOptions) {
        QString names = QStringLiteral("  -%1, --%2").arg(o.names[0], o.names[1]);
        if (o.value)
            names += (o.valueOptional ? QStringLiteral("[=%1]") : QStringLiteral(" %1"))
                         .arg(text(o.value));
        out += (names + QStringLiteral("  ")).leftJustified(30) + text(o.description) + u'\n';
    }
    out += ProgramCatalogue::translate("CommandLine",
                                       "\nTasten: F1 Hilfe, F2 Einstellungen, F3 Information, F9 "
                                       "Video abspielen, Alt+F4 Beenden.\n");
    return out;
}

} // namespace

CommandLine readCommandLine(const QStringList& given, const QString& version)
{
    // A rehearsal without a value takes ten seconds; the parser knows only options that always
    // or never take one.
    QStringList arguments = given;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--"))
            break;
        if (arguments[i] == QLatin1String("--rehearse") || arguments[i] == QLatin1String("-r"))
            arguments[i] = QStringLiteral("--rehearse=%1").arg(kDefaultRehearsalSeconds);
    }
    const QString program =
        arguments.isEmpty() ? QStringLiteral("yearmark") : QFileInfo(arguments[0]).fileName();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OwnOption& o : kOwnOptions)
        parser.addOption(
            QCommandLineOption(o.names, text(o.description), o.value ? text(o.value) : QString()));
    for (const char* name : kQtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString what =
            unknown.isEmpty()
                ? ProgramCatalogue::translate("CommandLine", "fehlerhafte Befehlszeile (%1)")
                      .arg(parser.errorText())
                : ProgramCatalogue::translate("CommandLine", "unbekannte Option »%1%2«")
                      .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                           unknown.first());
        return ending(
            2,
            ProgramCatalogue::translate("CommandLine", "%1: %2 (--help zeigt die Optionen)\n")
                .arg(program, what),
            true);
    }
    if (!parser.positionalArguments().isEmpty())
        return ending(2,
                      ProgramCatalogue::translate("CommandLine",
                                                  "%1: unbekanntes Argument »%2« (--help zeigt "
                                                  "die Optionen)\n")
                          .arg(program, parser.positionalArguments().first()),
                      true);
    if (parser.isSet(QStringLiteral("help")))
        return ending(0, usage(program), false);
    if (parser.isSet(QStringLiteral("version")))
        return ending(0, QStringLiteral("%1 %2\n").arg(program, version), false);
    CommandLine run;
    run.screen = parser.value(QStringLiteral("screen"));
    run.check = parser.isSet(QStringLiteral("check"));
    if (parser.isSet(QStringLiteral("rehearse"))) {
        bool isNumber = false;
        const QString value = parser.value(QStringLiteral("rehearse"));
        run.rehearseSeconds = value.toInt(&isNumber);
        if (!isNumber || run.rehearseSeconds < 1 || run.rehearseSeconds > kLongestRehearsal)
            return ending(2,
                          ProgramCatalogue::translate("CommandLine",
                                                      "%1: --rehearse braucht eine Zahl von "
                                                      "Sekunden von 1 bis %2, nicht »%3«\n")
                              .arg(program)
                              .arg(kLongestRehearsal)
                              .arg(value),
                          true);
    }
    return run;
}

QString noDisplayText(const QString& reason)
{
    return ProgramCatalogue::translate("CommandLine",
                                       "yearmark: keine Anzeige erreichbar (%1); der Countdown "
                                       "braucht einen Bildschirm (X11 oder Wayland).\n")
        .arg(reason);
}
