// Yearmark: a full-screen countdown to the next New Year or a picked moment.

#include "app/BusyWatch.h"
#include "app/CommandLine.h"
#include "app/DialogFocus.h"
#include "app/ErrorBox.h"
#include "app/Main.h"
#include "app/MediaModule.h"
#include "app/PreShowCheck.h"
#include "app/ProgramFiles.h"
#include "app/QtTranslations.h"
#include "app/ScreenAwake.h"
#include "app/SignalBridge.h"
#include "base/SharedLibrary.h"
#include "data/Artwork.h"
#include "dialogs/FInfo.h"
#include "dialogs/UCfg.h"
#include "helpviewer/HelpAdapter.h"
#include "helpviewer/HelpReader.h"
#include "settings/Settings.h"

#include <QSessionManager>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Runs a step once, on the event loop, after the widget's first paint.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget* widget, std::function<void()> step)
        : QObject(widget)
        , m_step(std::move(step))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_step();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_step;
};

void afterFirstPaint(QWidget* widget, std::function<void()> step)
{
    new AfterFirstPaint(widget, std::move(step));
}

// Qt's messages while the application connects to the display: held back, so that a display
// that cannot be reached is told in one line; given out afterwards as Qt would.
struct StartupMessages {
    QtMessageHandler previous = nullptr;
    std::vector<std::pair<QtMsgType, QString>> held;
};
StartupMessages g_startupMessages;

void onStartupMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtFatalMsg) {
        g_startupMessages.held.emplace_back(type, text);
        return;
    }
    const QByteArray display = qgetenv("DISPLAY");
    const QString reason = display.isEmpty()
                               ? text.section(u'\n', 0, 0)
                               : QStringLiteral("DISPLAY=") + QString::fromLocal8Bit(display);
    std::fputs(noDisplayText(reason).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

// The program's run, from the application's start to the end of its event loop; every object
// of the program's own is gone again when it returns.
int runProgram(TApplication& app, const CommandLine& commandLine)
{
    const BusyWatch busyWatch; // only when YEARMARK_BUSY_LOG names a file
    QApplication::setApplicationName(QStringLiteral("Yearmark"));
    ProgramCatalogue::install(app);
    DialogFocus dialogFocus;

    // A rehearsal moves the program's own clock (never the system's) so that the New Year
    // comes the asked-for seconds after the start; the title still changes with the true second.
    const SystemClock systemClock;
    const ShiftedClock rehearsalClock(
        systemClock, commandLine.rehearseSeconds > 0
                         ? ShiftedClock::shiftFor(nowValue(systemClock), newYearMoment(systemClock),
                                                  commandLine.rehearseSeconds)
                         : 0);
    const Clock& clock =
        commandLine.rehearseSeconds > 0 ? static_cast<const Clock&>(rehearsalClock) : systemClock;
    // Help is set up before any window exists and taken down after the last one is gone.
    THelpManager helpManager;
    THelpAdapter helpAdapter(helpManager);
    const QString exePath = executablePath();
    TFormMain formMain(clock, exePath, settingsFilePath(fileBaseName(exePath)));
    setErrorBoxOwner(&formMain);
    dialogFocus.setMainWindow(&formMain);
    formMain.setSettingsDialogMaker(
        [&formMain, &clock] { return new TCFGDialog(&formMain, clock); });
    formMain.setInfoDialogMaker([&formMain] { return new TFormInfo(&formMain); });
    formMain.setHelpManager(&helpManager);
    // GStreamer is loaded with the media module when a video is first due, never at start, and
    // on a thread of its own.
    formMain.setMediaLoader([exePath] { return loadMediaModule(exePath); });

    // Signals and the end of the desktop session take the same orderly path as Alt+F4;
    // no message box may hold up an end the user or the system asked for.
    SignalBridge signalBridge([&formMain](int) {
        formMain.FormDestroy(false);
        formMain.close();
        // Also ends a dialog's or a message box's loop that may be running.
        QCoreApplication::exit(0);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &formMain,
                     [&formMain](QSessionManager&) { formMain.SaveSettings(false); });

    ScreenAwake screenAwake(formMain);
    formMain.setScreenName(commandLine.screen);
    if (commandLine.rehearseSeconds > 0)
        formMain.rehearse();
    formMain.showOnScreen();
    // The icon is for task bars and switchers; reading and converting its sizes takes longer
    // than the rest of showing the window, so it comes after the first frame.
    afterFirstPaint(&formMain, [] { QApplication::setWindowIcon(applicationIcon()); });
    // Said once, above the running count, when this machine cannot show the help.
    QTimer helpWarning;
    helpWarning.setSingleShot(true);
    QObject::connect(&helpWarning, &QTimer::timeout, &formMain,
                     [&formMain] { THelpAdapter::showMissingLibraryWarning(&formMain); });
    if (!helpAdapter.loaded())
        helpWarning.start(0);
    const int status = app.exec();
    // The settings are saved and the media stopped. A media thread still stuck in a call that
    // does not return (hung storage, a sound server that never answers) must neither hold up
    // the end nor be torn down under its feet: the process ends here, without the destructors.
    if (!formMain.mediaSettled()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // Started again by itself to read a help file: nothing of the program is made.
    if (argc > 1 && std::strcmp(argv[1], kReadHelpOption) == 0)
        return runHelpReader(argc, argv);
    // The texts follow the desktop's language. The catalogue lies beside the executable, which
    // has just been read from that folder; it is loaded before the command line is read, whose
    // help and mistakes are printed before the application object exists.
    ProgramCatalogue::load(desktopLanguage(), fileFolder(executablePath()));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = readCommandLine(arguments, QStringLiteral(YEARMARK_VERSION));
    if (const auto& outcome = commandLine.exit) {
        std::fputs(outcome->text.toLocal8Bit().constData(), outcome->error ? stderr : stdout);
        return outcome->status;
    }
    if (commandLine.check)
        runPreShowCheck(argc, argv, commandLine);
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs(
            noDisplayText(ProgramCatalogue::translate(
                              "CommandLine", "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt"))
                .toLocal8Bit()
                .constData(),
            stderr);
        return 1;
    }
    // In a Wayland session the window is a native Wayland one; X11 stays the way in elsewhere.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    // Reading the font configuration is several milliseconds of every start; it is read while
    // the application connects to the display. The font library is Qt's own dependency.
    std::thread fontConfiguration([] {
        int (*init)() = nullptr;
        if (SharedLibrary(nullptr).bind(init, "FcInit"))
            init();
    });
    // A display that cannot be reached ends Qt's start with a fatal error (an abort and a core
    // dump): said in one line instead, with status 1.
    g_startupMessages.previous = qInstallMessageHandler(onStartupMessage);
    TApplication app(argc, argv);
    qInstallMessageHandler(g_startupMessages.previous);
    for (const auto& [type, text] : g_startupMessages.held)
        qt_message_output(type, QMessageLogContext(), text);
    g_startupMessages.held.clear();
    fontConfiguration.join();
    const int status = runProgram(app, commandLine);
    // Qt's Wayland client can hang for good while it takes its connection to the compositor
    // down: a read of the connection that the main thread has just prepared for Qt's event
    // thread is neither finished nor given up when that thread is told to stop, and the thread
    // that reads the windows' frame events then waits for it forever, and with it the end of the
    // program. Everything of the program's own is closed, saved and released by now; what the
    // connection still holds, the compositor frees when the process ends.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
