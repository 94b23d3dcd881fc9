// The zero moment on the main window: what fills the screen for each state of the video beside
// the program (ready, still being made ready, failed, none), for each kind of "0.avi" on the real
// media layer, and saving for the session manager. (What people see on the real screen is the
// end-to-end table of test_zero_moment_cases.sh.)
#include "app/Main.h"
#include "app/ZeroMoment.h"
#include "display/Label3D.h"
#include "display/PictureBox.h"
#include "media_support.h"
#include "settings/Settings.h"
#include "tests/countdown/clock_support.h"
#include "video/MediaGraph.h"
#include "video/MediaLayer.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

constexpr CalendarTime kBeforeZero {2026, 12, 31, 23, 59, 56, 0};
// Just after the target: the first tick there is the zero moment. The target is a picked one,
// so that a window made at this moment still counts to it.
constexpr CalendarTime kZero {2027, 1, 1, 0, 0, 0, 2};
constexpr CalendarTime kTarget {2027, 1, 1, 0, 0, 0, 0};

// A media layer whose video becomes ready, or fails, when the test says so.
class FakeMedia final : public MediaLayer {
public:
    explicit FakeMedia(QWidget* parent)
        : widget(new QWidget(parent))
    {
        widget->hide();
    }
    QWidget* videoWidget() const override { return widget; }
    void setActive(bool) override { }
    void clearGraph() override { playing = false; }
    void renderFile(const QString& fileName, bool) override { rendered = fileName; }
    bool play() override { return playing = !rendered.isEmpty(); }
    bool seekToStart() override { return true; }
    uint64_t framesArrived() const override { return 0; }
    void setPreparedHandler(std::function<void()> f) override { prepared = std::move(f); }
    void setErrorHandler(std::function<void()> f) override { failed = std::move(f); }
    void setCompletionHandler(std::function<void()>) override { }
    bool shutDown(int) override { return true; }

    QWidget* widget;
    QString rendered;
    bool playing = false;
    std::function<void()> prepared, failed;
};
FakeMedia* g_fake = nullptr;
MediaLayer* makeFake(QWidget* parent, const VideoSetup&) { return g_fake = new FakeMedia(parent); }

class ZeroMomentTest : public testing::Test {
protected:
    std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    FixedClock clock {kZero};
    MakeMediaLayer maker = yearmarkMakeMediaLayer;
    QString path(const QString& name) const { return dir->filePath(name); }
    std::unique_ptr<TFormMain> makeWindow()
    {
        Settings picked;
        picked.pickedDate = encodeDateTime(kTarget);
        picked.usePickedDate = true;
        saveSettings(path("yearmark.reg"), settingsKeyPath(QStringLiteral("yearmark")), picked);
        auto w = std::make_unique<TFormMain>(clock, path("yearmark"), path("yearmark.reg"));
        w->setMediaLoader([make = maker] { return make; });
        w->resize(640, 480);
        w->show();
        return w;
    }
    void redPicture()
    {
        QImage red(64, 48, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(path("0.jpg"));
    }
    bool fills(TFormMain& w) const
    {
        return w.Image1->geometry() == w.rect() && !w.Image1->picture().isNull();
    }
};

bool videoVisible(const TFormMain& w) { return w.zeroMoment()->videoShown(); }
bool videoHasFrame(const TFormMain& w) { return w.zeroMoment()->framesArrived() > 0; }

enum class Step { Nothing, Ready, Fail };
struct StateCase {
    const char* name;
    bool video;                   // "0.avi" beside the program
    Step beforeZero, afterZero;   // what the video does
    bool videoAtZero, videoLater; // the video shows, else the picture fills the window
    bool media = true;
};

const StateCase kStateCases[] = {
    {"Ready", true, Step::Ready, Step::Nothing, true, true},
    {"StillPreparing", true, Step::Nothing, Step::Ready, false, true},
    {"FailsAfterZero", true, Step::Nothing, Step::Fail, false, false},
    {"FailsBeforeZero", true, Step::Fail, Step::Nothing, false, false},
    {"NoVideo", false, Step::Nothing, Step::Nothing, false, false},
    {"NoMediaLayer", true, Step::Nothing, Step::Nothing, false, false, false},
};

TEST_F(ZeroMomentTest, ThePictureFillsTheWindowUntilTheVideoIsReady)
{
    for (const StateCase& c : kStateCases) {
        SCOPED_TRACE(c.name);
        dir = std::make_unique<QTemporaryDir>();
        redPicture();
        if (c.video)
            QFile(path("0.avi")).open(QIODevice::WriteOnly);
        g_fake = nullptr;
        maker = c.media ? makeFake : nullptr;
        clock.set(kBeforeZero);
        auto w = makeWindow();
        w->zeroMoment()->prepare();
        if (c.video && c.media) {
            ASSERT_TRUE(
                QTest::qWaitFor([] { return g_fake && !g_fake->rendered.isEmpty(); }, 10000));
        }
        auto act = [](Step step) {
            if (step != Step::Nothing)
                (step == Step::Ready ? g_fake->prepared : g_fake->failed)();
        };
        act(c.beforeZero);
        auto videoShown = [] { return g_fake && g_fake->widget->isVisible() && g_fake->playing; };
        clock.set(kZero);
        w->Timer1Timer();
        EXPECT_FALSE(w->Titel->isVisible());
        EXPECT_EQ(videoShown(), c.videoAtZero);
        EXPECT_NE(w->Image1->geometry() == w->rect(), c.videoAtZero) << "filled at once";
        act(c.afterZero);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return videoShown() == c.videoLater && (c.videoLater || fills(*w)); }, 10000));
    }
}

struct ClipCase {
    const char* name;
    std::function<void(const QString& folder)> files;
    bool prepared; // the preparation came before zero
    bool video;    // the clip shows; otherwise the picture fills the window
};

void copyClip(const QString& clip, const QString& to) { QFile::copy(clip, to + "/0.avi"); }

const ClipCase kClipCases[] = {
    {"PlayableClip", [](auto d) { copyClip(testClips().video43, d); }, false, true},
    {"PreparedClip", [](auto d) { copyClip(testClips().video43, d); }, true, true},
    {"RandomBytes", [](auto d) { copyClip(testClips().noise, d); }, false, false},
    {"PreparedRandomBytes", [](auto d) { copyClip(testClips().noise, d); }, true, false},
    {"CutBeforeTheFirstFrame", [](auto d) { copyClip(testClips().cutFrames, d); }, false, false},
    {"SoundOnly", [](auto d) { copyClip(testClips().audioOnly, d); }, true, false},
    {"NamedPipe", [](auto d) { ::mkfifo(QFile::encodeName(d + "/0.avi").constData(), 0600); }, true,
     false},
};

TEST_F(ZeroMomentTest, EachKindOfVideoPlaysOrGivesWayToThePicture)
{
    for (const ClipCase& c : kClipCases) {
        SCOPED_TRACE(c.name);
        dir = std::make_unique<QTemporaryDir>();
        c.files(dir->path());
        redPicture();
        clock.set(c.prepared ? kBeforeZero : kZero);
        auto w = makeWindow();
        if (c.prepared) {
            w->zeroMoment()->prepare();
            const auto ready = [&] {
                return w->zeroMoment()->phase() == ZeroMoment::Phase::Prepared;
            };
            EXPECT_EQ(QTest::qWaitFor(ready, c.video ? 10000 : 1500), c.video);
            EXPECT_EQ(videoHasFrame(*w), c.video) << "the first frame waits, hidden";
            EXPECT_FALSE(videoVisible(*w));
            clock.set(kZero);
        }
        w->Timer1Timer();
        if (c.video)
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return videoVisible(*w) && videoHasFrame(*w); }, 10000));
        else
            EXPECT_TRUE(QTest::qWaitFor([&] { return !videoVisible(*w) && fills(*w); }, 10000));
    }
}

TEST_F(ZeroMomentTest, AnErrorReportedAfterRenderingStillGivesWayToThePicture)
{
    copyClip(testClips().video43, dir->path());
    redPicture();
    auto w = makeWindow();
    w->Timer1Timer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return videoVisible(*w); }, 10000));
    // A decoder failing later, as the bus reports it.
    GstElement* source =
        gst_bin_get_by_name(GST_BIN(w->findChild<TFilterGraph*>()->pipeline()), "Source");
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, "bad");
    gst_element_post_message(source, gst_message_new_error(GST_OBJECT(source), error, nullptr));
    g_error_free(error);
    gst_object_unref(source);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !videoVisible(*w) && fills(*w); }, 10000));
}

TEST_F(ZeroMomentTest, SavingForTheSessionManagerLeavesPlaybackAndTheRealEndAlone)
{
    copyClip(testClips().video43, dir->path());
    auto w = makeWindow();
    w->Timer1Timer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return videoVisible(*w); }, 10000));
    w->SaveSettings(false);
    EXPECT_TRUE(QFile::exists(path("yearmark.reg")));
    EXPECT_EQ(w->zeroMoment()->phase(), ZeroMoment::Phase::Looping) << "still playing";
    QFile::remove(path("yearmark.reg"));
    w->FormDestroy(false);
    EXPECT_TRUE(QFile::exists(path("yearmark.reg"))) << "the end saves once more";
    EXPECT_TRUE(w->mediaSettled());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("LC_TIME", "de_DE.UTF-8");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
