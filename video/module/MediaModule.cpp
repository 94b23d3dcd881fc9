// The media module: the one shared object that links GStreamer. The program loads it the first
// time a video is due.

#include "video/MediaGraph.h"
#include "video/MediaLayer.h"

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
        m_video->setColor(setup.color);
        m_video->setFilterGraph(m_graph);
        m_completion =
            QObject::connect(m_graph, &TFilterGraph::graphComplete, m_graph, [this](HRESULT) {
                if (m_completed)
                    m_completed();
            });
    }
    // The graph and the video window stay with their parent; what the layer's owner asked to be
    // told is no longer told.
    ~GstMediaLayer() override
    {
        QObject::disconnect(m_completion);
        m_graph->setErrorHandler([](const EMediaGraphError&) {});
    }
    GstMediaLayer(const GstMediaLayer&) = delete;
    GstMediaLayer& operator=(const GstMediaLayer&) = delete;

    TVideoWindow* videoWindow() const override { return m_video; }
    TFilterGraph* filterGraph() const override { return m_graph; }
    QWidget* videoWidget() const override { return m_video; }

    void setActive(bool value) override { m_graph->setActive(value); }
    void clearGraph() override { m_graph->ClearGraph(); }
    void setLooping(bool value) override { m_graph->setLooping(value); }
    void renderFile(const QString& fileName) override { m_graph->RenderFile(fileName); }
    bool play() override { return m_graph->Play(); }
    bool seekToStart() override { return m_graph->seekToStart(); }
    uint64_t framesArrived() const override { return m_video->framesArrived(); }
    void setCompletionHandler(std::function<void()> completed) override
    {
        m_completed = std::move(completed);
    }
    void setErrorHandler(std::function<void()> failed) override
    {
        m_graph->setErrorHandler([failed = std::move(failed)](const EMediaGraphError&) {
            if (failed)
                failed();
        });
    }

private:
    TFilterGraph* m_graph;
    TVideoWindow* m_video;
    std::function<void()> m_completed;
    QMetaObject::Connection m_completion;
};

} // namespace

extern "C" MediaLayer* yearmarkMakeMediaLayer(QWidget* parent, const VideoSetup& setup)
{
    try {
        return new GstMediaLayer(parent, setup);
    } catch (...) {
        return nullptr;
    }
}
