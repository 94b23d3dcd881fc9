// The media graph on real clips: render, play to the end, loop, stop, clear, and the files that
// must fail with a message instead of hanging; none of it waits on the user-interface thread.
#include "media_support.h"

#include "video/MediaGraph.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <QTest>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>

#include <memory>
#include <thread>

namespace {

// Records the graph's control events, to check the order of its own operations.
class RecordingListener : public IGraphListener {
public:
    void controlEvent(TControlEvent code, int param) override
    {
        controls.emplace_back(code, param);
    }
    std::vector<std::pair<int, int>> controls;
};

std::vector<std::string> childNames(GstElement* pipeline)
{
    std::vector<std::string> names;
    if (!pipeline)
        return names;
    GST_OBJECT_LOCK(pipeline);
    for (GList* l = GST_BIN_CHILDREN(GST_BIN(pipeline)); l; l = l->next)
        names.emplace_back(GST_OBJECT_NAME(l->data));
    GST_OBJECT_UNLOCK(pipeline);
    return names;
}

class FilterGraphTest : public testing::Test {
protected:
    void SetUp() override
    {
        clips = &testClips();
        window = std::make_unique<TVideoWindow>();
        window->setObjectName("VideoWindow1");
        window->setFilterGraph(&graph);
        graph.addListener(&listener);
        QObject::connect(&graph, &TFilterGraph::graphComplete, [this](HRESULT result) {
            ++completions;
            lastResult = result;
            completedOnUiThread = completedOnUiThread && QThread::currentThread() == qApp->thread();
        });
        QObject::connect(&graph, &TFilterGraph::prepared, [this] { ++prepared; });
        QObject::connect(&graph, &TFilterGraph::renderFailed, [this](quint32 code, QString text) {
            failures.emplace_back(code, text.toStdString());
        });
        CatchingApplication::caught.clear();
    }
    void TearDown() override
    {
        graph.removeListener(&listener);
        window.reset();
    }
    // Renders and waits for the outcome; true when the file was prepared.
    bool render(const QString& file)
    {
        const int before = prepared;
        const size_t failed = failures.size();
        graph.RenderFile(file);
        return QTest::qWaitFor([&] { return prepared > before || failures.size() > failed; },
                               10000) &&
               prepared > before;
    }
    bool sinkOnly()
    {
        return childNames(graph.pipeline()) == std::vector<std::string> {"VideoWindow1"};
    }

    const TestClips* clips = nullptr;
    TFilterGraph graph;
    std::unique_ptr<TVideoWindow> window;
    RecordingListener listener;
    int completions = 0;
    int prepared = 0;
    std::vector<std::pair<quint32, std::string>> failures;
    HRESULT lastResult = -1;
    bool completedOnUiThread = true;
};

TEST_F(FilterGraphTest, RenderFileBeforeActivationReturnsSFalseAndChangesNothing)
{
    EXPECT_EQ(graph.RenderFile(clips->video43), S_FALSE);
    EXPECT_FALSE(graph.active());
    EXPECT_TRUE(listener.controls.empty());
    EXPECT_FALSE(graph.Play());
    EXPECT_FALSE(graph.Stop());
    graph.ClearGraph();
    EXPECT_FALSE(
        QTest::qWaitFor([&] { return graph.pipeline() || prepared || !failures.empty(); }, 200));
}

TEST_F(FilterGraphTest, ActivatingTwiceBuildsOnePipelineHoldingTheMembersSink)
{
    graph.setActive(true);
    graph.setActive(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sinkOnly(); }, 10000));
    GstElement* first = graph.pipeline();
    EXPECT_FALSE(QTest::qWaitFor([&] { return graph.pipeline() != first; }, 200));
    graph.setActive(false);
    EXPECT_FALSE(graph.active());
    EXPECT_TRUE(QTest::qWaitFor([&] { return graph.pipeline() == nullptr; }, 10000));
}

TEST_F(FilterGraphTest, PlaysToTheEndAndCompletesOnceOnTheUiThread)
{
    graph.setActive(true);
    ASSERT_TRUE(render(clips->video43));
    EXPECT_TRUE(window->hasFrame()) << "the first frame waits in the sink";
    EXPECT_GT(graph.duration(), GST_SECOND / 2);
    EXPECT_LT(graph.duration(), 2 * GST_SECOND);
    ASSERT_TRUE(graph.Play());
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions == 1; }, 10000));
    EXPECT_EQ(lastResult, S_OK);
    EXPECT_TRUE(completedOnUiThread);
    EXPECT_FALSE(QTest::qWaitFor([&] { return completions > 1; }, 300));
    EXPECT_TRUE(CatchingApplication::caught.empty());
}

TEST_F(FilterGraphTest, SeekingToTheStartAfterCompletionPlaysAgainAndCompletesOncePerPass)
{
    graph.setActive(true);
    for (bool looping : {false, true}) {
        SCOPED_TRACE(looping ? "looping" : "not looping");
        completions = 0;
        graph.setLooping(looping);
        ASSERT_TRUE(render(clips->sound43));
        graph.Play();
        for (int pass = 1; pass <= 3; ++pass) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return completions >= pass; }, 10000));
            EXPECT_EQ(completions, pass);
            const uint64_t frames = window->framesArrived();
            ASSERT_TRUE(graph.seekToStart());
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return window->framesArrived() > frames + 5; }, 10000))
                << "pass " << pass + 1 << " shows frames";
        }
    }
}

TEST_F(FilterGraphTest, SeekingToTheStartWhilePlayingRestarts)
{
    graph.setActive(true);
    ASSERT_TRUE(render(clips->video43));
    graph.Play();
    gint64 position = 0;
    auto at = [&](bool late) {
        return gst_element_query_position(graph.pipeline(), GST_FORMAT_TIME, &position) &&
               (position > GST_SECOND / 2) == late;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return at(true); }, 10000));
    ASSERT_EQ(completions, 0);
    ASSERT_TRUE(graph.seekToStart());
    ASSERT_TRUE(QTest::qWaitFor([&] { return at(false); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions == 1; }, 10000));
}

TEST_F(FilterGraphTest, ClearGraphLeavesExactlyTheSinkAndASecondRenderPlaysThroughIt)
{
    graph.setActive(true);
    ASSERT_TRUE(render(clips->sound43));
    graph.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions == 1; }, 10000));
    graph.ClearGraph();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sinkOnly() && !window->hasFrame(); }, 10000));
    GstElement* sink = gst_bin_get_by_name(GST_BIN(graph.pipeline()), "VideoWindow1");
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    EXPECT_FALSE(gst_pad_is_linked(pad));
    gst_object_unref(pad);
    gst_object_unref(sink);

    ASSERT_TRUE(render(clips->video43));
    graph.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions == 2; }, 10000));
}

TEST_F(FilterGraphTest, ClearingARunningGraphStillLetsTheNextRenderPlay)
{
    graph.setActive(true);
    ASSERT_TRUE(render(clips->video43));
    graph.Play();
    graph.ClearGraph();
    ASSERT_TRUE(render(clips->video43));
    graph.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions == 1; }, 10000));
}

TEST_F(FilterGraphTest, ControlEventsSurroundTheGraphsOperations)
{
    graph.setActive(true);
    render(clips->video43);
    graph.Play();
    graph.Stop();
    graph.ClearGraph();
    using P = std::pair<int, int>;
    EXPECT_EQ(listener.controls,
              (std::vector<P> {{ceFileRendering, 0}, {cePlay, 0}, {ceStop, 0}, {ceStop, 0}}));
}

TEST_F(FilterGraphTest, ClipsWithOddPathsOrSoundAndRelativeNamesPlay)
{
    graph.setActive(true);
    for (const QString& file : {clips->oddPath, clips->sound43, clips->cutHalf}) {
        SCOPED_TRACE(file.toStdString());
        const int done = completions;
        ASSERT_TRUE(render(file));
        graph.Play();
        EXPECT_TRUE(QTest::qWaitFor([&] { return completions == done + 1; }, 10000));
    }
    // The working folder when the render was asked for counts, not when it is carried out.
    const QString old = QDir::currentPath();
    QDir::setCurrent(clips->dir);
    graph.RenderFile("clip43.avi");
    QDir::setCurrent(old);
    EXPECT_TRUE(QTest::qWaitFor([&] { return prepared == 4; }, 10000));
    EXPECT_TRUE(CatchingApplication::caught.empty());
}

struct BadFile {
    const char* name;
    QString TestClips::*file;
    uint32_t code; // 0: whatever GStreamer reports
};

void PrintTo(const BadFile& file, std::ostream* out) { *out << file.name; }

class UnplayableFile : public FilterGraphTest, public testing::WithParamInterface<BadFile> { };

TEST_P(UnplayableFile, FailsWithAMediaGraphErrorAndLeavesOnlyTheSink)
{
    graph.setPrerollTimeoutMs(3000); // a playable clip prerolls in well under a second
    graph.setActive(true);
    EXPECT_FALSE(render(clips->*GetParam().file));
    ASSERT_EQ(failures.size(), 1u);
    const auto& [code, text] = failures.front();
    char tail[24];
    std::snprintf(tail, sizeof tail, " ($%X).", code);
    ASSERT_GT(text.size(), std::strlen(tail) + 3) << text;
    EXPECT_EQ(text.substr(text.size() - std::strlen(tail)), tail) << text;
    EXPECT_EQ(code & 0xFFFF0000u, media_codes::base) << text;
    if (GetParam().code) {
        EXPECT_EQ(code, GetParam().code) << text;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return sinkOnly(); }, 10000));
    // The graph is still good for a playable file, and the failure is not raised again later.
    ASSERT_TRUE(render(clips->video43));
    graph.Play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return completions == 1; }, 10000));
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_TRUE(CatchingApplication::caught.empty()) << CatchingApplication::caught.front();
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnplayableFile,
    testing::Values(BadFile {"Missing", &TestClips::missing, media_codes::fileNotFound},
                    BadFile {"NoName", &TestClips::noName, media_codes::fileNotFound},
                    BadFile {"Empty", &TestClips::empty, 0},
                    // Depending on timing the decoder reports the cut header or swallows it and the
                    // preroll times out.
                    BadFile {"CutHeader", &TestClips::cutHeader, 0},
                    BadFile {"CutBeforeTheFirstFrame", &TestClips::cutFrames, 0},
                    BadFile {"NotAVideo", &TestClips::noise, 0},
                    BadFile {"SoundOnly", &TestClips::audioOnly, media_codes::noVideoStream},
                    BadFile {"NoFrameDecodes", &TestClips::noFrames, media_codes::noVideoStream},
                    // Refused before any element opens it and waits for a writer.
                    BadFile {"NamedPipe", &TestClips::pipe, media_codes::fileNotFound}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(FilterGraphTest, AnErrorWhilePlayingReachesTheOneCatcherOnceInTheMessageForm)
{
    graph.setActive(true);
    ASSERT_TRUE(render(clips->video43));
    graph.Play();
    // A decoder failing in mid-stream, posted from a thread of GStreamer's own like a real one.
    GstElement* source = gst_bin_get_by_name(GST_BIN(graph.pipeline()), "Source");
    ASSERT_NE(source, nullptr);
    std::thread streaming([source] {
        for (int i = 0; i < 2; ++i) {
            GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE,
                                                "Could not decode stream.");
            gst_element_post_message(source,
                                     gst_message_new_error(GST_OBJECT(source), error, nullptr));
            g_error_free(error);
        }
    });
    streaming.join();
    gst_object_unref(source);
    ASSERT_TRUE(QTest::qWaitFor([] { return !CatchingApplication::caught.empty(); }, 10000));
    EXPECT_FALSE(QTest::qWaitFor([] { return CatchingApplication::caught.size() > 1; }, 300));
    EXPECT_EQ(CatchingApplication::caught.front(), "Could not decode stream. ($80040407).");
    graph.ClearGraph();
    EXPECT_TRUE(render(clips->video43)) << "the graph recovers for the next file";
}

// A sound server that takes the connection and never says a word.
class SilentSoundServer {
public:
    explicit SilentSoundServer(const QString& path)
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", qPrintable(path));
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_fd, 8);
        qputenv("PULSE_SERVER", ("unix:" + path).toLocal8Bit());
    }
    ~SilentSoundServer() { ::close(m_fd); }

private:
    int m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
};

TEST_F(FilterGraphTest, ASoundServerThatNeverAnswersCostsTheSoundNotThePicture)
{
    SilentSoundServer server(clips->dir + "/silent-sound");
    graph.setActive(true);
    QElapsedTimer clock;
    clock.start();
    graph.RenderFile(clips->sound43);
    EXPECT_LT(clock.elapsed(), 100) << "asking waits for nothing";
    ASSERT_TRUE(QTest::qWaitFor([&] { return prepared == 1; }, 5000));
    graph.Play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return completions == 1; }, 5000))
        << "plays on, without sound";
}

TEST_F(FilterGraphTest, GraphEditPublishesTheLiveGraphAndLeavesNothingBehind)
{
    qputenv("GST_DEBUG_DUMP_DOT_DIR", clips->dir.toLocal8Bit());
    graph.setGraphEdit(true);
    graph.setActive(true);
    ASSERT_TRUE(render(clips->video43));
    const QString file = graph.graphEditFile();
    QFile dot(file);
    ASSERT_TRUE(dot.open(QIODevice::ReadOnly)) << file.toStdString();
    const QByteArray text = dot.readAll();
    EXPECT_TRUE(text.startsWith("digraph")) << text.left(40).toStdString();
    EXPECT_TRUE(text.contains("VideoWindow1") && text.contains("Source"));
    graph.setActive(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(file); }, 10000));
    qunsetenv("GST_DEBUG_DUMP_DOT_DIR");
}

TEST_F(FilterGraphTest, DestroyingTheGraphWhilePlayingIsSafe)
{
    auto doomed = std::make_unique<TFilterGraph>();
    window->setFilterGraph(doomed.get());
    doomed->setActive(true);
    doomed->RenderFile(clips->video43);
    ASSERT_TRUE(QTest::qWaitFor([&] { return doomed->isPrepared(); }, 10000));
    doomed->Play();
    doomed.reset();
    EXPECT_EQ(window->filterGraph(), nullptr);
    QCoreApplication::sendPostedEvents(); // the queued news of the dead graph arrive now
    EXPECT_TRUE(CatchingApplication::caught.empty());
}

} // namespace
