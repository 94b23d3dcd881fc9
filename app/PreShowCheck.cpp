#include "app/PreShowCheck.h"

#include "app/ClockSync.h"
#include "app/DisplayProbe.h"
#include "app/MediaModule.h"
#include "app/ProgramFiles.h"
#include "app/QtTranslations.h"
#include "app/ScreenChoice.h"
#include "app/ScreenSaverInhibitor.h"
#include "countdown/Countdown.h"
#include "display/PictureLoader.h"
#include "display/PictureTask.h"
#include "helpviewer/HelpFile.h"
#include "settings/RegFileStorage.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// How long each item may take before it is reported as not answering. Together they keep the
// whole check within two seconds even when storage, a bus or a service hangs.
constexpr int kDisplayLimitMs = 300;
constexpr int kFileLimitMs = 1000;
constexpr int kVideoLimitMs = 1500;
constexpr int kServiceCallMs = 400;
constexpr int kServiceLimitMs = 1200;
// Pictures are decoded for the screen they will be shown on; without a display, for a common
// projector's size.
constexpr QSize kNominalScreen(1920, 1080);
const QString kIdleInhibitor = QStringLiteral("zwp_idle_inhibit_manager_v1");

// The verdicts. Faults are what will go wrong on the night (a video or picture that cannot be
// shown, settings that cannot be saved); warnings what may, or what cannot be found out here
// (no display, a clock not known to be right, a missing help file, an item that did not answer).
enum class Verdict { Ok, Warning, Fault };

// The check's texts, in the program's language.
class CheckText {
    Q_DECLARE_TR_FUNCTIONS(PreShowCheck)
};

struct Finding {
    Verdict verdict = Verdict::Ok;
    QString text;
};

Finding ok(QString text) { return {Verdict::Ok, std::move(text)}; }
Finding warning(QString text) { return {Verdict::Warning, std::move(text)}; }
Finding fault(QString text) { return {Verdict::Fault, std::move(text)}; }

QString word(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Ok:
        return CheckText::tr("ok");
    case Verdict::Warning:
        return CheckText::tr("Warnung");
    case Verdict::Fault:
        break;
    }
    return CheckText::tr("Fehler");
}

// Numbers as the language writes them: a decimal comma in German, a point in English.
QString decimal(double value, int places)
{
    QString text = QString::number(value, 'f', places);
    if (ProgramCatalogue::language() == Language::German)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString secondsText(int ms) { return decimal(ms / 1000.0, 1) + QStringLiteral(" s"); }

QString dateTimeText(TDateTime value)
{
    const CalendarTime t = decodeDateTime(value);
    // %1 day, %2 month, %3 year, %4 the time of day.
    return CheckText::tr("%1.%2.%3 %4")
        .arg(t.day, 2, 10, QLatin1Char('0'))
        .arg(t.month, 2, 10, QLatin1Char('0'))
        .arg(t.year, 4, 10, QLatin1Char('0'))
        .arg(QString::asprintf("%02d:%02d:%02d", t.hour, t.minute, t.second));
}

QString spanText(int64_t seconds)
{
    const CountdownBreakdown b = breakdownOf(seconds);
    return CheckText::tr("%n Tage %1", nullptr, int(b.days))
        .arg(QString::asprintf("%02lld:%02lld:%02lld", static_cast<long long>(b.hours % 24),
                               static_cast<long long>(b.minutes),
                               static_cast<long long>(b.seconds)));
}

// A file the program found, with the folder it came from.
QString foundText(const QString& path, const QString& exePath)
{
    return QStringLiteral("%1 (%2)").arg(path, fileFolder(path) == fileFolder(exePath)
                                                   ? CheckText::tr("neben dem Programm")
                                                   : CheckText::tr("im Datenordner"));
}

Finding targetFinding(const QString& exePath, const QString& settingsFile)
{
    Settings settings;
    loadSettings(settingsFile, settingsKeyPath(fileBaseName(exePath)), settings);
    const SystemClock clock;
    const StartTarget start = startTarget(clock, settings.pickedDate, settings.usePickedDate);
    const TDateTime now = nowValue(clock);
    const int64_t left = remainingSeconds(now, start.target);
    const QString what =
        settings.usePickedDate
            ? CheckText::tr("gewählter Zeitpunkt %1").arg(dateTimeText(start.target))
            : CheckText::tr("Neujahr %1 (%2)")
                  .arg(decodeDateTime(start.target).year)
                  .arg(dateTimeText(start.target));
    if (start.justPassed)
        return ok(what + CheckText::tr(" hat eben begonnen; ein Start jetzt zeigt sofort den "
                                       "Nullpunkt"));
    if (now > start.target)
        return warning(
            what +
            CheckText::tr(" ist seit %1 vorbei; Yearmark zählt dann aufwärts").arg(spanText(left)));
    return ok(what + CheckText::tr(", noch %1").arg(spanText(left)));
}

Finding pictureFinding(const QString& path, const QString& exePath, QSize area, const QString& none)
{
    if (path.isEmpty())
        return ok(none);
    try {
        const QImage image = loadPicture(path, area);
        return ok(CheckText::tr("%1, dekodiert zu %2×%3")
                      .arg(foundText(path, exePath))
                      .arg(image.width())
                      .arg(image.height()));
    } catch (const std::exception& e) {
        return fault(QString::fromUtf8(e.what()));
    }
}

Finding videoFinding(const QString& exePath, int limitMs)
{
    const auto start = std::chrono::steady_clock::now();
    const QString path = findZeroVideo(exePath);
    if (path.isEmpty()) {
        const QString names = kZeroVideoNames.join(QStringLiteral(", "));
        return findZeroPicture(exePath).isEmpty()
                   ? warning(CheckText::tr("keins (%1) und kein Bild; zum Nullpunkt bleibt das "
                                           "Hintergrundbild")
                                 .arg(names))
                   : ok(CheckText::tr("keins (%1); zum Nullpunkt das Bild").arg(names));
    }
    QString why;
    const ProbeVideo probe = loadVideoProbe(exePath, why);
    if (!probe)
        return fault(CheckText::tr("%1 kann nicht gespielt werden: das Medienmodul fehlt (%2)")
                         .arg(path, why));
    // What is left of the item's time after loading the module and starting GStreamer, with a
    // little to spare for the answer to come back.
    const int spent = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count());
    VideoFacts facts;
    probe(path, std::max(limitMs - spent - 100, 100), facts);
    if (!facts.finished)
        return warning(
            CheckText::tr("%1: nicht rechtzeitig bereit; ob es spielt, bleibt offen (%2)")
                .arg(path, facts.error));
    if (!facts.playable)
        return fault(CheckText::tr("%1 lässt sich nicht abspielen: %2").arg(path, facts.error));
    QStringList parts {facts.container.isEmpty() ? QStringLiteral("?") : facts.container};
    if (!facts.videoCodec.isEmpty())
        parts << facts.videoCodec;
    parts << QStringLiteral("%1×%2").arg(facts.width).arg(facts.height);
    parts << (facts.durationMs >= 0
                  ? decimal(double(facts.durationMs) / 1000.0, 1) + QStringLiteral(" s")
                  : CheckText::tr("Länge unbekannt"));
    Verdict verdict = Verdict::Ok;
    if (facts.soundCodec.isEmpty()) {
        parts << CheckText::tr("ohne Ton");
    } else if (facts.soundDecodes) {
        parts << CheckText::tr("Ton: %1").arg(facts.soundCodec);
    } else {
        parts << CheckText::tr("der Ton (%1) lässt sich nicht dekodieren, es läuft stumm")
                     .arg(facts.soundCodec);
        verdict = Verdict::Warning;
    }
    return {verdict, CheckText::tr("%1: spielbar, %2")
                         .arg(foundText(path, exePath), parts.join(QStringLiteral(", ")))};
}

Finding helpFinding(const QString& exePath)
{
    const QString path = helpFilePath(exePath, ProgramCatalogue::language());
    const QFileInfo info(path);
    if (!info.exists())
        return warning(CheckText::tr("%1 fehlt; F1 zeigt keine Hilfe").arg(path));
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return warning(CheckText::tr("%1 lässt sich nicht lesen; F1 zeigt keine Hilfe").arg(path));
    // Every compiled help file begins with this signature.
    if (file.read(4) != "ITSF")
        return warning(CheckText::tr("%1 ist keine Hilfedatei (CHM)").arg(path));
    if (!ChmLibrary::load())
        return warning(
            CheckText::tr("%1 ist da, aber libchm fehlt; F1 zeigt keine Hilfe").arg(path));
    return ok(QStringLiteral("%1, %2 kB").arg(path).arg((info.size() + 1023) / 1024));
}

Finding settingsFinding(const QString& path)
{
    QString text = path;
    Verdict verdict = Verdict::Ok;
    switch (RegFileStorage::read(path).state) {
    case RegFileStorage::State::Missing:
        text += CheckText::tr(": noch keine Datei, es gelten die Voreinstellungen");
        break;
    case RegFileStorage::State::Read:
        text += CheckText::tr(": gelesen");
        break;
    case RegFileStorage::State::TooLarge:
        text += CheckText::tr(": zu groß, wird nicht gelesen");
        verdict = Verdict::Warning;
        break;
    case RegFileStorage::State::Unreadable:
        text += CheckText::tr(": lässt sich nicht lesen, es gelten die Voreinstellungen");
        verdict = Verdict::Warning;
        break;
    }
    if (const int error = RegFileStorage::writeError(path); error != 0)
        return fault(text + CheckText::tr("; kann nicht gespeichert werden (%1), Änderungen gehen "
                                          "beim Beenden verloren")
                                .arg(qt_error_string(error)));
    return {verdict, text + CheckText::tr("; kann gespeichert werden")};
}

Finding screensFinding(const QString& name)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return warning(CheckText::tr("keiner eingeschaltet; Yearmark wartet auf den ersten"));
    QStringList list;
    for (QScreen* screen : screens) {
        const QRect g = screen->geometry();
        list << CheckText::tr("»%1« %2×%3 bei %4,%5%6")
                    .arg(screen->name())
                    .arg(g.width())
                    .arg(g.height())
                    .arg(g.x())
                    .arg(g.y())
                    .arg(screen == QGuiApplication::primaryScreen()
                             ? CheckText::tr(" (Hauptbildschirm)")
                             : QString());
    }
    const QString all = list.join(QStringLiteral(", "));
    QScreen* chosen = screenNamed(name);
    if (!chosen)
        return warning(CheckText::tr("kein Bildschirm »%1«, benutzt wird der Hauptbildschirm; da "
                                     "sind: %2")
                           .arg(name, all));
    return ok(CheckText::tr("benutzt wird »%1«; da sind: %2").arg(chosen->name(), all));
}

Finding clockFinding()
{
    const KernelClock kernel = readKernelClock();
    const TimeServiceReport service = askTimeService(kServiceCallMs);
    bool doubtful = !kernel.synchronised;
    QString text = kernel.synchronised
                       ? CheckText::tr("laut Kernel synchronisiert (geschätzter Fehler %1 ms)")
                             .arg(decimal(double(kernel.estimatedErrorUs) / 1000.0, 1))
                       : CheckText::tr("laut Kernel nicht synchronisiert");
    if (service.name.isEmpty()) {
        text += CheckText::tr("; kein Zeitdienst zu fragen (systemd-timesyncd, chrony)");
    } else if (!service.answered) {
        text += CheckText::tr("; %1 antwortet nicht").arg(service.name);
        doubtful = true;
    } else {
        text += QStringLiteral("; %1").arg(service.name);
        if (!service.server.isEmpty())
            text += CheckText::tr(" mit %1").arg(service.server);
        if (service.synchronised)
            text += *service.synchronised ? CheckText::tr(" synchronisiert")
                                          : CheckText::tr(" nicht synchronisiert");
        if (service.offsetSeconds)
            text += CheckText::tr(", Abweichung %1 ms")
                        .arg(decimal(*service.offsetSeconds * 1000.0, 1));
        // Half a second off shows on the screens: the title changes with the second.
        doubtful = doubtful || service.synchronised == false ||
                   (service.offsetSeconds && std::abs(*service.offsetSeconds) > 0.5);
    }
    return {doubtful ? Verdict::Warning : Verdict::Ok, text};
}

// The means the program holds the screen saver with: the desktop's service, the X server's
// extension, or on Wayland the compositor's idle inhibitor.
Finding screenSaverFinding(std::optional<bool> service, const QString& platform,
                           const QString& x11Extension, const std::optional<QStringList>& wayland)
{
    QStringList parts;
    parts << (!service   ? CheckText::tr("Sitzungsbus nicht erreichbar")
              : *service ? CheckText::tr("Dienst org.freedesktop.ScreenSaver da")
                         : CheckText::tr("kein Dienst org.freedesktop.ScreenSaver"));
    const bool x11 = platform == QLatin1String("xcb");
    if (x11)
        parts << (x11Extension.isEmpty()
                      ? CheckText::tr("keine X-Erweiterung MIT-SCREEN-SAVER (ab 1.1)")
                      : CheckText::tr("X-Erweiterung MIT-SCREEN-SAVER %1").arg(x11Extension));
    if (wayland)
        parts << (wayland->contains(kIdleInhibitor)
                      ? CheckText::tr("Wayland: %1 angeboten").arg(kIdleInhibitor)
                      : CheckText::tr("Wayland: kein %1").arg(kIdleInhibitor));
    // A native Wayland window holds the compositor's idle off itself through the inhibitor.
    const bool waylandHeld = platform.startsWith(QLatin1String("wayland")) && wayland &&
                             wayland->contains(kIdleInhibitor);
    const bool held = service.value_or(false) || (x11 && !x11Extension.isEmpty()) || waylandHeld;
    QString text = parts.join(QStringLiteral("; "));
    if (!held)
        text += CheckText::tr(" – Yearmark kann ihn so nicht aufhalten");
    return {held ? Verdict::Ok : Verdict::Warning, text};
}

// Work on a thread of its own whose answer is waited for until a deadline at most; the thread
// is never waited for after that.
template <typename T>
class Answer {
public:
    explicit Answer(std::function<T()> work)
        : m_shared(std::make_shared<Shared>())
    {
        try {
            std::thread([shared = m_shared, work = std::move(work)] {
                T value = work();
                const std::lock_guard lock(shared->mutex);
                shared->value = std::move(value);
                shared->done.notify_all();
            }).detach();
        } catch (const std::system_error&) {
            // No thread: no answer.
        }
    }

    std::optional<T> by(std::chrono::steady_clock::time_point deadline)
    {
        std::unique_lock lock(m_shared->mutex);
        m_shared->done.wait_until(lock, deadline, [this] { return m_shared->value.has_value(); });
        return m_shared->value;
    }

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> value;
    };
    std::shared_ptr<Shared> m_shared;
};

// The items in the order they are printed; each is printed once it and all before it are known.
class Report : public QObject {
public:
    explicit Report(QEventLoop& loop)
        : m_loop(loop)
    { }

    // An item known at once.
    void add(const QString& name, Finding finding)
    {
        m_items.push_back({name, std::move(finding)});
        printReady();
    }

    // An item found by work on a thread of its own; after limitMs it is said not to answer.
    void add(const QString& name, int limitMs, std::function<Finding()> work)
    {
        const size_t index = m_items.size();
        m_items.push_back({name, std::nullopt});
        const auto settle = [this, index](Finding finding) {
            if (m_items[index].finding)
                return;
            m_items[index].finding = std::move(finding);
            printReady();
        };
        runDetached<Finding>(
            [work = std::move(work)] {
                try {
                    return work();
                } catch (const std::exception& e) {
                    return fault(QString::fromUtf8(e.what()));
                }
            },
            this, settle);
        QTimer::singleShot(limitMs, this, [settle, limitMs] {
            settle(warning(CheckText::tr("keine Antwort innerhalb von %1 (hängender Speicher "
                                         "oder Dienst?); bitte noch einmal prüfen")
                               .arg(secondsText(limitMs))));
        });
    }

    // No more items come; the loop ends once all are printed.
    void close()
    {
        m_closed = true;
        printReady();
    }

    bool anyFault() const { return m_fault; }

private:
    struct Item {
        QString name;
        std::optional<Finding> finding;
    };

    void printReady()
    {
        while (m_printed < m_items.size() && m_items[m_printed].finding) {
            const Item& item = m_items[m_printed++];
            m_fault = m_fault || item.finding->verdict == Verdict::Fault;
            const QString line = QStringLiteral("%1 %2: %3\n")
                                     .arg(word(item.finding->verdict).leftJustified(7), item.name,
                                          item.finding->text);
            std::fputs(line.toLocal8Bit().constData(), stdout);
            std::fflush(stdout);
        }
        if (m_printed == m_items.size() && m_closed)
            m_loop.quit();
    }

    QEventLoop& m_loop;
    std::vector<Item> m_items;
    size_t m_printed = 0;
    bool m_closed = false;
    bool m_fault = false;
};

} // namespace

void runPreShowCheck(int& argc, char** argv, const CommandLine& commandLine)
{
    // The display servers are asked before Qt is: one that does not answer would end Qt's start
    // with a fatal error, and without a display the check still runs, without the screens.
    const QString asked = qEnvironmentVariable("QT_QPA_PLATFORM");
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kDisplayLimitMs);
    Answer<std::optional<QStringList>> waylandAnswer(&waylandGlobals);
    Answer<bool> x11Answer(&x11Answers);
    const std::optional<QStringList> wayland = waylandAnswer.by(deadline).value_or(std::nullopt);
    const bool x11 = x11Answer.by(deadline).value_or(false);
    const bool x11Asked = asked.startsWith(QLatin1String("xcb"));
    QString noDisplay;
    if (!asked.isEmpty() && !x11Asked && !asked.startsWith(QLatin1String("wayland"))) {
        // One of Qt's own platforms (offscreen, vnc, …): Qt is trusted to reach it.
    } else if (wayland && !(x11Asked && x11)) {
        qputenv("QT_QPA_PLATFORM", "wayland");
    } else if (x11) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        const QString display = qEnvironmentVariable("DISPLAY");
        const QString waylandName = qEnvironmentVariable("WAYLAND_DISPLAY");
        QStringList silent;
        if (!display.isEmpty())
            silent << QStringLiteral("DISPLAY=%1").arg(display);
        if (!waylandName.isEmpty())
            silent << QStringLiteral("WAYLAND_DISPLAY=%1").arg(waylandName);
        noDisplay = silent.isEmpty()
                        ? ProgramCatalogue::translate(
                              "PreShowCheck", "weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt")
                        : ProgramCatalogue::translate("PreShowCheck", "%1 antwortet nicht")
                              .arg(silent.join(QStringLiteral(", ")));
    }
    std::unique_ptr<QCoreApplication> app;
    if (noDisplay.isEmpty())
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Yearmark"));
    ProgramCatalogue::install(*app);

    const QString exePath = executablePath();
    const QString settingsFile = settingsFilePath(fileBaseName(exePath));
    QScreen* screen = noDisplay.isEmpty() ? screenNamed(commandLine.screen) : nullptr;
    if (noDisplay.isEmpty() && !screen)
        screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->geometry().size() : kNominalScreen;
    const QString platform = noDisplay.isEmpty() ? QGuiApplication::platformName() : QString();
    const QString x11Extension =
        platform == QLatin1String("xcb") ? ScreenSaverInhibitor::x11ExtensionVersion() : QString();

    QEventLoop loop;
    Report report(loop);
    report.add(CheckText::tr("Ziel"), kFileLimitMs,
               [exePath, settingsFile] { return targetFinding(exePath, settingsFile); });
    report.add(CheckText::tr("Hintergrundbild"), kFileLimitMs, [exePath, area] {
        return pictureFinding(backgroundPicturePath(exePath), exePath, area,
                              CheckText::tr("keins (%1.jpg oder .bmp); es bleibt die "
                                            "Hintergrundfarbe")
                                  .arg(fileBaseName(exePath)));
    });
    report.add(CheckText::tr("Video zum Nullpunkt"), kVideoLimitMs,
               [exePath] { return videoFinding(exePath, kVideoLimitMs); });
    report.add(CheckText::tr("Bild zum Nullpunkt"), kFileLimitMs, [exePath, area] {
        return pictureFinding(findZeroPicture(exePath), exePath, area,
                              CheckText::tr("keins (0.jpg oder 0.bmp)"));
    });
    report.add(CheckText::tr("Hilfe"), kFileLimitMs, [exePath] { return helpFinding(exePath); });
    report.add(CheckText::tr("Einstellungen"), kFileLimitMs,
               [settingsFile] { return settingsFinding(settingsFile); });
    report.add(CheckText::tr("Bildschirme"),
               noDisplay.isEmpty()
                   ? screensFinding(commandLine.screen)
                   : warning(CheckText::tr("keine Anzeige (%1); sie lassen sich nicht prüfen")
                                 .arg(noDisplay)));
    report.add(CheckText::tr("Uhr"), kServiceLimitMs, [] { return clockFinding(); });
    if (noDisplay.isEmpty())
        report.add(
            CheckText::tr("Bildschirmschoner"), kServiceLimitMs, [platform, x11Extension, wayland] {
                return screenSaverFinding(ScreenSaverInhibitor::serviceRegistered(kServiceCallMs),
                                          platform, x11Extension, wayland);
            });
    else
        report.add(CheckText::tr("Bildschirmschoner"),
                   warning(CheckText::tr("keine Anzeige (%1); nichts zu prüfen").arg(noDisplay)));
    QTimer::singleShot(0, &report, [&report] { report.close(); });
    loop.exec();
    // Work that did not answer may still hang on storage or a bus: the process ends without
    // waiting for it, and without the destructors that would.
    std::fflush(nullptr);
    std::_Exit(report.anyFault() ? 1 : 0);
}
