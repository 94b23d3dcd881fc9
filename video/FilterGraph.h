#pragma once
// The program's one media graph: a GStreamer pipeline that members (the video window) bring their
// sink into, that renders a file into that sink, plays, stops, clears and seeks back to the start,
// and reports readiness, completion and errors on the user-interface thread. Every GStreamer call
// runs on the graph's own media thread; the calls below only ask for them and never wait.

#include "video/GraphInterfaces.h"
#include "video/MediaGraphError.h"
#include "video/MediaWorker.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TFilterGraph : public QObject {
    Q_OBJECT
public:
    explicit TFilterGraph(QObject* parent = nullptr);
    // Takes the pipeline down on the media thread and waits a short while for it (shutDown).
    ~TFilterGraph() override;

    bool active() const { return m_active; }
    // Activating asks for the pipeline with the members' sinks in it (GStreamer is started for it
    // on the media thread); deactivating asks for it to be taken down to NULL and released.
    void setActive(bool value);

    // Named after the platform's call that builds a file's playback chain. Here it asks the media
    // thread to build the decoding chain into the members' sink and to change to PAUSED, so that
    // the first frame is decoded and waits in the sink (preroll). The outcome comes later as
    // prepared() or renderFailed(): a missing, unreadable or undecodable file, one without a video
    // stream or without a frame that can be shown, or one that does not preroll within
    // prerollTimeoutMs() fails. S_FALSE and nothing else while inactive, else S_OK.
    HRESULT RenderFile(const QString& fileName);
    // Asks for PLAYING; false while inactive or before the rendered file is prepared.
    bool Play();
    // Named after the platform's call; here it asks for PAUSED: the current frame stays shown.
    bool Stop();
    // Stops, then asks for every element that is not a member's to be dropped; the members'
    // sinks stay, unlinked. Nothing of the dropped chain is reported any more.
    void ClearGraph();
    // True once the rendered file is prepared, until the next render or clear.
    bool isPrepared() const { return m_prepared; }

    // Positions a prepared graph back to its start; a running graph plays on from there. A
    // looping graph goes on without a gap: the new pass follows the last frames of the old one.
    bool seekToStart();
    // A looping graph reports its end as soon as the whole file has been read, so that the seek
    // back to the start is queued while the last frames still play. Takes effect with the next
    // RenderFile. A graph that is not looping reports its end after the last frame.
    bool looping() const { return m_looping; }
    void setLooping(bool value) { m_looping = value; }
    // Duration of the prepared file in nanoseconds, -1 when unknown.
    int64_t duration() const { return m_duration; }

    // Publishes the live graph as a Graphviz .dot file while active, into the folder
    // GST_DEBUG_DUMP_DOT_DIR names; without it nothing is written.
    void setGraphEdit(bool value);
    // The file published last; empty when none.
    QString graphEditFile() const;

    // Errors the bus reports after a file was prepared go to this handler on the user-interface
    // thread; without one they are raised to the application's error box.
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

    // Asks for the pipeline to be taken down and ends the media thread, waiting at most waitMs.
    // True when it has ended; false when it is stuck in a call that does not return (it is then
    // left alone). The graph takes no further calls.
    bool shutDown(int waitMs);

    // The live pipeline (null while there is none), for inspection only: the media thread owns it.
    GstElement* pipeline() const;

signals:
    void prepared();
    void renderFailed(quint32 code, const QString& message);
    void graphComplete(HRESULT result);

private:
    struct Core;

    void sendControl(TControlEvent code, int param);
    void onPrepared(uint64_t epoch, int64_t duration);
    void onRenderFailed(uint64_t epoch, const EMediaGraphError& error);
    void onComplete(uint64_t epoch);
    void onError(uint64_t epoch, const EMediaGraphError& error);
    void prerollTimedOut();

    std::shared_ptr<Core> m_core;
    yearmark::video::MediaWorker m_worker;
    std::vector<IGraphMember*> m_members;
    std::vector<IGraphListener*> m_listeners;
    uint64_t m_epoch = 0; // the render (or clear) whose news are still wanted
    bool m_active = false;
    bool m_rendering = false;
    bool m_prepared = false;
    bool m_looping = false;
    bool m_shutDown = false;
    int64_t m_duration = -1;
    std::function<void(const EMediaGraphError&)> m_errorHandler;
    QTimer m_prerollTimer;
    int m_prerollTimeoutMs = 15000;
};
