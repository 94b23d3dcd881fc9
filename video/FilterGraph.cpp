#include "video/FilterGraph.h"

#include "video/FrameLimits.h"
#include "video/GstRuntime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {
using namespace yearmark::video;

GQuark graphErrorQuark() { return g_quark_from_static_string("yearmark-media-graph"); }

EMediaGraphError graphError(const std::string& text, uint32_t code)
{
    return EMediaGraphError(EMediaGraphError::formatMessage(text, code), code);
}

std::string nativePath(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

// How long the sound output may take to come up before a clip plays without it.
constexpr auto kSoundWait = std::chrono::milliseconds(1000);

// The system's sound output, brought up to READY on a thread of its own: a sound server that
// accepts the connection and never answers would otherwise hold the first frame, and with it the
// whole change to paused, for ever. Null when there is none in time; once one did not answer,
// later clips do not ask again. Asked only when a file brings sound, on the streaming thread that
// found it: trying the sound servers loads their libraries, several megabytes that a silent clip
// never needs.
ElementPtr soundOutput()
{
    struct Probe {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        ElementPtr sink;
    };
    static std::atomic<bool> unanswered {false};
    if (unanswered)
        return {};
    auto probe = std::make_shared<Probe>();
    std::thread([probe] {
        const MediaThreadCount counted;
        ElementPtr sink = makeElement("autoaudiosink");
        if (sink &&
            gst_element_set_state(sink.get(), GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
            gst_element_set_state(sink.get(), GST_STATE_NULL);
            sink.reset();
        }
        std::lock_guard lock(probe->mutex);
        probe->finished = true;
        if (probe->abandoned) {
            if (sink)
                gst_element_set_state(sink.get(), GST_STATE_NULL);
            return;
        }
        probe->sink = std::move(sink);
        probe->done.notify_all();
    }).detach();
    std::unique_lock lock(probe->mutex);
    if (!probe->done.wait_for(lock, kSoundWait, [&] { return probe->finished; })) {
        probe->abandoned = true;
        unanswered = true;
        return {};
    }
    return std::move(probe->sink);
}

bool capsNameStartsWith(GstPad* pad, const char* prefix)
{
    CapsPtr caps(gst_pad_get_current_caps(pad));
    if (!caps)
        caps.reset(gst_pad_query_caps(pad, nullptr));
    if (!caps || gst_caps_get_size(caps.get()) == 0)
        return false;
    const char* name = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
    return name && std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}
} // namespace

// The graph's half on the media thread, and what the streaming threads share with it. The graph
// owns it; the media thread's jobs, the bus and the decoder's signal handlers hold copies, so it
// outlives every callback that may still run.
struct TFilterGraph::Core : std::enable_shared_from_this<Core> {
    // Where a render stands on the media thread.
    enum class Stage { Idle, Prerolling, Ready };

    // The user-interface thread only: the graph, until it is gone.
    TFilterGraph* owner = nullptr;
    // Set before the first job is posted, never changed.
    MediaWorker::Post post;

    // Shared with the streaming threads, under the mutex.
    std::mutex mutex;
    GstElement* pipelineSeen = nullptr; // borrowed, for comparisons and inspection
    uint64_t epoch = 0;                 // the render or clear whose news count
    Stage stage = Stage::Idle;
    GErrorPtr firstError; // first error of the current render
    bool errorReported = false;
    bool segments = false; // the prepared file plays as a segment that ends with a message
    PadPtr videoSinkPad;
    bool videoClaimed = false;
    bool videoLinked = false;
    bool audioLinked = false;
    uint64_t videoBuffers = 0; // frames that went to the video member in the current render
    QString publishedFile;

    // The media thread only.
    struct Member {
        IGraphMember* id; // compared, never called here
        QString name;
        MemberSink sink;
        ElementPtr element;
    };
    ElementPtr pipeline;
    std::vector<Member> members;
    bool graphEdit = false;
    bool looping = false;
    int64_t duration = -1;

    // Runs f with the graph on the user-interface thread, unless the graph is gone by then.
    template <typename F>
    void report(F f)
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [core = shared_from_this(), f = std::move(f)] {
                    if (core->owner)
                        f(*core->owner);
                },
                Qt::QueuedConnection);
    }
    void later(std::function<void(Core&)> job)
    {
        post([core = shared_from_this(), job = std::move(job)] { job(*core); });
    }

    void activate();
    void deactivate() noexcept;
    void bringIn(Member& member);
    void takeOut(Member& member) noexcept;
    void render(uint64_t renderEpoch, const QString& path, bool loop);
    void asyncDone(uint64_t renderEpoch);
    void busError(uint64_t renderEpoch, const std::shared_ptr<GError>& error);
    void change(uint64_t renderEpoch, GstState state, const char* failureText);
    void seek(uint64_t renderEpoch);
    void clear(uint64_t clearEpoch) noexcept;
    void fail(uint64_t renderEpoch, const EMediaGraphError& error);
    void dropChain() noexcept;
    bool seekSegment(GstSeekFlags flags);
    bool current(uint64_t renderEpoch, Stage stageWanted);
    void publish() noexcept;
    void unpublish() noexcept;

    static GstBusSyncReply onBusSync(GstBus* bus, GstMessage* message, gpointer data) noexcept;
    static void onPadAdded(GstElement* decoder, GstPad* pad, gpointer data) noexcept;
    static void onNoMorePads(GstElement* decoder, gpointer data) noexcept;
    static GstPadProbeReturn onVideoBuffer(GstPad* pad, GstPadProbeInfo* info,
                                           gpointer data) noexcept;
};

// --- the media thread ---

void TFilterGraph::Core::activate()
{
    if (pipeline)
        return;
    ensureGStreamer();
    GstElement* made = gst_pipeline_new("FilterGraph");
    if (!made)
        return; // every render then fails with the reason
    pipeline.reset(GST_ELEMENT(gst_object_ref_sink(made)));
    // Every decoder the decoding bin plugs in refuses frames too large to show before it
    // allocates one.
    g_signal_connect(pipeline.get(), "deep-element-added", G_CALLBACK(&limitDecoderFrames),
                     nullptr);
    {
        std::lock_guard lock(mutex);
        pipelineSeen = pipeline.get();
    }
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    gst_bus_set_sync_handler(
        bus.get(), &Core::onBusSync, new std::shared_ptr<Core>(shared_from_this()),
        [](gpointer data) { delete static_cast<std::shared_ptr<Core>*>(data); });
    for (Member& member : members)
        bringIn(member);
    publish();
}

void TFilterGraph::Core::deactivate() noexcept
{
    if (!pipeline)
        return;
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    dropChain();
    for (Member& member : members)
        takeOut(member);
    {
        BusPtr bus(gst_element_get_bus(pipeline.get()));
        gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    }
    unpublish();
    {
        std::lock_guard lock(mutex);
        pipelineSeen = nullptr;
    }
    pipeline.reset();
}

void TFilterGraph::Core::bringIn(Member& member)
{
    member.element = member.sink.make ? member.sink.make() : ElementPtr();
    if (!member.element)
        return;
    if (!member.name.isEmpty())
        gst_object_set_name(GST_OBJECT(member.element.get()), member.name.toUtf8().constData());
    if (!gst_bin_add(GST_BIN(pipeline.get()), member.element.get()))
        member.element.reset();
}

void TFilterGraph::Core::takeOut(Member& member) noexcept
{
    if (member.element && GST_OBJECT_PARENT(member.element.get()) == GST_OBJECT(pipeline.get())) {
        gst_element_set_state(member.element.get(), GST_STATE_NULL);
        gst_bin_remove(GST_BIN(pipeline.get()), member.element.get());
    }
    member.element.reset();
    if (member.sink.chainGone)
        member.sink.chainGone();
}

void TFilterGraph::Core::render(uint64_t renderEpoch, const QString& path, bool loop)
{
    {
        std::lock_guard lock(mutex);
        epoch = renderEpoch;
        stage = Stage::Idle;
    }
    if (!pipeline)
        return fail(renderEpoch, graphError("The media pipeline could not be created.",
                                            media_codes::pipelineNotCreated));
    // A graph still holding a chain, or not at rest, would not preroll the new one.
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    dropChain();

    if (path.isEmpty())
        return fail(renderEpoch, graphError("No media file was named.", media_codes::fileNotFound));
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return fail(renderEpoch,
                    graphError("The media file " + nativePath(path) + " was not found.",
                               media_codes::fileNotFound));
    // A named pipe or a device would hold the change to paused until someone writes to it.
    if (!info.isFile())
        return fail(renderEpoch,
                    graphError("The media file " + nativePath(path) + " is not a regular file.",
                               media_codes::fileNotFound));
    GError* rawError = nullptr;
    GCharPtr uri(gst_filename_to_uri(QFile::encodeName(path).constData(), &rawError));
    GErrorPtr uriError(rawError);
    if (!uri)
        return fail(renderEpoch, EMediaGraphError::fromGError(uriError.get()));
    ElementPtr decoder = makeElement("uridecodebin", "Source");
    if (!decoder)
        return fail(renderEpoch, graphError("The decoder element uridecodebin is missing.",
                                            media_codes::elementMissing));
    g_object_set(decoder.get(), "uri", uri.get(), nullptr);

    PadPtr sinkPad;
    for (Member& member : members)
        if (member.element &&
            (sinkPad = PadPtr(gst_element_get_static_pad(member.element.get(), "sink"))))
            break;
    looping = loop;
    duration = -1;
    {
        std::lock_guard lock(mutex);
        stage = Stage::Prerolling;
        firstError.reset();
        errorReported = false;
        segments = false;
        videoSinkPad = std::move(sinkPad);
        videoClaimed = videoLinked = audioLinked = false;
        videoBuffers = 0;
    }
    auto freeShared = [](gpointer data, GClosure*) {
        delete static_cast<std::shared_ptr<Core>*>(data);
    };
    g_signal_connect_data(decoder.get(), "pad-added", G_CALLBACK(&Core::onPadAdded),
                          new std::shared_ptr<Core>(shared_from_this()), freeShared,
                          GConnectFlags(0));
    g_signal_connect_data(decoder.get(), "no-more-pads", G_CALLBACK(&Core::onNoMorePads),
                          new std::shared_ptr<Core>(shared_from_this()), freeShared,
                          GConnectFlags(0));
    gst_bin_add(GST_BIN(pipeline.get()), decoder.get());

    // May take as long as the slowest element needs (storage, a sound server): this thread
    // waits for it so that no other thread has to.
    const GstStateChangeReturn ret = gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
    if (ret == GST_STATE_CHANGE_FAILURE) {
        GErrorPtr error;
        {
            std::lock_guard lock(mutex);
            error = std::move(firstError);
        }
        return fail(renderEpoch, error ? EMediaGraphError::fromGError(error.get())
                                       : graphError("The media file could not be rendered.",
                                                    media_codes::stateChangeFailed));
    }
    if (ret != GST_STATE_CHANGE_ASYNC)
        asyncDone(renderEpoch);
}

bool TFilterGraph::Core::current(uint64_t renderEpoch, Stage stageWanted)
{
    std::lock_guard lock(mutex);
    return pipeline && renderEpoch == epoch && stage == stageWanted;
}

void TFilterGraph::Core::asyncDone(uint64_t renderEpoch)
{
    if (!current(renderEpoch, Stage::Prerolling))
        return;
    bool noFrame;
    {
        std::lock_guard lock(mutex);
        noFrame = videoLinked && videoBuffers == 0;
    }
    // Ready, but on the end of the file rather than on a frame: every frame was dropped on the
    // way. Playing it would show nothing, and a segment seek would wait for ever for a frame.
    if (noFrame)
        return fail(renderEpoch, graphError("The media file has no frame that can be shown.",
                                            media_codes::noVideoStream));
    gint64 ns = -1;
    duration = gst_element_query_duration(pipeline.get(), GST_FORMAT_TIME, &ns) ? ns : -1;
    // A segment seek makes the end of the file a message instead of the end of the stream, so
    // that the next pass can be queued behind the last frames while they still play. The frame
    // already shown stays in the sink's slot while the segment prerolls again.
    const bool segmented = looping && seekSegment(GST_SEEK_FLAG_FLUSH);
    {
        std::lock_guard lock(mutex);
        stage = Stage::Ready;
        segments = segmented;
    }
    publish();
    report(
        [renderEpoch, ns = duration](TFilterGraph& graph) { graph.onPrepared(renderEpoch, ns); });
}

void TFilterGraph::Core::busError(uint64_t renderEpoch, const std::shared_ptr<GError>& error)
{
    Stage now;
    {
        std::lock_guard lock(mutex);
        if (renderEpoch != epoch || errorReported)
            return;
        now = stage;
        errorReported = now == Stage::Ready; // one error per broken chain
    }
    const EMediaGraphError failure = EMediaGraphError::fromGError(error.get());
    if (now == Stage::Prerolling)
        fail(renderEpoch, failure);
    else if (now == Stage::Ready)
        report(
            [renderEpoch, failure](TFilterGraph& graph) { graph.onError(renderEpoch, failure); });
}

void TFilterGraph::Core::change(uint64_t renderEpoch, GstState state, const char* failureText)
{
    if (!current(renderEpoch, Stage::Ready))
        return;
    if (gst_element_set_state(pipeline.get(), state) != GST_STATE_CHANGE_FAILURE)
        return;
    GErrorPtr error;
    {
        std::lock_guard lock(mutex);
        if (errorReported)
            return;
        errorReported = true;
        error = std::move(firstError);
    }
    const EMediaGraphError failure = error
                                         ? EMediaGraphError::fromGError(error.get())
                                         : graphError(failureText, media_codes::stateChangeFailed);
    report([renderEpoch, failure](TFilterGraph& graph) { graph.onError(renderEpoch, failure); });
}

void TFilterGraph::Core::seek(uint64_t renderEpoch)
{
    if (!current(renderEpoch, Stage::Ready))
        return;
    bool segmented;
    {
        std::lock_guard lock(mutex);
        segmented = segments;
    }
    if (segmented)
        seekSegment(GST_SEEK_FLAG_NONE);
    else
        gst_element_seek_simple(pipeline.get(), GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
}

void TFilterGraph::Core::clear(uint64_t clearEpoch) noexcept
{
    {
        std::lock_guard lock(mutex);
        epoch = clearEpoch;
        stage = Stage::Idle;
    }
    if (!pipeline)
        return;
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    dropChain();
    publish();
}

void TFilterGraph::Core::fail(uint64_t renderEpoch, const EMediaGraphError& error)
{
    {
        std::lock_guard lock(mutex);
        stage = Stage::Idle;
    }
    if (pipeline) {
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
        dropChain();
    }
    report([renderEpoch, error](TFilterGraph& graph) { graph.onRenderFailed(renderEpoch, error); });
}

void TFilterGraph::Core::dropChain() noexcept
{
    std::vector<ElementPtr> doomed;
    IteratorPtr it(gst_bin_iterate_elements(GST_BIN(pipeline.get())));
    GValue item = G_VALUE_INIT;
    bool done = false;
    while (!done) {
        switch (gst_iterator_next(it.get(), &item)) {
        case GST_ITERATOR_OK: {
            auto* element = GST_ELEMENT(g_value_get_object(&item));
            if (std::none_of(members.begin(), members.end(),
                             [&](const Member& m) { return m.element.get() == element; }))
                doomed.emplace_back(GST_ELEMENT(gst_object_ref(element)));
            g_value_reset(&item);
            break;
        }
        case GST_ITERATOR_RESYNC:
            doomed.clear();
            gst_iterator_resync(it.get());
            break;
        default:
            done = true;
        }
    }
    g_value_unset(&item);
    for (ElementPtr& element : doomed) {
        gst_element_set_state(element.get(), GST_STATE_NULL);
        gst_bin_remove(GST_BIN(pipeline.get()), element.get());
    }
    {
        std::lock_guard lock(mutex);
        videoSinkPad.reset();
        videoClaimed = videoLinked = audioLinked = false;
        segments = false;
        firstError.reset();
    }
    for (Member& member : members)
        if (member.sink.chainGone)
            member.sink.chainGone();
}

bool TFilterGraph::Core::seekSegment(GstSeekFlags flags)
{
    // Ending the segment at the duration keeps the last frame on screen for its full time: an
    // open end would start the next pass at the last frame's start.
    const int64_t end = duration;
    return gst_element_seek(pipeline.get(), 1.0, GST_FORMAT_TIME,
                            GstSeekFlags(flags | GST_SEEK_FLAG_SEGMENT), GST_SEEK_TYPE_SET, 0,
                            end > 0 ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                            end > 0 ? end : GST_CLOCK_TIME_NONE);
}

void TFilterGraph::Core::publish() noexcept
{
    if (!graphEdit || !pipeline)
        return;
    try {
        // Like GStreamer's own tools: only into a folder the user named for it.
        const QString dir = qEnvironmentVariable("GST_DEBUG_DUMP_DOT_DIR");
        if (dir.isEmpty())
            return;
        const QString file =
            dir + QString::asprintf(
                      "/FilterGraph %0*llX pid %llX.dot", int(sizeof(void*) * 2),
                      static_cast<unsigned long long>(reinterpret_cast<quintptr>(pipeline.get())),
                      static_cast<unsigned long long>(QCoreApplication::applicationPid()));
        GCharPtr dot(gst_debug_bin_to_dot_data(GST_BIN(pipeline.get()), GST_DEBUG_GRAPH_SHOW_ALL));
        QSaveFile out(file);
        if (!dot || !out.open(QIODevice::WriteOnly))
            return;
        out.write(dot.get());
        if (out.commit()) {
            std::lock_guard lock(mutex);
            publishedFile = file;
        }
    } catch (...) { }
}

void TFilterGraph::Core::unpublish() noexcept
{
    QString file;
    {
        std::lock_guard lock(mutex);
        file.swap(publishedFile);
    }
    if (!file.isEmpty())
        QFile::remove(file);
}

// --- the streaming threads ---

GstBusSyncReply TFilterGraph::Core::onBusSync(GstBus*, GstMessage* message, gpointer data) noexcept
{
    const MessagePtr held(message); // a dropped message is the handler's to release
    const std::shared_ptr<Core>& core = *static_cast<std::shared_ptr<Core>*>(data);
    uint64_t epoch;
    bool fromPipeline;
    bool ready;
    bool segments;
    {
        std::lock_guard lock(core->mutex);
        epoch = core->epoch;
        fromPipeline = GST_MESSAGE_SRC(message) == reinterpret_cast<GstObject*>(core->pipelineSeen);
        ready = core->stage == Stage::Ready;
        segments = core->segments;
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR && !core->firstError) {
            GError* raw = nullptr;
            gst_message_parse_error(message, &raw, nullptr);
            core->firstError.reset(raw ? g_error_copy(raw) : nullptr);
            if (raw)
                g_error_free(raw);
        }
    }
    try {
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ASYNC_DONE:
            if (fromPipeline)
                core->later([epoch](Core& c) { c.asyncDone(epoch); });
            break;
        case GST_MESSAGE_ERROR: {
            GError* raw = nullptr;
            gst_message_parse_error(message, &raw, nullptr);
            std::shared_ptr<GError> error(raw, [](GError* e) {
                if (e)
                    g_error_free(e);
            });
            core->later([epoch, error](Core& c) { c.busError(epoch, error); });
            break;
        }
        case GST_MESSAGE_EOS:
            if (fromPipeline && ready && !segments)
                core->report([epoch](TFilterGraph& graph) { graph.onComplete(epoch); });
            break;
        case GST_MESSAGE_SEGMENT_DONE:
            if (fromPipeline && ready && segments)
                core->report([epoch](TFilterGraph& graph) { graph.onComplete(epoch); });
            break;
        case GST_MESSAGE_STATE_CHANGED:
            if (fromPipeline)
                core->later([](Core& c) { c.publish(); });
            break;
        default:
            break;
        }
    } catch (...) { }
    return GST_BUS_DROP;
}

void TFilterGraph::Core::onPadAdded(GstElement*, GstPad* pad, gpointer data) noexcept
{
    const std::shared_ptr<Core>& core = *static_cast<std::shared_ptr<Core>*>(data);
    if (capsNameStartsWith(pad, "video/x-raw")) {
        PadPtr sinkPad;
        {
            std::lock_guard lock(core->mutex);
            if (core->videoClaimed || !core->videoSinkPad)
                return;
            core->videoClaimed = true;
            sinkPad.reset(GST_PAD(gst_object_ref(core->videoSinkPad.get())));
        }
        const bool linked = gst_pad_link(pad, sinkPad.get()) == GST_PAD_LINK_OK;
        if (linked)
            gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &Core::onVideoBuffer,
                              new std::shared_ptr<Core>(core), [](gpointer held) {
                                  delete static_cast<std::shared_ptr<Core>*>(held);
                              });
        std::lock_guard lock(core->mutex);
        core->videoLinked = linked;
        core->videoClaimed = linked;
        return;
    }
    if (!capsNameStartsWith(pad, "audio/x-raw"))
        return;
    GstElement* pipeline;
    {
        std::lock_guard lock(core->mutex);
        if (core->audioLinked || !core->pipelineSeen)
            return;
        core->audioLinked = true;
        pipeline = core->pipelineSeen;
    }
    // Full volume, centred: the sound goes to the output as the file has it.
    ElementPtr sink = soundOutput();
    if (!sink) {
        // No sound output in time: the sound goes nowhere, at the pace of the clock.
        sink = makeElement("fakesink");
        if (sink)
            g_object_set(sink.get(), "sync", TRUE, nullptr);
    }
    ElementPtr convert = makeElement("audioconvert");
    ElementPtr resample = makeElement("audioresample");
    if (!convert || !resample || !sink)
        return;
    GstElement* chain[] = {convert.get(), resample.get(), sink.get()};
    for (GstElement* element : chain)
        gst_bin_add(GST_BIN(pipeline), element);
    gst_element_link_many(convert.get(), resample.get(), sink.get(), nullptr);
    for (GstElement* element : chain)
        gst_element_sync_state_with_parent(element);
    PadPtr convertSink(gst_element_get_static_pad(convert.get(), "sink"));
    gst_pad_link(pad, convertSink.get());
}

GstPadProbeReturn TFilterGraph::Core::onVideoBuffer(GstPad*, GstPadProbeInfo*,
                                                    gpointer data) noexcept
{
    Core& core = **static_cast<std::shared_ptr<Core>*>(data);
    std::lock_guard lock(core.mutex);
    ++core.videoBuffers;
    return GST_PAD_PROBE_OK;
}

void TFilterGraph::Core::onNoMorePads(GstElement* decoder, gpointer data) noexcept
{
    Core& core = **static_cast<std::shared_ptr<Core>*>(data);
    {
        std::lock_guard lock(core.mutex);
        if (core.videoLinked)
            return;
    }
    // Without a video stream the sink would wait for a first frame for ever.
    GError* error = g_error_new_literal(graphErrorQuark(), int(media_codes::noVideoStream & 0xFF),
                                        "The media file has no video stream that can be shown.");
    gst_element_post_message(
        decoder, gst_message_new_error(GST_OBJECT(decoder), error, "no video pad was linked"));
    g_error_free(error);
}

// --- the user-interface thread ---

TFilterGraph::TFilterGraph(QObject* parent)
    : QObject(parent)
    , m_core(std::make_shared<Core>())
{
    m_core->owner = this;
    m_core->post = m_worker.poster();
    m_prerollTimer.setSingleShot(true);
    connect(&m_prerollTimer, &QTimer::timeout, this, &TFilterGraph::prerollTimedOut);
}

TFilterGraph::~TFilterGraph()
{
    shutDown(300);
    m_core->owner = nullptr;
}

void TFilterGraph::setActive(bool value)
{
    if (value == m_active || m_shutDown)
        return;
    m_active = value;
    ++m_epoch;
    m_rendering = m_prepared = false;
    m_prerollTimer.stop();
    for (IGraphMember* member : std::vector(m_members))
        member->graphMembership(value ? gmAdding : gmRemoving);
    if (value)
        m_core->later([](Core& core) { core.activate(); });
    else
        m_core->later([](Core& core) { core.deactivate(); });
    for (IGraphMember* member : std::vector(m_members))
        member->graphMembership(value ? gmAdded : gmRemoved);
}

bool TFilterGraph::shutDown(int waitMs)
{
    setActive(false);
    m_shutDown = true;
    return m_worker.finish(waitMs);
}

void TFilterGraph::addMember(IGraphMember* member)
{
    if (!member || std::find(m_members.begin(), m_members.end(), member) != m_members.end())
        return;
    m_members.push_back(member);
    if (m_active)
        member->graphMembership(gmAdding);
    m_core->later([member, name = member->graphName(), sink = member->graphSink()](Core& core) {
        core.members.push_back({member, name, sink, {}});
        if (core.pipeline)
            core.bringIn(core.members.back());
    });
    if (m_active)
        member->graphMembership(gmAdded);
}

void TFilterGraph::removeMember(IGraphMember* member)
{
    auto it = std::find(m_members.begin(), m_members.end(), member);
    if (it == m_members.end())
        return;
    m_members.erase(it);
    if (m_active) {
        ++m_epoch;
        m_rendering = m_prepared = false;
        member->graphMembership(gmRemoving);
    }
    m_core->later([member, epoch = m_epoch](Core& core) {
        auto found = std::find_if(core.members.begin(), core.members.end(),
                                  [&](const Core::Member& m) { return m.id == member; });
        if (found == core.members.end())
            return;
        if (core.pipeline) {
            core.clear(epoch);
            core.takeOut(*found);
        }
        core.members.erase(found);
    });
    if (m_active)
        member->graphMembership(gmRemoved);
}

void TFilterGraph::addListener(IGraphListener* listener)
{
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void TFilterGraph::removeListener(IGraphListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener),
                      m_listeners.end());
}

void TFilterGraph::sendControl(TControlEvent code, int param)
{
    for (IGraphListener* listener : std::vector(m_listeners))
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            listener->controlEvent(code, param);
}

HRESULT TFilterGraph::RenderFile(const QString& fileName)
{
    if (!m_active)
        return S_FALSE;
    sendControl(ceFileRendering, 0);
    ++m_epoch;
    m_rendering = true;
    m_prepared = false;
    m_duration = -1;
    // A relative name means the working folder as it is now, not when the media thread gets to
    // it. Only the name is put together here; the file is looked at on the media thread.
    const QString path = fileName.isEmpty() ? QString() : QFileInfo(fileName).absoluteFilePath();
    m_core->later(
        [epoch = m_epoch, path, loop = m_looping](Core& core) { core.render(epoch, path, loop); });
    m_prerollTimer.start(m_prerollTimeoutMs);
    return S_OK;
}

bool TFilterGraph::Play()
{
    if (!m_active)
        return false;
    sendControl(cePlay, 0);
    if (!m_prepared)
        return false;
    m_core->later([epoch = m_epoch](Core& core) {
        core.change(epoch, GST_STATE_PLAYING, "The media graph could not start.");
    });
    return true;
}

bool TFilterGraph::Stop()
{
    if (!m_active)
        return false;
    sendControl(ceStop, 0);
    if (m_prepared)
        m_core->later([epoch = m_epoch](Core& core) {
            core.change(epoch, GST_STATE_PAUSED, "The media graph could not stop.");
        });
    return true;
}

void TFilterGraph::ClearGraph()
{
    if (!m_active)
        return;
    Stop();
    ++m_epoch;
    m_rendering = m_prepared = false;
    m_prerollTimer.stop();
    m_core->later([epoch = m_epoch](Core& core) { core.clear(epoch); });
}

bool TFilterGraph::seekToStart()
{
    if (!m_active || !m_prepared)
        return false;
    m_core->later([epoch = m_epoch](Core& core) { core.seek(epoch); });
    return true;
}

void TFilterGraph::setGraphEdit(bool value)
{
    m_core->later([value](Core& core) {
        if (value == core.graphEdit)
            return;
        core.graphEdit = value;
        if (value)
            core.publish();
        else
            core.unpublish();
    });
}

QString TFilterGraph::graphEditFile() const
{
    std::lock_guard lock(m_core->mutex);
    return m_core->publishedFile;
}

GstElement* TFilterGraph::pipeline() const
{
    std::lock_guard lock(m_core->mutex);
    return m_core->pipelineSeen;
}

void TFilterGraph::onPrepared(uint64_t epoch, int64_t duration)
{
    if (epoch != m_epoch || !m_rendering)
        return;
    m_rendering = false;
    m_prepared = true;
    m_duration = duration;
    m_prerollTimer.stop();
    emit prepared();
}

void TFilterGraph::onRenderFailed(uint64_t epoch, const EMediaGraphError& error)
{
    if (epoch != m_epoch || !m_rendering)
        return;
    m_rendering = false;
    m_prerollTimer.stop();
    emit renderFailed(error.code(), QString::fromUtf8(error.what()));
}

void TFilterGraph::prerollTimedOut()
{
    if (!m_rendering)
        return;
    // Whatever the media thread is doing with the file, its news no longer count; the chain is
    // dropped as soon as the thread gets to it.
    ++m_epoch;
    m_rendering = false;
    m_core->later([epoch = m_epoch](Core& core) { core.clear(epoch); });
    const uint32_t code = media_codes::prerollTimeout;
    emit renderFailed(
        code, QString::fromStdString(EMediaGraphError::formatMessage(
                  "The media file did not start within " +
                      QString::number(m_prerollTimeoutMs / 1000.0).toStdString() + " seconds.",
                  code)));
}

void TFilterGraph::onComplete(uint64_t epoch)
{
    if (epoch == m_epoch && m_prepared)
        emit graphComplete(S_OK);
}

void TFilterGraph::onError(uint64_t epoch, const EMediaGraphError& error)
{
    if (epoch != m_epoch || !m_prepared)
        return;
    if (!m_errorHandler)
        throw error;
    m_errorHandler(error);
}
