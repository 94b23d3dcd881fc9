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
#include <memory>
#include <vector>

class PipelineLog;

class TFilterGraph : public QObject {
    Q_OBJECT
public:
    explicit TFilterGraph(QObject* parent = nullptr);
    ~TFilterGraph() override;

    bool active() const { return pipeline_ != nullptr; }
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

    // Positions a rendered graph back to its start; a running graph plays on from there.
    bool seekToStart();
    // Duration of the rendered file in nanoseconds, -1 when unknown.
    int64_t duration() const;

    // Publishes the live graph as a Graphviz .dot file (graphEditFile()) while active.
    bool graphEdit() const { return graphEdit_; }
    void setGraphEdit(bool value);
    QString graphEditFile() const;
    // The pipeline's debug log goes to this file from the next activation on; empty for none.
    QString logFile() const { return logFile_; }
    void setLogFile(const QString& fileName) { logFile_ = fileName; }

    int prerollTimeoutMs() const { return prerollTimeoutMs_; }
    void setPrerollTimeoutMs(int ms) { prerollTimeoutMs_ = ms; }

    void addMember(IGraphMember* member);
    void removeMember(IGraphMember* member);
    void addListener(IGraphListener* listener);
    void removeListener(IGraphListener* listener);

    // The live pipeline (null while inactive), for inspection.
    GstElement* pipeline() const { return pipeline_.get(); }

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
    bool isMemberElement(GstElement* element) const;
    void publishGraph() noexcept;
    void unpublishGraph() noexcept;
    const char* audioSinkFactory() const;

    static GstBusSyncReply onBusSync(GstBus* bus, GstMessage* message, gpointer data) noexcept;
    static void onPadAdded(GstElement* decoder, GstPad* pad, gpointer data) noexcept;
    static void onNoMorePads(GstElement* decoder, gpointer data) noexcept;

    std::shared_ptr<Shared> shared_;
    yearmark::video::ElementPtr pipeline_;
    std::unique_ptr<PipelineLog> log_;
    std::vector<IGraphMember*> members_;
    std::vector<IGraphListener*> listeners_;
    bool rendered_ = false;
    bool graphEdit_ = false;
    QString logFile_;
    QString publishedFile_;
    int prerollTimeoutMs_ = 5000;
};
