// The information dialog as a person meets it: what it shows where, which keys close it,
// and which clicks open the maker's contact page.

#include "dialog_support.h"

#include "dialogs/FInfo.h"
#include "dialogs/UCfg.h"
#include "display/Colors.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Stands in for the browser: records the pages it was asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class InfoDialog : public testing::Test {
protected:
    QWidget mainWindow;
    TFormInfo dialog {&mainWindow};
    UrlRecorder browser;

    void SetUp() override
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
        mainWindow.resize(800, 600);
        mainWindow.show();
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
    QImage picture() { return dialog.grab().toImage(); }
};

int pixelsOf(const QImage& image, QRect area, QColor colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

TEST_F(InfoDialog, ShowsItsPartsAtTheirPlacesOnSilver)
{
    const QImage image = picture();
    ASSERT_EQ(image.size(), QSize(256, 200));
    const QColor silver(0xC0, 0xC0, 0xC0);
    // As the picture holds them: eight bits a channel.
    const QColor shadow(toQColor(clBtnShadow, QGuiApplication::palette()).rgb());
    const QColor light(toQColor(clBtnHighlight, QGuiApplication::palette()).rgb());
    struct Case {
        const char* what;
        QRect area;
        QColor colour;
        int atLeast;
    };
    const Case cases[] = {
        {"logo drawn in its maroon", {10, 4, 238, 65}, QColor(0x80, 0, 0), 200},
        {"logo's white ground left out", {10, 4, 238, 65}, Qt::white, 0},
        {"program name in maroon, right of the icon", {120, 69, 125, 24}, QColor(0x80, 0, 0), 50},
        {"link line in blue", {55, 181, 137, 13}, QColor(0, 0, 0xFF), 30},
        {"silver between the version and the maker's line", {70, 115, 180, 14}, silver, 2000},
        // The icon's panel at (8, 72), 48 x 49: two lowered bevels of 2, the outer and the inner.
        {"icon panel: both bevels' shadow above", {12, 72, 40, 4}, shadow, 160},
        {"icon panel: both bevels' shadow on the left", {8, 80, 4, 30}, shadow, 120},
        {"icon panel: both bevels' light below", {12, 117, 40, 4}, light, 160},
        {"icon panel: both bevels' light on the right", {52, 80, 4, 30}, light, 120},
        {"icon panel: silver face inside the bevels", {12, 76, 40, 4}, silver, 160},
    };
    for (const Case& c : cases) {
        const int n = pixelsOf(image, c.area, c.colour);
        if (c.atLeast == 0)
            EXPECT_EQ(n, 0) << c.what;
        else
            EXPECT_GE(n, c.atLeast) << c.what;
    }
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Information"));
    EXPECT_EQ(dialog.LabelVer->text(), QStringLiteral("Version 1.1 (19.01.2008)"));
    EXPECT_EQ(dialog.Lab->text(), QStringLiteral("Lob und Kritik, Verbesserungsvorschläge,\n"
                                                 "Fragen und Bestellungen bitte schriftlich über"));
    EXPECT_FALSE(dialog.ImageICON->pixmap().isNull());
}

TEST_F(InfoDialog, OnlyEscapeClosesIt)
{
    const struct {
        int key;
        bool closes;
    } cases[] = {{Qt::Key_Return, false}, {Qt::Key_Enter, false}, {Qt::Key_Space, false},
                 {Qt::Key_A, false},      {Qt::Key_F3, false},    {Qt::Key_Escape, true}};
    for (const auto& c : cases) {
        ASSERT_TRUE(showActive(dialog));
        pressKey(dialog, c.key);
        QApplication::processEvents();
        EXPECT_EQ(!dialog.isVisible(), c.closes) << c.key;
    }
}

TEST_F(InfoDialog, MinimisedAnywayADialogComesBackAndTheMainWindowWithIt)
{
    FixedClock clock {CalendarTime {2026, 12, 7, 10, 30, 0, 0}};
    TCFGDialog settings(&mainWindow, clock);
    for (QDialog* shown : {static_cast<QDialog*>(&dialog), static_cast<QDialog*>(&settings)}) {
        for (QWidget* minimised : {static_cast<QWidget*>(shown), &mainWindow}) {
            shown->show();
            minimised->setWindowState(minimised->windowState() | Qt::WindowMinimized);
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return !shown->isMinimized() && !mainWindow.isMinimized();
            })) << shown->windowTitle().toStdString()
                << (minimised == shown ? ": the dialog" : ": the main window");
            shown->hide();
        }
    }
}

TEST_F(InfoDialog, LogoAndLinkLineOpenTheContactPageAndTheDialogStays)
{
    ASSERT_TRUE(showActive(dialog));
    const struct {
        QWidget* target;
        bool opens;
    } cases[] = {{dialog.Image1, true},    {dialog.Label2, true},     {dialog.Label1, false},
                 {dialog.LabelVer, false}, {dialog.ImageICON, false}, {dialog.Lab, false}};
    for (const auto& c : cases) {
        browser.opened.clear();
        click(*c.target, c.target->rect().center());
        EXPECT_EQ(browser.opened,
                  c.opens ? QList<QUrl> {QUrl(TFormInfo::contactUrl())} : QList<QUrl> {})
            << c.target->objectName().toStdString();
        EXPECT_TRUE(dialog.isVisible());
    }
}

} // namespace

#include "test_info_dialog.moc"
