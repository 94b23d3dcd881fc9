#include "video/FilterGraph.h"

#include "video/AudioLevels.h"
#include "video/GstRuntime.h"
#include "video/PipelineLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace {
using namespace yearmark::video;

GQuark graphErrorQuark() { return g_quark_from_static_string("yearmark-media-graph"); }

EMediaGraphError graphError(const std::string& text, uint32_t code)
{
    return EMediaGraphError(EMediaGraphError::formatMessage(text, code), code);
}

// A machine without a sound server or device must still show the video: the sound then goes
// nowhere, at the pace of the clock. Asked only when a file brings sound, on the streaming
// thread that found it: trying the sound servers loads their libraries, several megabytes that
// a silent clip never needs.
const char* audioSinkFactory()
{
    ElementPtr probe = makeElement("autoaudiosink");
    if (!probe)
        return "fakesink";
    const bool works =
        gst_element_set_state(probe.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(probe.get(), GST_STATE_NULL);
    return works ? "autoaudiosink" : "fakesink";
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

// What the streaming threads and the bus share with the graph. The graph owns it, the bus and the
// decoder's signal handlers hold copies, so it outlives every callback that may still run.
struct TFilterGraph::Shared {
    explicit Shared(TFilterGraph* graph)
        : target(graph)
    { }

    QPointer<TFilterGraph> target; // made on the UI thread; only copied elsewhere
    std::mutex mutex;
    std::condition_variable changed;
    GstElement* pipeline = nullptr; // borrowed, for comparisons only
    uint64_t epoch = 0;             // bumped when a rendered chain ends; older news is stale
    bool prerolled = false;
    GErrorPtr error; // first error since the last render or call
    PadPtr videoSinkPad;
    bool videoClaimed = false;
    bool videoLinked = false;
    bool audioLinked = false;
    uint64_t videoBuffers = 0; // frames that went to the video member since the last render
    // The graph keeps full volume and a centred balance; they are applied to every render.
    double volume = volumeFactor(linearVolumeLevel(10000));
    float panorama = panoramaPosition(0);
};

TFilterGraph::TFilterGraph(QObject* parent)
    : QObject(parent)
    , m_shared(std::make_shared<Shared>(this))
{ }

TFilterGraph::~TFilterGraph() { deactivate(); }

GstElement* TFilterGraph::createPipeline()
{
    ensureGStreamer();
    return gst_pipeline_new("FilterGraph");
}

void TFilterGraph::setActive(bool value)
{
    if (value == active())
        return;
    if (value)
        activate();
    else
        deactivate();
}

void TFilterGraph::activate()
{
    GstElement* made = createPipeline();
    if (!made)
        throw graphError("The media pipeline could not be created.",
                         media_codes::pipelineNotCreated);
    m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(made)));
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->pipeline = m_pipeline.get();
        m_shared->error.reset();
    }
    BusPtr bus(gst_element_get_bus(m_pipeline.get()));
    gst_bus_set_sync_handler(
        bus.get(), &TFilterGraph::onBusSync, new std::shared_ptr<Shared>(m_shared),
        [](gpointer data) { delete static_cast<std::shared_ptr<Shared>*>(data); });
    try {
        if (!m_logFile.isEmpty())
            m_log = std::make_unique<PipelineLog>(m_logFile, m_pipeline.get());
        for (IGraphMember* member : std::vector(m_members))
            bringIn(member);
    } catch (...) {
        deactivate();
        throw;
    }
    publishGraph();
    emit activated();
    sendControl(ceActivate, 1);
}

void TFilterGraph::deactivate() noexcept
{
    if (!m_pipeline)
        return;
    try {
        sendControl(ceActivate, 0);
    } catch (...) { }
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    for (IGraphMember* member : std::vector(m_members))
        takeOut(member);
    {
        BusPtr bus(gst_element_get_bus(m_pipeline.get()));
        gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    }
    m_log.reset();
    unpublishGraph();
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->pipeline = nullptr;
        m_shared->videoSinkPad.reset();
        ++m_shared->epoch;
    }
    m_pipeline.reset();
    m_rendered = false;
}

void TFilterGraph::bringIn(IGraphMember* member)
{
    member->graphMembership(gmAdding);
    GstElement* element = member->graphElement();
    if (element) {
        const QString name = member->graphName();
        if (!name.isEmpty() && !GST_OBJECT_PARENT(element))
            gst_object_set_name(GST_OBJECT(element), name.toUtf8().constData());
        if (!gst_bin_add(GST_BIN(m_pipeline.get()), element))
            throw graphError("The element of " + name.toStdString() +
                                 " could not join the media graph.",
                             media_codes::elementMissing);
    }
    member->graphMembership(gmAdded);
}

void TFilterGraph::takeOut(IGraphMember* member) noexcept
{
    try {
        member->graphMembership(gmRemoving);
        GstElement* element = member->graphElement();
        if (element && GST_OBJECT_PARENT(element) == GST_OBJECT(m_pipeline.get())) {
            gst_element_set_state(element, GST_STATE_NULL);
            gst_bin_remove(GST_BIN(m_pipeline.get()), element);
        }
        member->graphMembership(gmRemoved);
    } catch (...) { }
}

void TFilterGraph::addMember(IGraphMember* member)
{
    if (!member || std::find(m_members.begin(), m_members.end(), member) != m_members.end())
        return;
    m_members.push_back(member);
    if (m_pipeline)
        bringIn(member);
}

void TFilterGraph::removeMember(IGraphMember* member)
{
    auto it = std::find(m_members.begin(), m_members.end(), member);
    if (it == m_members.end())
        return;
    if (m_pipeline) {
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
        dropChain();
        takeOut(member);
    }
    m_members.erase(std::find(m_members.begin(), m_members.end(), member));
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

bool TFilterGraph::isMemberElement(GstElement* element) const
{
    for (IGraphMember* member : m_members)
        if (member->graphElement() == element)
            return true;
    return false;
}

[[noreturn]] void TFilterGraph::failCall(const char* fallbackText)
{
    GErrorPtr error;
    {
        std::lock_guard lock(m_shared->mutex);
        error = std::move(m_shared->error);
        ++m_shared->epoch; // the queued copy of this error is not raised a second time
    }
    if (error)
        throw EMediaGraphError::fromGError(error.get());
    throw graphError(fallbackText, media_codes::stateChangeFailed);
}

HRESULT TFilterGraph::RenderFile(const QString& fileName)
{
    if (!m_pipeline)
        return S_FALSE;
    sendControl(ceFileRendering, 0);
    // A graph still holding a chain, or not at rest, would not preroll the new one.
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    dropChain();
    for (IGraphMember* member : m_members)
        member->graphCleared();

    if (fileName.isEmpty())
        throw graphError("No media file was named.", media_codes::fileNotFound);
    const QFileInfo info(fileName);
    const QString path = info.absoluteFilePath();
    if (!info.exists() || info.isDir())
        throw graphError("The media file " + QDir::toNativeSeparators(path).toStdString() +
                             " was not found.",
                         media_codes::fileNotFound);
    // A named pipe or a device would hold the change to paused until someone writes to it.
    if (!info.isFile())
        throw graphError("The media file " + QDir::toNativeSeparators(path).toStdString() +
                             " is not a regular file.",
                         media_codes::fileNotFound);
    GError* rawError = nullptr;
    GCharPtr uri(gst_filename_to_uri(QFile::encodeName(path).constData(), &rawError));
    GErrorPtr uriError(rawError);
    if (!uri)
        throw EMediaGraphError::fromGError(uriError.get());

    ElementPtr decoder = makeElement("uridecodebin", "Source");
    if (!decoder)
        throw graphError("The decoder element uridecodebin is missing.",
                         media_codes::elementMissing);
    g_object_set(decoder.get(), "uri", uri.get(), nullptr);

    PadPtr sinkPad;
    for (IGraphMember* member : m_members)
        if (GstElement* element = member->graphElement())
            if ((sinkPad = PadPtr(gst_element_get_static_pad(element, "sink"))))
                break;

    {
        std::lock_guard lock(m_shared->mutex);
        ++m_shared->epoch;
        m_shared->prerolled = false;
        m_shared->error.reset();
        m_shared->videoSinkPad = std::move(sinkPad);
        m_shared->videoClaimed = m_shared->videoLinked = m_shared->audioLinked = false;
        m_shared->videoBuffers = 0;
    }
    auto freeShared = [](gpointer data, GClosure*) {
        delete static_cast<std::shared_ptr<Shared>*>(data);
    };
    g_signal_connect_data(decoder.get(), "pad-added", G_CALLBACK(&TFilterGraph::onPadAdded),
                          new std::shared_ptr<Shared>(m_shared), freeShared, GConnectFlags(0));
    g_signal_connect_data(decoder.get(), "no-more-pads", G_CALLBACK(&TFilterGraph::onNoMorePads),
                          new std::shared_ptr<Shared>(m_shared), freeShared, GConnectFlags(0));
    gst_bin_add(GST_BIN(m_pipeline.get()), decoder.get());

    const GstStateChangeReturn ret = gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED);
    bool ok = false;
    bool timedOut = false;
    bool noFrame = false;
    {
        std::unique_lock lock(m_shared->mutex);
        if (ret == GST_STATE_CHANGE_FAILURE) {
            ok = false;
        } else if (ret != GST_STATE_CHANGE_ASYNC) {
            ok = !m_shared->error;
        } else {
            timedOut =
                !m_shared->changed.wait_for(lock, std::chrono::milliseconds(m_prerollTimeoutMs),
                                            [&] { return m_shared->prerolled || m_shared->error; });
            ok = !timedOut && !m_shared->error;
        }
        // Ready, but on the end of the file rather than on a frame: every frame was dropped on
        // the way. Playing it would show nothing, and a segment seek would wait for ever for a
        // frame to pause on.
        noFrame = ok && m_shared->prerolled && m_shared->videoLinked && m_shared->videoBuffers == 0;
        ok = ok && !noFrame;
    }
    if (!ok) {
        GErrorPtr error;
        {
            std::lock_guard lock(m_shared->mutex);
            error = std::move(m_shared->error);
        }
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
        dropChain(); // also makes the queued copies of this failure stale
        m_rendered = false;
        if (error)
            throw EMediaGraphError::fromGError(error.get());
        if (noFrame)
            throw graphError("The media file has no frame that can be shown.",
                             media_codes::noVideoStream);
        if (timedOut)
            throw graphError("The media file " + QDir::toNativeSeparators(path).toStdString() +
                                 " did not start within " +
                                 QString::number(m_prerollTimeoutMs / 1000.0).toStdString() +
                                 " seconds.",
                             media_codes::prerollTimeout);
        throw graphError("The media file could not be rendered.", media_codes::stateChangeFailed);
    }
    m_rendered = true;
    m_segments = m_looping && startSegment();
    publishGraph();
    sendControl(ceFileRendered, 0);
    return S_OK;
}

bool TFilterGraph::startSegment()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->prerolled = false;
    }
    // A segment seek makes the end of the file a message instead of the end of the stream, so
    // that the next pass can be queued behind the last frames while they still play.
    if (!seekSegment(GST_SEEK_FLAG_FLUSH))
        return false;
    std::unique_lock lock(m_shared->mutex);
    m_shared->changed.wait_for(lock, std::chrono::milliseconds(m_prerollTimeoutMs),
                               [&] { return m_shared->prerolled || m_shared->error; });
    return true;
}

bool TFilterGraph::Play()
{
    if (!m_pipeline)
        return false;
    sendControl(cePlay, 0);
    if (!m_rendered)
        return false;
    if (gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        failCall("The media graph could not start.");
    return true;
}

bool TFilterGraph::Stop()
{
    if (!m_pipeline)
        return false;
    sendControl(ceStop, 0);
    if (!m_rendered)
        return true;
    const GstStateChangeReturn ret = gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED);
    if (ret == GST_STATE_CHANGE_FAILURE)
        failCall("The media graph could not stop.");
    return ret == GST_STATE_CHANGE_SUCCESS || ret == GST_STATE_CHANGE_NO_PREROLL;
}

void TFilterGraph::ClearGraph()
{
    if (!m_pipeline)
        return;
    Stop();
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    dropChain();
    m_rendered = false;
    for (IGraphMember* member : std::vector(m_members))
        member->graphCleared();
    publishGraph();
}

void TFilterGraph::dropChain() noexcept
{
    m_segments = false;
    std::vector<ElementPtr> doomed;
    IteratorPtr it(gst_bin_iterate_elements(GST_BIN(m_pipeline.get())));
    GValue item = G_VALUE_INIT;
    bool done = false;
    while (!done) {
        switch (gst_iterator_next(it.get(), &item)) {
        case GST_ITERATOR_OK: {
            auto* element = GST_ELEMENT(g_value_get_object(&item));
            if (!isMemberElement(element))
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
        gst_bin_remove(GST_BIN(m_pipeline.get()), element.get());
    }
    std::lock_guard lock(m_shared->mutex);
    ++m_shared->epoch;
    m_shared->videoSinkPad.reset();
    m_shared->videoClaimed = m_shared->videoLinked = m_shared->audioLinked = false;
    m_shared->prerolled = false;
    m_shared->error.reset();
}

bool TFilterGraph::seekToStart()
{
    if (!m_pipeline || !m_rendered)
        return false;
    if (m_segments)
        return seekSegment(GST_SEEK_FLAG_NONE);
    return gst_element_seek_simple(m_pipeline.get(), GST_FORMAT_TIME,
                                   GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
}

bool TFilterGraph::seekSegment(GstSeekFlags flags)
{
    // Ending the segment at the duration keeps the last frame on screen for its full time: an
    // open end would start the next pass at the last frame's start.
    const int64_t end = duration();
    return gst_element_seek(m_pipeline.get(), 1.0, GST_FORMAT_TIME,
                            GstSeekFlags(flags | GST_SEEK_FLAG_SEGMENT), GST_SEEK_TYPE_SET, 0,
                            end > 0 ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                            end > 0 ? end : GST_CLOCK_TIME_NONE);
}

int64_t TFilterGraph::duration() const
{
    gint64 value = -1;
    if (!m_pipeline || !m_rendered ||
        !gst_element_query_duration(m_pipeline.get(), GST_FORMAT_TIME, &value))
        return -1;
    return value;
}

void TFilterGraph::setGraphEdit(bool value)
{
    if (value == m_graphEdit)
        return;
    m_graphEdit = value;
    if (value)
        publishGraph();
    else
        unpublishGraph();
}

QString TFilterGraph::graphEditFile() const
{
    if (!m_pipeline)
        return {};
    // Like GStreamer's own tools: only into a folder the user named for it.
    const QString dir = qEnvironmentVariable("GST_DEBUG_DUMP_DOT_DIR");
    if (dir.isEmpty())
        return {};
    return dir + QString::asprintf(
                     "/FilterGraph %0*llX pid %llX.dot", int(sizeof(void*) * 2),
                     static_cast<unsigned long long>(reinterpret_cast<quintptr>(m_pipeline.get())),
                     static_cast<unsigned long long>(QCoreApplication::applicationPid()));
}

void TFilterGraph::publishGraph() noexcept
{
    if (!m_graphEdit || !m_pipeline)
        return;
    try {
        GCharPtr dot(
            gst_debug_bin_to_dot_data(GST_BIN(m_pipeline.get()), GST_DEBUG_GRAPH_SHOW_ALL));
        const QString file = graphEditFile();
        if (file.isEmpty())
            return;
        QSaveFile out(file);
        if (!dot || !out.open(QIODevice::WriteOnly))
            return;
        out.write(dot.get());
        if (out.commit())
            m_publishedFile = file;
    } catch (...) { }
}

void TFilterGraph::unpublishGraph() noexcept
{
    if (!m_publishedFile.isEmpty())
        QFile::remove(m_publishedFile);
    m_publishedFile.clear();
}

void TFilterGraph::handleBusMessage(const SharedMessage& message, uint64_t epoch)
{
    GstMessage* msg = message.get();
    for (IGraphListener* listener : std::vector(m_listeners))
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            listener->graphEvent(msg);
    if (!m_pipeline)
        return;
    uint64_t current;
    {
        std::lock_guard lock(m_shared->mutex);
        current = m_shared->epoch;
    }
    switch (GST_MESSAGE_TYPE(msg)) {
    case GST_MESSAGE_EOS:
        if (epoch == current && GST_MESSAGE_SRC(msg) == GST_OBJECT(m_pipeline.get()))
            emit graphComplete(S_OK);
        break;
    case GST_MESSAGE_SEGMENT_DONE:
        if (epoch == current && m_segments && GST_MESSAGE_SRC(msg) == GST_OBJECT(m_pipeline.get()))
            emit graphComplete(S_OK);
        break;
    case GST_MESSAGE_ERROR:
        if (epoch == current) {
            GError* raw = nullptr;
            gst_message_parse_error(msg, &raw, nullptr);
            GErrorPtr error(raw);
            {
                std::lock_guard lock(m_shared->mutex);
                ++m_shared->epoch; // one error per broken chain
                m_shared->error.reset();
            }
            const EMediaGraphError failure = EMediaGraphError::fromGError(error.get());
            if (!m_errorHandler)
                throw failure;
            m_errorHandler(failure);
        }
        break;
    case GST_MESSAGE_STATE_CHANGED:
        if (GST_MESSAGE_SRC(msg) == GST_OBJECT(m_pipeline.get()))
            publishGraph();
        break;
    default:
        break;
    }
}

GstBusSyncReply TFilterGraph::onBusSync(GstBus*, GstMessage* message, gpointer data) noexcept
{
    // The handler owns a message it drops: the queued call carries it to the UI thread and frees
    // it.
    SharedMessage held = adoptMessage(message);
    Shared& shared = **static_cast<std::shared_ptr<Shared>*>(data);
    QPointer<TFilterGraph> target;
    uint64_t epoch;
    {
        std::lock_guard lock(shared.mutex);
        epoch = shared.epoch;
        target = shared.target;
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE &&
            GST_MESSAGE_SRC(message) == GST_OBJECT(shared.pipeline)) {
            shared.prerolled = true;
            shared.changed.notify_all();
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR && !shared.error) {
            GError* raw = nullptr;
            gst_message_parse_error(message, &raw, nullptr);
            shared.error.reset(raw);
            shared.changed.notify_all();
        }
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
        try {
            QMetaObject::invokeMethod(
                app,
                [target, held, epoch] {
                    if (target)
                        target->handleBusMessage(held, epoch);
                },
                Qt::QueuedConnection);
        } catch (...) { }
    }
    return GST_BUS_DROP;
}

void TFilterGraph::onPadAdded(GstElement*, GstPad* pad, gpointer data) noexcept
{
    Shared& shared = **static_cast<std::shared_ptr<Shared>*>(data);
    if (capsNameStartsWith(pad, "video/x-raw")) {
        PadPtr sinkPad;
        {
            std::lock_guard lock(shared.mutex);
            if (shared.videoClaimed || !shared.videoSinkPad)
                return;
            shared.videoClaimed = true;
            sinkPad.reset(GST_PAD(gst_object_ref(shared.videoSinkPad.get())));
        }
        const bool linked = gst_pad_link(pad, sinkPad.get()) == GST_PAD_LINK_OK;
        if (linked)
            gst_pad_add_probe(
                pad, GST_PAD_PROBE_TYPE_BUFFER, &TFilterGraph::onVideoBuffer,
                new std::shared_ptr<Shared>(*static_cast<std::shared_ptr<Shared>*>(data)),
                [](gpointer held) { delete static_cast<std::shared_ptr<Shared>*>(held); });
        std::lock_guard lock(shared.mutex);
        shared.videoLinked = linked;
        shared.videoClaimed = linked;
        return;
    }
    if (!capsNameStartsWith(pad, "audio/x-raw"))
        return;
    GstElement* pipeline;
    double volume;
    float panorama;
    {
        std::lock_guard lock(shared.mutex);
        if (shared.audioLinked || !shared.pipeline)
            return;
        shared.audioLinked = true;
        pipeline = shared.pipeline;
        volume = shared.volume;
        panorama = shared.panorama;
    }
    const char* sinkFactory = audioSinkFactory();
    ElementPtr convert = makeElement("audioconvert");
    ElementPtr resample = makeElement("audioresample");
    ElementPtr level = makeElement("volume");
    ElementPtr sink = makeElement(sinkFactory);
    if (!convert || !resample || !level || !sink)
        return;
    g_object_set(level.get(), "volume", volume, nullptr);
    if (std::strcmp(sinkFactory, "fakesink") == 0)
        g_object_set(sink.get(), "sync", TRUE, nullptr);
    // Balance: only a panorama element can place the sound; without one it stays centred.
    ElementPtr pan = panorama != 0.0f ? makeElement("audiopanorama") : ElementPtr();
    if (pan)
        g_object_set(pan.get(), "panorama", panorama, nullptr);
    std::vector<GstElement*> chain {convert.get(), resample.get(), level.get()};
    if (pan)
        chain.push_back(pan.get());
    chain.push_back(sink.get());
    for (GstElement* element : chain)
        gst_bin_add(GST_BIN(pipeline), element);
    for (size_t i = 0; i + 1 < chain.size(); ++i)
        gst_element_link(chain[i], chain[i + 1]);
    for (GstElement* element : chain)
        gst_element_sync_state_with_parent(element);
    PadPtr convertSink(gst_element_get_static_pad(convert.get(), "sink"));
    gst_pad_link(pad, convertSink.get());
}

GstPadProbeReturn TFilterGraph::onVideoBuffer(GstPad*, GstPadProbeInfo*, gpointer data) noexcept
{
    Shared& shared = **static_cast<std::shared_ptr<Shared>*>(data);
    std::lock_guard lock(shared.mutex);
    ++shared.videoBuffers;
    return GST_PAD_PROBE_OK;
}

void TFilterGraph::onNoMorePads(GstElement* decoder, gpointer data) noexcept
{
    Shared& shared = **static_cast<std::shared_ptr<Shared>*>(data);
    {
        std::lock_guard lock(shared.mutex);
        if (shared.videoLinked)
            return;
    }
    // Without a video stream the sink would wait for a first frame for ever.
    GError* error = g_error_new_literal(graphErrorQuark(), int(media_codes::noVideoStream & 0xFF),
                                        "The media file has no video stream that can be shown.");
    gst_element_post_message(
        decoder, gst_message_new_error(GST_OBJECT(decoder), error, "no video pad was linked"));
    g_error_free(error);
}
