#include "app/Main.h"

#include "app/ErrorBox.h"
#include "app/ProgramFiles.h"
#include "app/QtTranslations.h"
#include "app/ScreenChoice.h"
#include "app/SecondBoundaryTimer.h"
#include "app/ZeroMoment.h"
#include "countdown/TemplateExpander.h"
#include "dialogs/FInfo.h"
#include "dialogs/SettingsExchange.h"
#include "dialogs/UCfg.h"
#include "display/Colors.h"
#include "display/FontFitting.h"
#include "display/FontSizeSearch.h"
#include "display/Label3D.h"
#include "display/PictureBox.h"
#include "display/PictureTask.h"
#include "helpviewer/HelpManager.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <utility>

namespace {

// The count's heartbeat between the ticks at each second's start: a title that changed
// meanwhile (a clock set, the settings) shows within a fifth of a second.
constexpr int kTickMs = 188;
// Smaller than any real screen: what the X server reports while no output is active.
constexpr int kSmallestScreen = 160;
// How long the end waits for the media thread to take the pipeline down.
constexpr int kMediaStopWaitMs = 300;

} // namespace

TFormMain::TFormMain(const Clock& clock, const QString& exePath, const QString& settingsFile,
                     QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_clock(clock)
    , m_exePath(exePath)
    , m_settingsFile(settingsFile)
    , m_regional(RegionalSettings::fromEnvironment())
{
    setWindowTitle(QStringLiteral("Happy New Year"));
    setCursor(Qt::BlankCursor);
    setAutoFillBackground(true);
    createComponents();

    // The settings key belongs to the executable's base name.
    m_keyPath = ::settingsKeyPath(fileBaseName(m_exePath));
    // Cover the primary screen, wherever it lies in the virtual desktop, until the screen to
    // count on is known.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    // The help file beside the executable, in the texts' language where there is one. Whether
    // the English one is there is asked of the executable's own folder, which the program and
    // its catalogue have just been read from.
    m_helpFile = helpFilePath(m_exePath, ProgramCatalogue::language());
    // The New-Year target, until the settings may pick another.
    m_target = newYearMoment(m_clock);
    // The title stays empty until the first tick.
    Titel->setCaption(QString());
    // The settings over the built-in values.
    loadSettings(m_settingsFile, m_keyPath, m_settings);
    m_stored = m_settings;
    applySettingsToControls();
    // The picked-date rules; started again in the first hour of the new year, the party goes
    // on with the zero moment.
    const StartTarget start = startTarget(m_clock, m_settings.pickedDate, m_settings.usePickedDate);
    m_target = start.target;
    m_zero.setTarget(m_target, start.justPassed);
    FormResize();
    updateShadowSize();
    loadBackgroundPicture();

    Timer1->start();
    m_secondTimer->start();
}

TFormMain::~TFormMain() { FormDestroy(false); }

void TFormMain::createComponents()
{
    Image1 = new TPictureBox(this);
    Image1->setCursor(Qt::BlankCursor);

    Titel = new TLabel3D(this);
    Titel->setCursor(Qt::BlankCursor);
    Titel->setTextAlignment(taCenter);
    Titel->setTextLayout(tlCenter);
    Titel->setTransparent(true);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(48);
    Titel->setFont(font);
    Titel->setFontColor(clWhite);
    Titel->setFirstColor(clWhite);
    Titel->setLastColor(clTeal);
    Titel->setFillGradient(false);
    Titel->setGradientOrientation(goHorizontal);
    Titel->setShadowColor(clBlack);
    Titel->setBevel(blShadow);
    Titel->setShadowSize(2);
    Titel->setBorderColor(clBlack);
    Titel->setBorderWidth(1);
    Titel->setBorderStyle(lbNone);
    connect(Titel, &TLabel3D::clicked, this, &TFormMain::EinstellunGen1Click);

    // Its media graph and video window are made when a video is first due.
    m_zeroMoment = new ZeroMoment(this, Image1, m_exePath);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTickMs);
    connect(Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);
    // The same tick right after each second of the wall clock begins.
    m_secondTimer = new SecondBoundaryTimer(
        m_clock, [this] { Timer1Timer(); }, this);

    // The hidden menu: its commands are only reachable by their keys.
    auto addCommand = [this](const QString& caption, const QKeySequence& key,
                             void (TFormMain::*handler)()) {
        auto* action = new QAction(caption, this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
        return action;
    };
    Help1 = addCommand(QStringLiteral("Help"), QKeySequence(Qt::Key_F1), &TFormMain::Help1Click);
    EinstellunGen1 = addCommand(QStringLiteral("CFG"), QKeySequence(Qt::Key_F2),
                                &TFormMain::EinstellunGen1Click);
    Info1 = addCommand(QStringLiteral("Info"), QKeySequence(Qt::Key_F3), &TFormMain::Info1Click);
    Play1 = addCommand(QStringLiteral("Play"), QKeySequence(Qt::Key_F9), &TFormMain::PlayClick);
    // No frame and perhaps no window manager: Alt+F4 must close the window by itself.
    auto* closeAction = new QAction(this);
    closeAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
}

void TFormMain::applySettingsToControls()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(m_settings.backgroundColor, pal));
    setPalette(pal);
    applyTitleFont(*Titel, m_settings);
}

void TFormMain::showOnScreen()
{
    // The first tick comes with the first frame: waiting a whole interval for it would show an
    // empty screen for a fifth of a second at every start.
    Timer1Timer();
    Titel->prepareNextPaint();
    followScreens();
    placeOnScreen();
}

void TFormMain::followScreens()
{
    // The screen may change under the count: a new mode (1920 × 1080 to 1280 × 720), a
    // projector switched on after the program started, another primary screen.
    auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, [this, screen] {
            if (screen == targetScreen())
                placeOnScreen();
        });
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        placeOnScreen();
    });
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, [this] { placeOnScreen(); });
}

QScreen* TFormMain::targetScreen()
{
    if (QScreen* named = screenNamed(m_screenName))
        return named;
    if (!m_screenMissingSaid) {
        m_screenMissingSaid = true;
        QStringList names;
        for (QScreen* screen : QGuiApplication::screens())
            names << screen->name();
        const QString text = tr("yearmark: kein Bildschirm »%1« (da sind: %2); der "
                                "Hauptbildschirm wird benutzt\n")
                                 .arg(m_screenName, names.join(QStringLiteral(", ")));
        std::fputs(text.toLocal8Bit().constData(), stderr);
    }
    return QGuiApplication::primaryScreen();
}

void TFormMain::placeOnScreen()
{
    QScreen* screen = targetScreen();
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        // The compositor sizes a full-screen window to its output itself.
        if (screen && windowHandle())
            windowHandle()->setScreen(screen);
        showFullScreen();
    } else {
        // No active output yet (the projector still off): nothing to cover. The window comes
        // when the first screen does.
        if (!screen || screen->geometry().width() < kSmallestScreen ||
            screen->geometry().height() < kSmallestScreen)
            return;
        if (windowHandle() && windowHandle()->screen() != screen)
            windowHandle()->setScreen(screen);
        setGeometry(screen->geometry());
        show();
    }
    raise();
    activateWindow();
}

void TFormMain::FormResize()
{
    // A picture the zero moment has shown keeps filling the window.
    m_align = m_zeroMoment->pictureFillsWindow()
                  ? PictureAlign::Client
                  : pictureAlignFor(m_previewAlign.value_or(m_settings.pictureAlignment), m_align);
    m_laidOutSize = size();
    const MainAreas areas = layoutAreas(size(), m_align);
    Image1->setGeometry(areas.picture);
    Titel->setGeometry(areas.title);
    fitTitleFont();
}

void TFormMain::fitTitleFont()
{
    // As wide as anything the count can still show for this target in these regional forms.
    const QString sample =
        expandSample(m_settings.titleTemplate, m_clock,
                     SampleForms::widestFor(nowValue(m_clock), m_target, m_regional));
    const int size = fitTitleFontSize(sample, Titel->font(), Titel->size(), Titel->logicalDpiY());
    Titel->setFontPointSize(size);
}

void TFormMain::updateShadowSize()
{
    Titel->setShadowSize(uint8_t(titleShadowSize(Titel->fontPointSize(), m_settings.shadow)));
}

void TFormMain::loadBackgroundPicture()
{
    // Looked for and decoded on a thread of its own: the window and the count come first.
    loadPictureAsync([exePath = m_exePath] { return backgroundPicturePath(exePath); }, size(), this,
                     [this](PictureOutcome outcome) { showBackgroundPicture(outcome); });
}

void TFormMain::showBackgroundPicture(const PictureOutcome& outcome)
{
    // Only the zero moment puts a picture in Image1 besides this: its own picture, once there,
    // wins over a background picture that comes later. Without one the background picture
    // takes whatever place the layout has given Image1 meanwhile, the whole window after zero.
    if (!outcome.image.isNull() && Image1->picture().isNull())
        Image1->setPicture(outcome.image);
    // The window is up by now; the application's error box shows above it.
    if (!outcome.error.isEmpty())
        showErrorBox(outcome.error);
}

void TFormMain::rehearse()
{
    m_target = newYearMoment(m_clock);
    m_zero.setTarget(m_target);
    fitTitleFont();
}

PictureAlign TFormMain::pictureAlign() const
{
    return m_zeroMoment->pictureFillsWindow() ? PictureAlign::Client : m_align;
}

bool TFormMain::counting() const { return Timer1->isActive(); }

void TFormMain::Timer1Timer()
{
    const TDateTime now = nowValue(m_clock);
    const ZeroMomentDetector::Tick tick = m_zero.tick(now);
    if (tick.zero)
        startZeroMoment();
    else if (now < m_target && tick.remaining < ZeroMoment::kPrepareSeconds)
        m_zeroMoment->prepareSoon();
    const QString text = expandLive(m_settings.titleTemplate, breakdownOf(tick.remaining), m_target,
                                    m_clock, m_regional);
    Titel->setCaption(text);
    m_secondTimer->check();
}

void TFormMain::startZeroMoment()
{
    Timer1->stop();
    m_secondTimer->stop();
    Titel->hide();
    m_zeroMoment->start();
}

void TFormMain::PlayFile(const QString& fileName) { m_zeroMoment->playFile(fileName); }

void TFormMain::FilterGraph1GraphComplete() { m_zeroMoment->graphComplete(); }

void TFormMain::setMediaLoader(std::function<MakeMediaLayer()> load)
{
    m_zeroMoment->setMediaLoader(std::move(load));
}

bool TFormMain::mediaSettled() const { return m_zeroMoment->settled(); }

TCFGDialog* TFormMain::settingsDialog()
{
    if (!m_cfg && m_makeCfg)
        setSettingsDialog(m_makeCfg());
    return m_cfg;
}

void TFormMain::setSettingsDialog(TCFGDialog* dialog)
{
    m_cfg = dialog;
    // The window hides the pointer for all its children; the dialog must be usable.
    m_cfg->setCursor(Qt::ArrowCursor);
    // A preview lays the window out but is no setting until OK: ending the program while the
    // dialog is open saves the alignment as it was.
    m_cfg->onAlignmentPreview = [this](int alignment) {
        m_previewAlign = alignment;
        FormResize();
    };
    m_cfg->titleFontSize = [this] { return Titel->fontPointSize(); };
}

void TFormMain::applyExchangeValues(const ExchangeValues& v)
{
    m_settings = v.settings;
    if (v.target != m_target) {
        m_target = v.target;
        m_zero.setTarget(m_target);
    }
    applySettingsToControls();
}

void TFormMain::EinstellunGen1Click()
{
    if (settingsDialog()) {
        const PictureAlign alignBefore = m_align;
        const bool countingBefore = counting();
        ExchangeValues values {m_settings, m_target};
        const int result = runSettingsDialog(*m_cfg, values, m_clock);
        m_previewAlign.reset();
        // A stored alignment outside 0..4 keeps the layout's own, so a cancelled preview is
        // undone here; a zero moment that came meanwhile has placed the picture anew.
        if (result != mrOk && counting() == countingBefore)
            m_align = alignBefore;
        applyExchangeValues(values);
        // Kept at once: a power cut or a crash later in the night must not lose what was set.
        if (result == mrOk)
            SaveSettings();
    }
    FormResize();
    updateShadowSize();
}

void TFormMain::Help1Click()
{
    // The help window can come in front only of a window that no longer stays on top; this
    // one stays a normal window for the rest of the run.
    if (windowFlags() & Qt::WindowStaysOnTopHint) {
        // Told to the window system directly: changing the widget's flags would make a new
        // native window and hide this one.
        const Qt::WindowFlags flags = windowFlags() & ~Qt::WindowStaysOnTopHint;
        overrideWindowFlags(flags);
        if (QWindow* window = windowHandle())
            window->setFlags(flags);
    }
    if (m_helpManager)
        m_helpManager->showTableOfContents(m_helpFile);
}

void TFormMain::Info1Click()
{
    if (!m_info && m_makeInfo)
        m_info = m_makeInfo();
    if (m_info)
        m_info->exec();
}

void TFormMain::PlayClick()
{
    // "0.avi" (or a video of today's kinds) from the working folder, else the one the zero
    // moment will play: F9 is how the video for midnight is tried out.
    m_zeroMoment->playCommandVideo();
}

void TFormMain::FormDestroy(bool reportErrorsInBox)
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    SaveSettings(reportErrorsInBox);
    // A media thread stuck in a state change is left behind after a short wait; the end goes on.
    m_zeroMoment->stop(kMediaStopWaitMs);
}

void TFormMain::SaveSettings(bool reportErrorsInBox)
{
    try {
        saveSettingsChanges(m_settingsFile, m_keyPath, m_settings, m_stored);
    } catch (const std::exception& e) {
        if (reportErrorsInBox)
            showErrorBox(QString::fromUtf8(e.what()));
        else
            std::fprintf(stderr, "yearmark: %s\n", e.what());
    }
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Showing the window delivers the size it was already laid out for at creation.
    if (size() != m_laidOutSize)
        FormResize();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    FormDestroy();
    event->accept();
}

void TFormMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LocaleChange) {
        m_regional = RegionalSettings::fromEnvironment();
        fitTitleFont();
    }
    QWidget::changeEvent(event);
}
