#include "app/Main.h"
#include "countdown/TemplateExpander.h"
#include "display/Label3D.h"
#include "display/PictureBox.h"
#include "settings/Settings.h"
#include "tests/countdown/clock_support.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

class MainWindowTest : public testing::Test {
protected:
    QTemporaryDir dir;
    QString exe() const { return dir.filePath(QStringLiteral("yearmark")); }
    QString store() const { return dir.filePath(QStringLiteral("yearmark.reg")); }
    FixedClock clock {CalendarTime {2026, 12, 7, 12, 0, 0, 0}};

    std::unique_ptr<TFormMain> makeWindow()
    {
        auto w = std::make_unique<TFormMain>(clock, exe(), store());
        w->resize(1280, 1024);
        w->show();
        return w;
    }
};

} // namespace

TEST_F(MainWindowTest, StartsFramelessOnTopWithEmptyTitleAndHiddenPointer)
{
    auto w = makeWindow();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Happy New Year"));
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(w->Titel->cursor().shape(), Qt::BlankCursor);
    EXPECT_TRUE(w->Titel->caption().isEmpty());
    EXPECT_EQ(w->Timer1->interval(), 188);
    EXPECT_TRUE(w->counting());
    EXPECT_EQ(w->settingsKeyPath(), QStringLiteral("\\Software\\Vemoral\\yearmark"));
    EXPECT_EQ(w->helpFile(), exe() + ".chm");
}

TEST_F(MainWindowTest, TickShowsTheBuiltInTemplateExpanded)
{
    auto w = makeWindow();
    w->Timer1Timer();
    EXPECT_EQ(w->Titel->caption(), QStringLiteral("Bis zum Jahr 2027 sind es noch:\r\n24 Tage(n) "
                                                  "12 Stunde(n) 00 Minute(n) 00 Sekunde(n)"));
    clock.set({2026, 12, 31, 23, 58, 0, 900});
    w->Timer1Timer();
    EXPECT_EQ(
        w->Titel->caption(),
        QStringLiteral(
            "Bis zum Jahr 2027 sind es noch:\r\n0 Tage(n) 0 Stunde(n) 02 Minute(n) 00 Sekunde(n)"));
}

TEST_F(MainWindowTest, ZeroMomentStopsTheTimerAndHidesTheTitleForGood)
{
    clock.set({2026, 12, 31, 23, 59, 59, 500});
    auto w = makeWindow();
    w->Timer1Timer();
    EXPECT_TRUE(w->counting()) << "the last second before the target still counts";
    clock.set({2027, 1, 1, 0, 0, 0, 2});
    w->Timer1Timer();
    EXPECT_FALSE(w->counting());
    EXPECT_FALSE(w->Titel->isVisible());
}

TEST_F(MainWindowTest, ClockJumpingOverTheTargetStillBringsTheZeroMoment)
{
    clock.set({2026, 12, 31, 23, 59, 57, 0});
    auto w = makeWindow();
    w->Timer1Timer();
    EXPECT_TRUE(w->counting());
    clock.set({2027, 1, 1, 0, 0, 3, 0}); // the machine slept through midnight
    w->Timer1Timer();
    EXPECT_FALSE(w->counting());
    EXPECT_FALSE(w->Titel->isVisible());
}

TEST_F(MainWindowTest, LoadedSettingsShapeTheWindow)
{
    Settings s;
    s.titleTemplate = QStringLiteral("%S");
    s.pictureAlignment = 2;
    s.backgroundColor = 0x00FF0000; // blue in the 0x00BBGGRR form
    s.titleColor = 0x000000FF;
    s.shadow = true;
    saveSettings(store(), settingsKeyPath(QStringLiteral("yearmark")), s);

    auto w = makeWindow();
    w->Timer1Timer();
    EXPECT_EQ(w->Titel->caption(), QStringLiteral("00"));
    EXPECT_EQ(w->pictureAlign(), PictureAlign::Left);
    EXPECT_EQ(w->Image1->geometry(), QRect(0, 0, 640, 1024));
    EXPECT_EQ(w->Titel->geometry(), QRect(640, 0, 640, 1024));
    EXPECT_EQ(w->palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(w->Titel->fontColor(), 0x000000FFu);

    // The shadow follows the size fitted at creation (at the screen's size); a later resize
    // refits the font but leaves the shadow until the next settings dialog.
    TFormMain atScreenSize(clock, exe(), store());
    EXPECT_GT(atScreenSize.Titel->fontPointSize(), 20);
    EXPECT_EQ(atScreenSize.Titel->shadowSize(), atScreenSize.Titel->fontPointSize() / 20);
}

TEST_F(MainWindowTest, ShadowOffMeansShadowSizeZero)
{
    auto w = makeWindow();
    EXPECT_GT(w->Titel->fontPointSize(), 20);
    EXPECT_EQ(w->Titel->shadowSize(), 0);
}

TEST_F(MainWindowTest, PickedTargetFromTheStoreIsCountedDownTo)
{
    Settings s;
    s.usePickedDate = true;
    s.pickedDate = encodeDateTime({2026, 12, 7, 12, 1, 30, 0});
    saveSettings(store(), settingsKeyPath(QStringLiteral("yearmark")), s);
    auto w = makeWindow();
    w->Timer1Timer();
    EXPECT_TRUE(w->Titel->caption().endsWith(
        QStringLiteral("0 Tage(n) 0 Stunde(n) 01 Minute(n) 30 Sekunde(n)")));
}

TEST_F(MainWindowTest, ClosingSavesEverySetting)
{
    {
        auto w = makeWindow();
        w->close();
    }
    QFile f(store());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    for (const char* name : {"Label", "Stretch", "Fon", "Font", "FontC", "FontB", "FontI", "FontU",
                             "FontS", "FontT", "IfSelectDate", "SelectDate", "Shadow"})
        EXPECT_TRUE(text.contains(QStringLiteral("\"%1\"=").arg(QLatin1String(name)))) << name;
}

TEST_F(MainWindowTest, TitleRepaintsOnlyWhenItsTextChanges)
{
    clock.set({2026, 12, 7, 12, 0, 0, 100});
    auto w = makeWindow();
    PaintCounter counter;
    w->Titel->installEventFilter(&counter);
    w->Timer1Timer();
    QApplication::processEvents();
    const int afterFirst = counter.paints;
    EXPECT_GE(afterFirst, 1);
    clock.set({2026, 12, 7, 12, 0, 0, 288});
    w->Timer1Timer();
    clock.set({2026, 12, 7, 12, 0, 0, 476});
    w->Timer1Timer();
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, afterFirst);
    clock.set({2026, 12, 7, 12, 0, 1, 100});
    w->Timer1Timer();
    QApplication::processEvents();
    EXPECT_GT(counter.paints, afterFirst);
}

struct BackgroundCase {
    const char* name;
    bool zeroFirst, zeroPicture; // the zero moment comes first; "0.bmp" (blue) beside the program
    QColor shown;                // what Image1 holds once both are done
    bool fillsWindow;
};

// The background picture (red) arrives while the count runs, in the place the layout has given
// Image1 by then, unless the zero moment has shown a picture of its own.
TEST_F(MainWindowTest, BackgroundPictureArrivesWithoutUndoingTheZeroMoment)
{
    const BackgroundCase cases[] = {{"WhileCounting", false, false, Qt::red, false},
                                    {"AfterZeroWithoutItsPicture", true, false, Qt::red, true},
                                    {"AfterZeroWithItsPicture", true, true, Qt::blue, true}};
    for (const BackgroundCase& c : cases) {
        SCOPED_TRACE(c.name);
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(exe() + ".bmp", "BMP");
        picture.fill(Qt::blue);
        QFile::remove(dir.filePath(QStringLiteral("0.bmp")));
        if (c.zeroPicture)
            picture.save(dir.filePath(QStringLiteral("0.bmp")), "BMP");
        clock.set(c.zeroFirst ? CalendarTime {2026, 12, 31, 23, 59, 59, 500}
                              : CalendarTime {2026, 12, 7, 12, 0, 0, 0});
        auto w = makeWindow();
        if (c.zeroFirst)
            clock.set({2027, 1, 1, 0, 0, 0, 2});
        w->Timer1Timer();
        // Long enough for both pictures: a late background picture would show by then.
        for (const QDeadlineTimer deadline(1000); !deadline.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        EXPECT_EQ(w->Image1->picture().pixelColor(1, 1).name(), c.shown.name());
        EXPECT_EQ(w->Image1->geometry() == w->rect(), c.fillsWindow);
    }
}

int main(int argc, char** argv)
{
    qputenv("LC_TIME", "de_DE.UTF-8");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
