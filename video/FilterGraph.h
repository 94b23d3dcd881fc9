#pragma once
// The program's one media graph: a GStreamer pipeline that members (the video window) bring their
// sink into, that renders a file into that sink, plays, stops, clears and seeks back to the start,
// and reports completion and errors on the user-interface thread.

#include "video/GraphInterfaces.h"
#include "video/GstOwners.h"
#include "video/MediaGraphError.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class PipelineLog;

class TFilterGraph : public QObject {
    Q_OBJECT
public:
    explicit TFilterGraph(QObject* parent = nullptr);
    ~TFilterGraph() override;

    bool active() const { return m_pipeline != nullptr; }
    // Activating builds the pipeline and brings the members in (nothing if already active);
    // throws EMediaGraphError and stays inactive when no pipeline can be made.
    void setActive(bool value);

    // Renders the file (a relative name resolves against the current working folder) into the
    // members' sink and prerolls it. S_FALSE and nothing else while inactive; throws
    // EMediaGraphError for a missing, unreadable or undecodable file, a file without a video
    // stream, or one that does not preroll within prerollTimeoutMs().
    HRESULT RenderFile(const QString& fileName);
    // True when the graph started; false while inactive or with nothing rendered.
    bool Play();
    // Pauses the graph; true when it stopped at once.
    bool Stop();
    // Stops, then drops every element that is not a member's; the members' sinks stay, unlinked.
    void ClearGraph();

    // Positions a rendered graph back to its start; a running graph plays on from there. A
    // looping graph goes on without a gap: the new pass follows the last frames of the old one.
    bool seekToStart();
    // A looping graph reports its end as soon as the whole file has been read, so that the
    // seek back to the start is queued while the last frames still play. Takes effect with the
    // next RenderFile. A graph that is not looping reports its end after the last frame.
    bool looping() const { return m_looping; }
    void setLooping(bool value) { m_looping = value; }
    // Duration of the rendered file in nanoseconds, -1 when unknown.
    int64_t duration() const;

    // Publishes the live graph as a Graphviz .dot file (graphEditFile()) while active, into the
    // folder GST_DEBUG_DUMP_DOT_DIR names; without it nothing is written.
    bool graphEdit() const { return m_graphEdit; }
    void setGraphEdit(bool value);
    QString graphEditFile() const;
    // The pipeline's debug log goes to this file from the next activation on; empty for none.
    QString logFile() const { return m_logFile; }
    void setLogFile(const QString& fileName) { m_logFile = fileName; }

    // Errors the bus reports after a call has returned go to this handler on the
    // user-interface thread; without one they are raised to the application's error box.
    void setErrorHandler(std::function<void(const EMediaGraphError&)> handler)
    {
        m_errorHandler = std::move(handler);
    }

    int prerollTimeoutMs() const { return m_prerollTimeoutMs; }
    void setPrerollTimeoutMs(int ms) { m_prerollTimeoutMs = ms; }

    void addMember(IGraphMember* member);
    void removeMember(IGraphMember* member);
    void addListener(IGraphListener* listener);
    void removeListener(IGraphListener* listener);

    // The live pipeline (null while inactive), for inspection.
    GstElement* pipeline() const { return m_pipeline.get(); }

signals:
    void graphComplete(HRESULT result);
    void activated();

protected:
    // Makes the empty pipeline; null when none can be made.
    virtual GstElement* createPipeline();

private:
    struct Shared;

    void activate();
    void deactivate() noexcept;
    void bringIn(IGraphMember* member);
    void takeOut(IGraphMember* member) noexcept;
    void sendControl(TControlEvent code, int param);
    void handleBusMessage(const yearmark::video::SharedMessage& message, uint64_t epoch);
    [[noreturn]] void failCall(const char* fallbackText);
    void dropChain() noexcept;
    bool startSegment();
    bool seekSegment(GstSeekFlags flags);
    bool isMemberElement(GstElement* element) const;
    void publishGraph() noexcept;
    void unpublishGraph() noexcept;

    static GstBusSyncReply onBusSync(GstBus* bus, GstMessage* message, gpointer data) noexcept;
    static void onPadAdded(GstElement* decoder, GstPad* pad, gpointer data) noexcept;
    static void onNoMorePads(GstElement* decoder, gpointer data) noexcept;
    static GstPadProbeReturn onVideoBuffer(GstPad* pad, GstPadProbeInfo* info,
                                           gpointer data) noexcept;

    std::shared_ptr<Shared> m_shared;
    yearmark::video::ElementPtr m_pipeline;
    std::unique_ptr<PipelineLog> m_log;
    std::vector<IGraphMember*> m_members;
    std::vector<IGraphListener*> m_listeners;
    bool m_rendered = false;
    bool m_graphEdit = false;
    bool m_looping = false;
    bool m_segments = false; // the rendered file plays as a segment that ends with a message
    std::function<void(const EMediaGraphError&)> m_errorHandler;
    QString m_logFile;
    QString m_publishedFile;
    int m_prerollTimeoutMs = 5000;
};
