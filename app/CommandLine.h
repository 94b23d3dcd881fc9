#pragma once
// The command line, read before anything of the program is made: asking for the help or the
// version needs no display, and a mistake is told in one line.

#include <QString>
#include <QStringList>

#include <optional>

struct CommandLineOutcome {
    int status = 0;
    QString text;       // what is printed; empty for nothing
    bool error = false; // printed to standard error rather than standard output
};

struct CommandLine {
    // When set, the program is not to run: what to print and the status to exit with: 0 for
    // --help and --version, 2 for a word it does not know.
    std::optional<CommandLineOutcome> exit;
    // --screen: the screen to count on, by its connector name or its number; empty for the
    // primary screen.
    QString screen;
    // --rehearse[=SECONDS]: the program's own clock is moved so that the target comes this
    // many seconds after the start; 0 for a real run.
    int rehearseSeconds = 0;
    // --check: the pre-show check runs instead of the countdown.
    bool check = false;
};

// Qt's own options (-platform, -display and the like) are let through for the application.
CommandLine readCommandLine(const QStringList& arguments, const QString& version);

// The one line said when no display can be reached, before the program ends with status 1.
QString noDisplayText(const QString& reason);
