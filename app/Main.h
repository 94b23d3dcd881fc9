#pragma once
// The program's one window: covers the primary screen, stays on top, shows the countdown
// title over the background colour and picture, owns the timer, the hidden commands and the
// in-memory settings for the whole run.

#include "app/MainLayout.h"
#include "countdown/Clock.h"
#include "countdown/Countdown.h"
#include "countdown/RegionalSettings.h"
#include "settings/Settings.h"
#include "video/MediaLayer.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QScreen;
class QTimer;
class SecondBoundaryTimer;
class TCFGDialog;
class TFormInfo;
class THelpManager;
class TLabel3D;
class TPictureBox;
class ZeroMoment;
struct ExchangeValues;
struct PictureOutcome;

class TFormMain : public QWidget {
    Q_OBJECT
public:
    // The clock is passed in; the executable path decides the settings key and the files
    // beside the program; the settings file is the per-user store for that key.
    TFormMain(const Clock& clock, const QString& exePath, const QString& settingsFile,
              QWidget* parent = nullptr);
    ~TFormMain() override;

    // Components, named as the window's design names them.
    TPictureBox* Image1 = nullptr;
    TLabel3D* Titel = nullptr;
    QTimer* Timer1 = nullptr;
    QAction* Help1 = nullptr;
    QAction* EinstellunGen1 = nullptr;
    QAction* Info1 = nullptr;
    QAction* Play1 = nullptr;

    // Handlers.
    void FormResize();
    void Timer1Timer();
    void EinstellunGen1Click();
    void Help1Click();
    void Info1Click();
    void PlayClick();
    // Shows the video window over the screen and plays the file; swallows every failure.
    void PlayFile(const QString& fileName);
    void FilterGraph1GraphComplete();
    // The end: saves the settings, then stops the media; runs once, on whichever orderly end
    // comes first.
    void FormDestroy(bool reportErrorsInBox = true);
    // Saves the settings and nothing else (the session manager asks for it before a logout
    // that may still be cancelled; the settings dialog after OK). Only what this run changed is
    // written over the file as it is now: another copy sharing the file keeps its changes.
    void SaveSettings(bool reportErrorsInBox = true);

    // The main window's values, for the settings command and for tests.
    const Settings& settings() const { return m_settings; }
    TDateTime targetMoment() const { return m_target; }
    QString settingsKeyPath() const { return m_keyPath; }
    QString helpFile() const { return m_helpFile; }
    PictureAlign pictureAlign() const;
    bool counting() const;
    // The zero moment and its media (the graph and the video window), to which the handlers
    // above hand over.
    ZeroMoment* zeroMoment() const { return m_zeroMoment; }

    // The settings dialog the settings command shows, owned by this window as its parent.
    // The application hands over how to make it: it is made when first asked for, so that a
    // count nobody configures never pays for the dialog's widgets and fonts.
    void setSettingsDialog(TCFGDialog* dialog);
    void setSettingsDialogMaker(std::function<TCFGDialog*()> make) { m_makeCfg = std::move(make); }
    TCFGDialog* settingsDialog();
    // The information dialog F3 shows, made on first use like the settings dialog and owned by
    // this one; the help manager F1 asks for the help's table of contents.
    void setInfoDialogMaker(std::function<TFormInfo*()> make) { m_makeInfo = std::move(make); }
    void setHelpManager(THelpManager* manager) { m_helpManager = manager; }
    // How the media layer's maker is had (see ZeroMoment::setMediaLoader).
    void setMediaLoader(std::function<MakeMediaLayer()> load);
    // True when none of the media's threads is left running; asked at the end, after
    // FormDestroy.
    bool mediaSettled() const;

    // Shows the window as the platform wants it: frameless and on top over the primary
    // screen on X11, full screen on Wayland.
    void showOnScreen();
    // Covers its screen as it is now; does nothing while there is no active screen.
    void placeOnScreen();
    // The screen to count on, by its connector name ("HDMI-1") or its number from 1; empty
    // for the primary screen. One that is not there (yet) means the primary screen, said once.
    void setScreenName(const QString& name) { m_screenName = name; }
    // A rehearsal: counts to the New-Year moment of the window's clock (which the caller has
    // moved so that it comes soon), whatever target is stored; the stored target and the
    // picked-date flag stay as they are.
    void rehearse();
    QScreen* targetScreen();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void followScreens();
    void createComponents();
    void applySettingsToControls();
    void fitTitleFont();
    void updateShadowSize();
    void loadBackgroundPicture();
    void showBackgroundPicture(const PictureOutcome& outcome);
    void startZeroMoment();
    void applyExchangeValues(const ExchangeValues& values);

    const Clock& m_clock;
    QString m_exePath;
    QString m_settingsFile;
    QString m_keyPath;
    QString m_helpFile;
    Settings m_settings;
    Settings m_stored; // what the settings file held when last read or written by this run
    TDateTime m_target = 0;
    ZeroMomentDetector m_zero;
    RegionalSettings m_regional;
    PictureAlign m_align = PictureAlign::Top;
    QString m_screenName;
    bool m_screenMissingSaid = false;
    std::optional<int> m_previewAlign;
    QSize m_laidOutSize;
    bool m_destroyed = false;
    ZeroMoment* m_zeroMoment = nullptr;
    SecondBoundaryTimer* m_secondTimer = nullptr;
    TCFGDialog* m_cfg = nullptr;
    TFormInfo* m_info = nullptr;
    std::function<TCFGDialog*()> m_makeCfg;
    std::function<TFormInfo*()> m_makeInfo;
    THelpManager* m_helpManager = nullptr;
};
