// The video window as a person sees it: the grabbed pixels of a playing clip, black bars and
// background, the pointer over the video, and the screen saver hold.
#include "media_support.h"

#include "video/MediaGraph.h"

#include <QMouseEvent>
#include <QPixmap>

#include <QTest>
#include <gtest/gtest.h>

namespace {

bool isGreen(QRgb c) { return qGreen(c) > 200 && qRed(c) < 60 && qBlue(c) < 60; }
bool isBlack(QRgb c) { return qRed(c) < 8 && qGreen(c) < 8 && qBlue(c) < 8; }

class VideoWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.setObjectName("VideoWindow1");
        window.setFilterGraph(&graph);
        graph.setPrerollTimeoutMs(3000);
        QObject::connect(&graph, &TFilterGraph::graphComplete, [this] { ++completions; });
    }
    // Renders a clip; its first frame is shown once the graph has prerolled.
    void showClip(const QString& file, QSize size)
    {
        window.resize(size);
        graph.setActive(true);
        ASSERT_EQ(graph.RenderFile(file), S_OK);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return graph.isPrepared() && window.hasFrame(); }, 10000));
    }
    QImage grab() { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TFilterGraph graph;
    TVideoWindow window;
    int completions = 0;
};

TEST_F(VideoWindowTest, A43ClipIn1280x1024IsLetterBoxedWithBlackBarsAboveAndBelow)
{
    showClip(testClips().video43, QSize(1280, 1024));
    EXPECT_EQ(window.videoRect(), QRect(0, 32, 1280, 960));
    const QImage image = grab();
    ASSERT_EQ(image.size(), QSize(1280, 1024));
    struct Probe {
        int x, y;
        bool green;
    };
    for (const Probe& p : {Probe {640, 0, false}, Probe {640, 31, false}, Probe {0, 31, false},
                           Probe {1279, 31, false}, Probe {640, 32, true}, Probe {0, 32, true},
                           Probe {1279, 32, true}, Probe {640, 512, true}, Probe {0, 991, true},
                           Probe {1279, 991, true}, Probe {640, 992, false},
                           Probe {640, 1023, false}, Probe {1279, 1023, false}}) {
        const QRgb c = image.pixel(p.x, p.y);
        EXPECT_TRUE(p.green ? isGreen(c) : isBlack(c))
            << "(" << p.x << ", " << p.y << ") is " << std::hex << c << ", expected "
            << (p.green ? "video" : "black");
    }
}

TEST_F(VideoWindowTest, PlayingShowsFramesToTheEnd)
{
    showClip(testClips().video43, QSize(640, 480));
    graph.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions == 1; }, 10000));
    EXPECT_TRUE(isGreen(grab().pixel(320, 240)));
}

TEST_F(VideoWindowTest, A169ClipIn1280x720FillsTheWindow)
{
    showClip(testClips().wide169, QSize(1280, 720));
    EXPECT_EQ(window.videoRect(), QRect(0, 0, 1280, 720));
    const QImage image = grab();
    for (QPoint p :
         {QPoint(0, 0), QPoint(1279, 0), QPoint(0, 719), QPoint(1279, 719), QPoint(640, 360)})
        EXPECT_TRUE(isGreen(image.pixel(p))) << p.x() << "," << p.y();
}

TEST_F(VideoWindowTest, StretchedAndCroppedFillTheWholeWindow)
{
    showClip(testClips().video43, QSize(1280, 720));
    for (TRatioModes mode : {rmStretched, rmCrop}) {
        window.setAspectRatio(mode);
        EXPECT_EQ(window.videoRect(), QRect(0, 0, 1280, 720));
        const QImage image = grab();
        EXPECT_TRUE(isGreen(image.pixel(0, 0)) && isGreen(image.pixel(1279, 719))) << mode;
    }
    window.setAspectRatio(rmLetterBox);
    EXPECT_EQ(window.videoRect(), QRect(160, 0, 960, 720));
}

TEST_F(VideoWindowTest, WithoutVideoTheWindowIsBlackAndTakesItsColour)
{
    window.resize(200, 100);
    EXPECT_EQ(window.color(), QColor(Qt::black));
    EXPECT_TRUE(window.videoRect().isEmpty());
    QImage image = grab();
    EXPECT_TRUE(isBlack(image.pixel(0, 0)) && isBlack(image.pixel(199, 99)) &&
                isBlack(image.pixel(100, 50)));
    window.setColor(QColor(0, 0, 255));
    image = grab();
    EXPECT_EQ(image.pixel(100, 50), qRgb(0, 0, 255));
}

TEST_F(VideoWindowTest, AfterClearingTheGraphTheLastFrameIsGoneAndTheWindowIsBlack)
{
    showClip(testClips().video43, QSize(320, 240));
    graph.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions == 1; }, 10000));
    graph.ClearGraph();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.hasFrame(); }, 10000));
    const QImage image = grab();
    EXPECT_TRUE(isBlack(image.pixel(160, 120)));
}

void sendMouse(QWidget& w, QEvent::Type type, QPoint pos)
{
    QMouseEvent event(type, QPointF(pos), w.mapToGlobal(QPointF(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
}

TEST_F(VideoWindowTest, ThePointerHidesAfterRestingAndComesBackOnARealMove)
{
    // As in the program: on a window that hides the pointer everywhere else.
    QWidget screen;
    screen.setCursor(Qt::BlankCursor);
    window.setParent(&screen);
    struct Unparent {
        TVideoWindow& w;
        ~Unparent() { w.setParent(nullptr); }
    } unparent {window};
    window.resize(320, 240);
    window.setAutoHideCursor(10);
    graph.setActive(true);
    sendMouse(window, QEvent::MouseMove, QPoint(10, 10));
    EXPECT_NE(window.cursor().shape(), Qt::BlankCursor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.cursorHidden(); }, 2000));
    EXPECT_EQ(window.cursor().shape(), Qt::BlankCursor);
    sendMouse(window, QEvent::MouseMove, QPoint(10, 10));
    EXPECT_TRUE(window.cursorHidden()) << "a move to the same place is no activity";
    sendMouse(window, QEvent::MouseMove, QPoint(11, 10));
    EXPECT_FALSE(window.cursorHidden());
    EXPECT_NE(window.cursor().shape(), Qt::BlankCursor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.cursorHidden(); }, 2000));
    sendMouse(window, QEvent::MouseButtonPress, QPoint(11, 10));
    EXPECT_FALSE(window.cursorHidden()) << "a press shows the hidden pointer";
    window.setAutoHideCursor(0);
    EXPECT_FALSE(QTest::qWaitFor([&] { return window.cursorHidden(); }, 100))
        << "0 switches hiding off";
}

TEST_F(VideoWindowTest, ThePointerStaysWhileTheWindowHasNoGraph)
{
    TVideoWindow alone;
    alone.setAutoHideCursor(10);
    sendMouse(alone, QEvent::MouseMove, QPoint(10, 10));
    EXPECT_FALSE(QTest::qWaitFor([&] { return alone.cursorHidden(); }, 100));
}

TEST_F(VideoWindowTest, TheScreenSaverIsHeldOnlyWhileAShownVideoPlays)
{
    window.setNoScreenSaver(true);
    window.show();
    showClip(testClips().video43, QSize(320, 240));
    EXPECT_FALSE(window.screenSaverHeld());
    graph.Play();
    EXPECT_TRUE(window.screenSaverHeld());
    window.hide();
    EXPECT_FALSE(window.screenSaverHeld());
    window.show();
    EXPECT_TRUE(window.screenSaverHeld());
    window.setNoScreenSaver(false);
    EXPECT_FALSE(window.screenSaverHeld());
    window.setNoScreenSaver(true);
    graph.Stop();
    EXPECT_FALSE(window.screenSaverHeld());
    graph.Play();
    graph.ClearGraph();
    EXPECT_FALSE(window.screenSaverHeld());
}

} // namespace
