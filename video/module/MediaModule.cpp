// The media module: the one shared object that links GStreamer. The program loads it the first
// time a video is due.

#include "video/GstRuntime.h"
#include "video/MediaGraph.h"
#include "video/MediaLayer.h"
#include "video/VideoProbe.h"

#include <QWidget>

namespace {

// The graph and its video window behind the media layer's calls.
class GstMediaLayer final : public MediaLayer {
public:
    GstMediaLayer(QWidget* parent, const VideoSetup& setup)
        : m_graph(new TFilterGraph(parent))
        , m_video(new TVideoWindow(parent))
    {
        m_graph->setGraphEdit(setup.graphEdit);
        m_video->hide();
        m_video->setAspectRatio(setup.aspectRatio);
        m_video->setAutoHideCursor(setup.autoHideCursorMs);
        m_video->setNoScreenSaver(setup.noScreenSaver);
        m_video->setScreenSaverHold(setup.holdScreenSaver);
        m_video->setColor(setup.color);
        m_video->setObjectName(QStringLiteral("VideoWindow1"));
        m_video->setFilterGraph(m_graph);
        m_connections = {QObject::connect(m_graph, &TFilterGraph::prepared, m_graph,
                                          [this] { call(m_prepared); }),
                         QObject::connect(m_graph, &TFilterGraph::renderFailed, m_graph,
                                          [this] { call(m_failed); }),
                         QObject::connect(m_graph, &TFilterGraph::graphComplete, m_graph,
                                          [this] { call(m_completed); })};
        m_graph->setErrorHandler([this](const EMediaGraphError&) { call(m_failed); });
    }
    // The graph and the video window stay with their parent; what the layer's owner asked to be
    // told is no longer told.
    ~GstMediaLayer() override
    {
        for (const QMetaObject::Connection& connection : m_connections)
            QObject::disconnect(connection);
        m_graph->setErrorHandler([](const EMediaGraphError&) {});
        m_video->setScreenSaverHold({});
    }
    GstMediaLayer(const GstMediaLayer&) = delete;
    GstMediaLayer& operator=(const GstMediaLayer&) = delete;

    QWidget* videoWidget() const override { return m_video; }

    void setActive(bool value) override { m_graph->setActive(value); }
    void clearGraph() override { m_graph->ClearGraph(); }
    void renderFile(const QString& fileName, bool loop) override
    {
        m_graph->setLooping(loop);
        m_graph->RenderFile(fileName);
    }
    bool play() override { return m_graph->Play(); }
    bool seekToStart() override { return m_graph->seekToStart(); }
    uint64_t framesArrived() const override { return m_video->framesArrived(); }
    void setPreparedHandler(std::function<void()> prepared) override
    {
        m_prepared = std::move(prepared);
    }
    void setErrorHandler(std::function<void()> failed) override { m_failed = std::move(failed); }
    void setCompletionHandler(std::function<void()> completed) override
    {
        m_completed = std::move(completed);
    }
    bool shutDown(int waitMs) override
    {
        return m_graph->shutDown(waitMs) && yearmark::video::MediaThreadCount::running() == 0;
    }

private:
    static void call(const std::function<void()>& handler)
    {
        if (handler)
            handler();
    }

    TFilterGraph* m_graph;
    TVideoWindow* m_video;
    std::function<void()> m_prepared;
    std::function<void()> m_failed;
    std::function<void()> m_completed;
    std::vector<QMetaObject::Connection> m_connections;
};

} // namespace

extern "C" void yearmarkStartMedia()
{
    try {
        yearmark::video::ensureGStreamer();
    } catch (...) { }
}

extern "C" MediaLayer* yearmarkMakeMediaLayer(QWidget* parent, const VideoSetup& setup)
{
    try {
        return new GstMediaLayer(parent, setup);
    } catch (...) {
        return nullptr;
    }
}

extern "C" void yearmarkProbeVideo(const QString& path, int timeoutMs, VideoFacts& facts)
{
    try {
        facts = yearmark::video::probeVideo(path, timeoutMs);
    } catch (const std::exception& e) {
        facts = VideoFacts();
        facts.error = QString::fromUtf8(e.what());
    }
}
