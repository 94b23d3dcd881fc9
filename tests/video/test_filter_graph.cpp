// The media graph on real clips: render, play to the end, loop, stop, clear, and the files that
// must fail with a message instead of hanging.
#include "media_support.h"

#include "video/MediaGraph.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

// Records what a listener hears, to check the order of the graph's own operations.
class RecordingListener : public IGraphListener {
public:
    void graphEvent(GstMessage* message) override
    {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS)
            ++eos;
        onUiThread = onUiThread && QThread::currentThread() == qApp->thread();
        ++messages;
    }
    void controlEvent(TControlEvent code, int param) override
    {
        controls.emplace_back(code, param);
    }
    std::vector<std::pair<int, int>> controls;
    int messages = 0;
    int eos = 0;
    bool onUiThread = true;
};

std::vector<std::string> childNames(GstElement* pipeline)
{
    std::vector<std::string> names;
    for (GList* l = GST_BIN_CHILDREN(GST_BIN(pipeline)); l; l = l->next)
        names.emplace_back(GST_OBJECT_NAME(l->data));
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
        CatchingApplication::caught.clear();
    }
    void TearDown() override
    {
        graph.removeListener(&listener);
        window.reset();
    }

    const TestClips* clips = nullptr;
    TFilterGraph graph;
    std::unique_ptr<TVideoWindow> window;
    RecordingListener listener;
    int completions = 0;
    HRESULT lastResult = -1;
    bool completedOnUiThread = true;
};

TEST_F(FilterGraphTest, RenderFileBeforeActivationReturnsSFalseAndChangesNothing)
{
    EXPECT_EQ(graph.RenderFile(clips->video43), S_FALSE);
    EXPECT_FALSE(graph.active());
    EXPECT_EQ(graph.pipeline(), nullptr);
    EXPECT_TRUE(listener.controls.empty());
    EXPECT_FALSE(graph.Play());
    EXPECT_FALSE(graph.Stop());
    graph.ClearGraph();
    EXPECT_FALSE(graph.active());
}

TEST_F(FilterGraphTest, ActivatingTwiceBuildsOnePipelineHoldingTheMembersSink)
{
    int activations = 0;
    QObject::connect(&graph, &TFilterGraph::activated, [&] { ++activations; });
    graph.setActive(true);
    GstElement* first = graph.pipeline();
    graph.setActive(true);
    EXPECT_EQ(graph.pipeline(), first);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(childNames(first), std::vector<std::string> {"VideoWindow1"});
    EXPECT_EQ(listener.controls, (std::vector<std::pair<int, int>> {{ceActivate, 1}}));
    graph.setActive(false);
    EXPECT_FALSE(graph.active());
    EXPECT_EQ(listener.controls.back(), std::make_pair(int(ceActivate), 0));
    EXPECT_EQ(window->graphElement(), nullptr) << "the sink is released with the pipeline";
}

TEST_F(FilterGraphTest, PlaysToTheEndAndCompletesOnceOnTheUiThread)
{
    graph.setActive(true);
    EXPECT_EQ(graph.RenderFile(clips->video43), S_OK);
    EXPECT_EQ(listener.controls.back(), std::make_pair(int(ceFileRendered), 0));
    const int64_t ns = graph.duration();
    EXPECT_GT(ns, GST_SECOND / 2);
    EXPECT_LT(ns, 2 * GST_SECOND);
    ASSERT_TRUE(graph.Play());
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
    EXPECT_EQ(lastResult, S_OK);
    EXPECT_TRUE(completedOnUiThread);
    EXPECT_TRUE(listener.onUiThread);
    EXPECT_GE(listener.eos, 1);
    EXPECT_TRUE(CatchingApplication::caught.empty());
    EXPECT_TRUE(window->hasFrame());
}

TEST_F(FilterGraphTest, SeekingToTheStartAfterCompletionPlaysAgainAndCompletesOncePerPass)
{
    graph.setActive(true);
    for (bool looping : {false, true}) {
        SCOPED_TRACE(looping ? "looping" : "not looping");
        completions = 0;
        graph.setLooping(looping);
        graph.RenderFile(clips->sound43);
        graph.Play();
        for (int pass = 1; pass <= 3; ++pass) {
            ASSERT_TRUE(waitUntil([&] { return completions >= pass; }));
            EXPECT_EQ(completions, pass);
            const uint64_t frames = window->framesArrived();
            ASSERT_TRUE(graph.seekToStart());
            EXPECT_TRUE(waitUntil([&] { return window->framesArrived() > frames + 5; }))
                << "pass " << pass + 1 << " shows frames";
        }
    }
}

TEST_F(FilterGraphTest, SeekingToTheStartWhilePlayingRestarts)
{
    graph.setActive(true);
    graph.RenderFile(clips->video43);
    graph.Play();
    gint64 position = 0;
    ASSERT_TRUE(waitUntil([&] {
        return gst_element_query_position(graph.pipeline(), GST_FORMAT_TIME, &position) &&
               position > GST_SECOND / 2;
    }));
    ASSERT_EQ(completions, 0);
    ASSERT_TRUE(graph.seekToStart());
    ASSERT_TRUE(waitUntil([&] {
        return gst_element_query_position(graph.pipeline(), GST_FORMAT_TIME, &position) &&
               position < GST_SECOND / 2;
    }));
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
}

TEST_F(FilterGraphTest, ClearGraphLeavesExactlyTheSinkAndASecondRenderPlaysThroughIt)
{
    graph.setActive(true);
    graph.RenderFile(clips->sound43);
    graph.Play();
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
    GstElement* sink = window->graphElement();
    graph.Stop();
    graph.ClearGraph();
    EXPECT_EQ(childNames(graph.pipeline()), std::vector<std::string> {"VideoWindow1"});
    EXPECT_EQ(window->graphElement(), sink);
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    EXPECT_FALSE(gst_pad_is_linked(pad));
    gst_object_unref(pad);
    EXPECT_FALSE(window->hasFrame());

    EXPECT_EQ(graph.RenderFile(clips->video43), S_OK);
    graph.Play();
    ASSERT_TRUE(waitUntil([&] { return completions == 2; }));
    EXPECT_TRUE(window->hasFrame());
}

TEST_F(FilterGraphTest, ClearingARunningGraphStillLetsTheNextRenderPlay)
{
    graph.setActive(true);
    graph.RenderFile(clips->video43);
    graph.Play();
    ASSERT_TRUE(waitUntil([&] { return window->hasFrame(); }));
    graph.ClearGraph();
    ASSERT_EQ(graph.RenderFile(clips->video43), S_OK);
    graph.Play();
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
}

TEST_F(FilterGraphTest, ControlEventsSurroundTheGraphsOperations)
{
    graph.setActive(true);
    listener.controls.clear();
    graph.RenderFile(clips->video43);
    graph.Play();
    graph.Stop();
    graph.ClearGraph();
    using P = std::pair<int, int>;
    EXPECT_EQ(
        listener.controls,
        (std::vector<P> {
            {ceFileRendering, 0}, {ceFileRendered, 0}, {cePlay, 0}, {ceStop, 0}, {ceStop, 0}}));
}

TEST_F(FilterGraphTest, AClipWithSoundPlaysEvenWithoutASoundDevice)
{
    graph.setActive(true);
    ASSERT_EQ(graph.RenderFile(clips->sound43), S_OK);
    graph.Play();
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
    EXPECT_TRUE(CatchingApplication::caught.empty());
}

TEST_F(FilterGraphTest, PathsWithSpacesHashPercentAndUmlautsPlay)
{
    graph.setActive(true);
    ASSERT_EQ(graph.RenderFile(clips->oddPath), S_OK);
    graph.Play();
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
}

TEST_F(FilterGraphTest, ARelativeNameResolvesAgainstTheWorkingFolder)
{
    const QString old = QDir::currentPath();
    QDir::setCurrent(clips->dir);
    graph.setActive(true);
    EXPECT_EQ(graph.RenderFile("clip43.avi"), S_OK);
    QDir::setCurrent(old);
}

struct BadFile {
    const char* name;
    QString TestClips::*file;
    uint32_t code; // 0: whatever GStreamer reports
};

void PrintTo(const BadFile& file, std::ostream* out) { *out << file.name; }

class UnplayableFile : public FilterGraphTest, public testing::WithParamInterface<BadFile> { };

TEST_P(UnplayableFile, RaisesAMediaGraphErrorAndLeavesOnlyTheSink)
{
    graph.setPrerollTimeoutMs(3000); // a playable clip prerolls in well under a second
    graph.setActive(true);
    const QString file = clips->*GetParam().file;
    try {
        graph.RenderFile(file);
        ADD_FAILURE() << "rendered " << file.toStdString();
    } catch (const EMediaGraphError& e) {
        const std::string text = e.what();
        char tail[24];
        std::snprintf(tail, sizeof tail, " ($%X).", e.code());
        ASSERT_GT(text.size(), std::strlen(tail) + 3) << text;
        EXPECT_EQ(text.substr(text.size() - std::strlen(tail)), tail) << text;
        EXPECT_EQ(e.code() & 0xFFFF0000u, media_codes::base) << text;
        if (GetParam().code) {
            EXPECT_EQ(e.code(), GetParam().code) << text;
        }
    }
    EXPECT_EQ(childNames(graph.pipeline()), std::vector<std::string> {"VideoWindow1"});
    // The graph is still good for a playable file, and the failure is not raised again later.
    ASSERT_EQ(graph.RenderFile(clips->video43), S_OK);
    graph.Play();
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
    EXPECT_TRUE(CatchingApplication::caught.empty()) << CatchingApplication::caught.front();
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnplayableFile,
    testing::Values(BadFile {"Missing", &TestClips::missing, media_codes::fileNotFound},
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

TEST_F(FilterGraphTest, AClipCutInTheMiddlePlaysWhatItHasAndCompletes)
{
    graph.setActive(true);
    ASSERT_EQ(graph.RenderFile(clips->cutHalf), S_OK);
    graph.Play();
    ASSERT_TRUE(waitUntil([&] { return completions == 1; }));
    EXPECT_TRUE(CatchingApplication::caught.empty());
}

TEST_F(FilterGraphTest, AnErrorWhilePlayingReachesTheOneCatcherOnceInTheMessageForm)
{
    graph.setActive(true);
    graph.RenderFile(clips->video43);
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
    QCoreApplication::sendPostedEvents(); // both errors were queued before join() returned
    ASSERT_EQ(CatchingApplication::caught.size(), 1u);
    EXPECT_EQ(CatchingApplication::caught.front(), "Could not decode stream. ($80040407).");
    graph.Stop();
    graph.ClearGraph();
    EXPECT_EQ(graph.RenderFile(clips->video43), S_OK) << "the graph recovers for the next file";
}

TEST_F(FilterGraphTest, AnEmptyNameIsAnError)
{
    graph.setActive(true);
    EXPECT_THROW(graph.RenderFile(QString()), EMediaGraphError);
}

// A graph whose pipeline cannot be made.
class BrokenGraph : public TFilterGraph {
protected:
    GstElement* createPipeline() override { return nullptr; }
};

TEST(FilterGraphCreation, APipelineThatCannotBeMadeLeavesTheGraphInactive)
{
    BrokenGraph graph;
    try {
        graph.setActive(true);
        ADD_FAILURE() << "activation claimed success";
    } catch (const EMediaGraphError& e) {
        EXPECT_EQ(e.code(), media_codes::pipelineNotCreated);
        EXPECT_STREQ(e.what(), "The media pipeline could not be created. ($80040501).");
    }
    EXPECT_FALSE(graph.active());
    EXPECT_EQ(graph.RenderFile(testClips().video43), S_FALSE);
    EXPECT_FALSE(graph.Play());
}

TEST_F(FilterGraphTest, GraphEditPublishesTheLiveGraphAndLeavesNothingBehind)
{
    graph.setGraphEdit(true);
    graph.setActive(true);
    EXPECT_TRUE(graph.graphEditFile().isEmpty()) << "nothing without a folder named for it";
    graph.setActive(false);
    qputenv("GST_DEBUG_DUMP_DOT_DIR", clips->dir.toLocal8Bit());
    graph.setGraphEdit(true);
    graph.setActive(true);
    graph.RenderFile(clips->video43);
    const QString file = graph.graphEditFile();
    QFile dot(file);
    ASSERT_TRUE(dot.open(QIODevice::ReadOnly)) << file.toStdString();
    const QByteArray text = dot.readAll();
    EXPECT_TRUE(text.startsWith("digraph")) << text.left(40).toStdString();
    EXPECT_TRUE(text.contains("VideoWindow1"));
    EXPECT_TRUE(text.contains("Source")) << "the decoder of the rendered file";
    dot.close();
    graph.setActive(false);
    EXPECT_FALSE(QFile::exists(file));
    qunsetenv("GST_DEBUG_DUMP_DOT_DIR");
}

TEST_F(FilterGraphTest, LogFileReceivesThePipelinesLog)
{
    const QString log = clips->dir + "/graph.log";
    graph.setLogFile(log);
    graph.setActive(true);
    graph.RenderFile(clips->video43);
    graph.setActive(false);
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("VideoWindow1")) << text.left(200).toStdString();
    EXPECT_TRUE(text.contains("Source"));
}

TEST_F(FilterGraphTest, DestroyingTheGraphWithMessagesQueuedIsSafe)
{
    auto doomed = std::make_unique<TFilterGraph>();
    window->setFilterGraph(doomed.get());
    doomed->setActive(true);
    doomed->RenderFile(clips->video43);
    doomed->Play();
    ASSERT_TRUE(waitUntil([&] { return window->hasFrame(); }));
    doomed.reset();
    EXPECT_EQ(window->filterGraph(), nullptr);
    EXPECT_EQ(window->graphElement(), nullptr);
    QCoreApplication::sendPostedEvents(); // the queued messages of the dead graph arrive now
    EXPECT_TRUE(CatchingApplication::caught.empty());
}

} // namespace

int main(int argc, char** argv)
{
    CatchingApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Bus messages of the last graph still wait in the queue; deliver them so that nothing the
    // graph handed to the event loop outlives the program unreleased.
    QCoreApplication::sendPostedEvents();
    return result;
}
