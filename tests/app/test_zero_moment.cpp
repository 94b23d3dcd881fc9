// The zero moment on the main window: what fills the screen for each kind of "0.avi" beside the
// program, made ready before zero or not, and saving for the session manager. (What people see
// on the real screen is the end-to-end table of test_zero_moment_cases.sh.)
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

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

constexpr CalendarTime kBeforeZero {2026, 12, 31, 23, 59, 56, 0};
// Just after the target: the first tick there is the zero moment. The target is a picked one,
// so that a window made at this moment still counts to it.
constexpr CalendarTime kZero {2027, 1, 1, 0, 0, 0, 2};
constexpr CalendarTime kTarget {2027, 1, 1, 0, 0, 0, 0};

class ZeroMomentTest : public testing::Test {
protected:
    std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    FixedClock clock {kZero};
    bool withMedia = true;
    QString path(const QString& name) const { return dir->filePath(name); }
    std::unique_ptr<TFormMain> makeWindow()
    {
        Settings picked;
        picked.selectDate = encodeDateTime(kTarget);
        picked.ifSelectDate = true;
        saveSettings(path("yearmark.reg"), settingsKeyPath(QStringLiteral("yearmark")), picked);
        auto w = std::make_unique<TFormMain>(clock, path("yearmark"), path("yearmark.reg"));
        if (withMedia)
            w->setMediaMaker(yearmarkMakeMediaLayer);
        w->resize(640, 480);
        w->show();
        return w;
    }
    bool fills(TFormMain& w) const { return w.Image1->geometry() == w.rect(); }
};

// The video window exists only once a video was due.
bool videoVisible(const TFormMain& w) { return w.VideoWindow1 && w.VideoWindow1->isVisible(); }
bool videoHasFrame(const TFormMain& w) { return w.VideoWindow1 && w.VideoWindow1->hasFrame(); }

struct ZeroCase {
    const char* name;
    std::function<void(const QString& folder)> files;
    bool prepared;     // the tick five seconds before zero came first
    bool video;        // the clip shows; otherwise a picture fills the window
    bool media = true; // the media layer can be made (its module is there)
};

void copyClip(const QString& clip, const QString& to) { QFile::copy(clip, to + "/0.avi"); }

const ZeroCase kZeroCases[] = {
    {"PlayableClip", [](auto d) { copyClip(testClips().video43, d); }, false, true},
    {"PreparedClip", [](auto d) { copyClip(testClips().video43, d); }, true, true},
    {"RandomBytes", [](auto d) { copyClip(testClips().noise, d); }, false, false},
    {"PreparedRandomBytes", [](auto d) { copyClip(testClips().noise, d); }, true, false},
    {"CutBeforeTheFirstFrame", [](auto d) { copyClip(testClips().cutFrames, d); }, false, false},
    {"SoundOnly", [](auto d) { copyClip(testClips().audioOnly, d); }, true, false},
    {"NamedPipe", [](auto d) { ::mkfifo(QFile::encodeName(d + "/0.avi").constData(), 0600); }, true,
     false},
    {"NoMediaLayer", [](auto d) { copyClip(testClips().video43, d); }, true, false, false},
};

TEST_F(ZeroMomentTest, TheVideoPlaysOrGivesWayToThePictureFillingTheWindow)
{
    for (const ZeroCase& c : kZeroCases) {
        SCOPED_TRACE(c.name);
        dir = std::make_unique<QTemporaryDir>();
        c.files(dir->path());
        QImage red(64, 48, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(path("0.jpg"));
        clock.set(c.prepared ? kBeforeZero : kZero);
        withMedia = c.media;
        auto w = makeWindow();
        if (c.prepared) {
            w->zeroMoment()->prepare();
            // Made ready: the first frame decoded, nothing shown yet.
            EXPECT_EQ(videoHasFrame(*w), c.video);
            EXPECT_FALSE(videoVisible(*w));
            clock.set(kZero);
        }
        w->Timer1Timer();
        if (c.video) {
            EXPECT_TRUE(waitUntil([&] { return videoVisible(*w) && videoHasFrame(*w); }));
            EXPECT_FALSE(fills(*w));
        } else {
            EXPECT_TRUE(waitUntil([&] { return !videoVisible(*w) && fills(*w); }));
            EXPECT_FALSE(w->Image1->picture().isNull());
        }
        EXPECT_FALSE(w->Titel->isVisible());
    }
}

TEST_F(ZeroMomentTest, AnErrorReportedAfterRenderingStillGivesWayToThePicture)
{
    copyClip(testClips().video43, dir->path());
    auto w = makeWindow();
    w->Timer1Timer();
    ASSERT_TRUE(videoVisible(*w));
    // A decoder failing later, as the bus reports it.
    GstElement* source = gst_bin_get_by_name(GST_BIN(w->FilterGraph1->pipeline()), "Source");
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, "bad");
    gst_element_post_message(source, gst_message_new_error(GST_OBJECT(source), error, nullptr));
    g_error_free(error);
    gst_object_unref(source);
    EXPECT_TRUE(waitUntil([&] { return !videoVisible(*w) && fills(*w); }));
}

TEST_F(ZeroMomentTest, SavingForTheSessionManagerLeavesPlaybackAndTheRealEndAlone)
{
    copyClip(testClips().video43, dir->path());
    auto w = makeWindow();
    w->Timer1Timer();
    w->SaveSettings(false);
    EXPECT_TRUE(QFile::exists(path("yearmark.reg")));
    EXPECT_TRUE(w->FilterGraph1->active());
    EXPECT_TRUE(videoVisible(*w));
    QFile::remove(path("yearmark.reg"));
    w->FormDestroy(false);
    EXPECT_TRUE(QFile::exists(path("yearmark.reg"))) << "the end saves once more";
    EXPECT_FALSE(w->FilterGraph1->active());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("LC_TIME", "de_DE.UTF-8");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
