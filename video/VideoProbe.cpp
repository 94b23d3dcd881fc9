#include "video/VideoProbe.h"

#include "video/FrameLimits.h"
#include "video/GstOwners.h"
#include "video/GstRuntime.h"
#include "video/MediaGraphError.h"

#include <QFile>
#include <QFileInfo>

#include <gst/pbutils/pbutils.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace {
using namespace yearmark::video;

// What the decoding bin's streaming threads find, shared with them under the mutex.
struct Streams {
    std::mutex mutex;
    GstElement* pipeline = nullptr; // borrowed; lives longer than every handler call
    bool videoClaimed = false;      // a raw video stream is being linked
    PadPtr videoSink;               // the decoded frames' end, for their size, once linked
    bool soundLinked = false;
    uint64_t frames = 0;
    CapsPtr undecodedVideo; // a stream that no decoder takes
    CapsPtr undecodedSound;
    CapsPtr rawSound; // sound that needs no decoder
};
using SharedStreams = std::shared_ptr<Streams>;

CapsPtr padCaps(GstPad* pad)
{
    CapsPtr caps(gst_pad_get_current_caps(pad));
    if (!caps)
        caps.reset(gst_pad_query_caps(pad, nullptr));
    return caps;
}

bool namedLike(const GstCaps* caps, const char* prefix)
{
    if (!caps || gst_caps_get_size(caps) == 0)
        return false;
    const char* name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
    return name && std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

// GStreamer's own name for what the caps describe ("AVI", "Motion JPEG").
QString describe(const GstCaps* caps)
{
    if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps))
        return {};
    GCharPtr text(gst_pb_utils_get_codec_description(caps));
    return text ? QString::fromUtf8(text.get()) : QString();
}

GstPadProbeReturn countFrame(GstPad*, GstPadProbeInfo*, gpointer data) noexcept
{
    Streams& streams = **static_cast<SharedStreams*>(data);
    std::lock_guard lock(streams.mutex);
    ++streams.frames;
    return GST_PAD_PROBE_OK;
}

// Adds the elements to the pipeline, links them in a row and brings them to its state; the
// first element's sink pad, or null.
PadPtr addChain(GstElement* pipeline, std::initializer_list<GstElement*> chain)
{
    for (GstElement* element : chain)
        if (!element)
            return {};
    GstElement* previous = nullptr;
    for (GstElement* element : chain) {
        gst_bin_add(GST_BIN(pipeline), element);
        if (previous)
            gst_element_link(previous, element);
        previous = element;
    }
    for (GstElement* element : chain)
        gst_element_sync_state_with_parent(element);
    return PadPtr(gst_element_get_static_pad(*chain.begin(), "sink"));
}

// The first raw video goes through the video window's conversion into a sink that keeps its
// first frame (so that the pipeline prerolls as the graph does); raw sound into a sink that
// holds nothing up; encoded streams that come out undecoded are only noted.
void onPadAdded(GstElement*, GstPad* pad, gpointer data) noexcept
{
    const SharedStreams& streams = *static_cast<SharedStreams*>(data);
    CapsPtr caps = padCaps(pad);
    std::unique_lock lock(streams->mutex);
    GstElement* pipeline = streams->pipeline;
    if (namedLike(caps.get(), "video/x-raw")) {
        if (streams->videoClaimed)
            return;
        streams->videoClaimed = true;
        lock.unlock();
        ElementPtr convert = makeElement("videoconvert");
        ElementPtr filter = makeElement("capsfilter");
        ElementPtr sink = makeElement("fakesink");
        if (!filter)
            return;
        CapsPtr bgrx(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr));
        g_object_set(filter.get(), "caps", bgrx.get(), nullptr);
        PadPtr entry = addChain(pipeline, {convert.get(), filter.get(), sink.get()});
        if (!entry)
            return;
        // Raw frames that come without a decoder are refused here, as by the video window.
        limitFrameSize(entry.get());
        PadPtr end(gst_element_get_static_pad(sink.get(), "sink"));
        gst_pad_add_probe(end.get(), GST_PAD_PROBE_TYPE_BUFFER, &countFrame,
                          new SharedStreams(streams),
                          [](gpointer held) { delete static_cast<SharedStreams*>(held); });
        if (gst_pad_link(pad, entry.get()) != GST_PAD_LINK_OK)
            return;
        lock.lock();
        streams->videoSink = std::move(end);
    } else if (namedLike(caps.get(), "audio/x-raw")) {
        if (streams->soundLinked)
            return;
        streams->soundLinked = true;
        streams->rawSound.reset(gst_caps_ref(caps.get()));
        lock.unlock();
        ElementPtr sink = makeElement("fakesink");
        if (sink)
            g_object_set(sink.get(), "async", FALSE, nullptr);
        if (PadPtr entry = addChain(pipeline, {sink.get()}))
            gst_pad_link(pad, entry.get());
    } else if (namedLike(caps.get(), "video/")) {
        if (!streams->undecodedVideo)
            streams->undecodedVideo = std::move(caps);
    } else if (namedLike(caps.get(), "audio/")) {
        if (!streams->undecodedSound)
            streams->undecodedSound = std::move(caps);
    }
}

GQuark probeErrorQuark() { return g_quark_from_static_string("yearmark-video-probe"); }

// Without a video stream the sink would wait for a first frame for ever: an error instead.
void onNoMorePads(GstElement* decoder, gpointer data) noexcept
{
    const SharedStreams& streams = *static_cast<SharedStreams*>(data);
    std::string text;
    {
        std::lock_guard lock(streams->mutex);
        if (streams->videoSink)
            return;
        text = streams->undecodedVideo
                   ? "There is no decoder for its video (" +
                         describe(streams->undecodedVideo.get()).toStdString() + ")."
                   : "The media file has no video stream that can be shown.";
    }
    GError* error = g_error_new_literal(probeErrorQuark(), int(media_codes::noVideoStream & 0xFF),
                                        text.c_str());
    gst_element_post_message(
        decoder, gst_message_new_error(GST_OBJECT(decoder), error, "no video pad was linked"));
    g_error_free(error);
}

// The container the decoding bin found and the codecs of its decoders, read from the elements
// it plugged in.
void readKinds(GstElement* pipeline, VideoFacts& facts)
{
    IteratorPtr it(gst_bin_iterate_recurse(GST_BIN(pipeline)));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(it.get(), &item) == GST_ITERATOR_OK) {
        auto* element = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* factory = gst_element_get_factory(element);
        const char* klass =
            factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : "";
        if (factory && std::strcmp(GST_OBJECT_NAME(factory), "typefind") == 0) {
            GstCaps* found = nullptr;
            g_object_get(element, "caps", &found, nullptr);
            const CapsPtr held(found);
            if (facts.container.isEmpty())
                facts.container = describe(found);
        } else if (klass && std::strstr(klass, "Decoder")) {
            PadPtr sink(gst_element_get_static_pad(element, "sink"));
            CapsPtr caps(sink ? gst_pad_get_current_caps(sink.get()) : nullptr);
            // Frames may come as still pictures ("Codec/Decoder/Image": Motion JPEG).
            QString& codec = std::strstr(klass, "Audio") ? facts.soundCodec : facts.videoCodec;
            if (codec.isEmpty())
                codec = describe(caps.get());
        }
        g_value_reset(&item);
    }
    g_value_unset(&item);
}

std::string errorText(GstMessage* message)
{
    GError* raw = nullptr;
    gst_message_parse_error(message, &raw, nullptr);
    const GErrorPtr error(raw);
    return EMediaGraphError::fromGError(error.get()).what();
}

} // namespace

namespace yearmark::video {

VideoFacts probeVideo(const QString& path, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    VideoFacts facts;
    ensureGStreamer();
    static std::once_flag utilities;
    std::call_once(utilities, [] { gst_pb_utils_init(); });
    // A named pipe or a device would hold the change to paused until someone writes to it.
    if (!QFileInfo(path).isFile()) {
        facts.error = QStringLiteral("The media file is not a regular file.");
        return facts;
    }
    GError* rawError = nullptr;
    const GCharPtr uri(gst_filename_to_uri(QFile::encodeName(path).constData(), &rawError));
    const GErrorPtr uriError(rawError);
    ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("Probe"))));
    ElementPtr decoder = makeElement("uridecodebin");
    if (!uri || !decoder) {
        facts.error = QString::fromStdString(
            uri ? EMediaGraphError::formatMessage("The decoder element uridecodebin is missing.",
                                                  media_codes::elementMissing)
                : EMediaGraphError::fromGError(uriError.get()).what());
        return facts;
    }
    // Every decoder refuses frames too large to show before it allocates one, as in the graph.
    g_signal_connect(pipeline.get(), "deep-element-added", G_CALLBACK(&limitDecoderFrames),
                     nullptr);
    auto streams = std::make_shared<Streams>();
    streams->pipeline = pipeline.get();
    g_object_set(decoder.get(), "uri", uri.get(), nullptr);
    auto freeShared = [](gpointer data, GClosure*) { delete static_cast<SharedStreams*>(data); };
    g_signal_connect_data(decoder.get(), "pad-added", G_CALLBACK(&onPadAdded),
                          new SharedStreams(streams), freeShared, GConnectFlags(0));
    g_signal_connect_data(decoder.get(), "no-more-pads", G_CALLBACK(&onNoMorePads),
                          new SharedStreams(streams), freeShared, GConnectFlags(0));
    gst_bin_add(GST_BIN(pipeline.get()), decoder.get());

    const BusPtr bus(gst_element_get_bus(pipeline.get()));
    bool done = false;
    if (gst_element_set_state(pipeline.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        const MessagePtr error(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
        facts.error = QString::fromStdString(
            error ? errorText(error.get())
                  : EMediaGraphError::formatMessage("The media file could not be rendered.",
                                                    media_codes::stateChangeFailed));
        done = true;
    }
    while (!done) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
            deadline - std::chrono::steady_clock::now());
        const MessagePtr message(
            gst_bus_timed_pop_filtered(bus.get(), GstClockTime(std::max<int64_t>(left.count(), 0)),
                                       GstMessageType(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR)));
        if (!message) {
            facts.error = QStringLiteral("It did not reach its first frame within %1 s.")
                              .arg(timeoutMs / 1000.0);
            facts.finished = false;
            done = true;
        } else if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
            facts.error = QString::fromStdString(errorText(message.get()));
            done = true;
        } else if (GST_MESSAGE_SRC(message.get()) == GST_OBJECT(pipeline.get())) {
            done = true;
        }
    }
    if (facts.error.isEmpty()) {
        std::lock_guard lock(streams->mutex);
        // Ready, but on the end of the file rather than on a frame: nothing would be shown.
        if (streams->frames == 0)
            facts.error = QString::fromStdString(EMediaGraphError::formatMessage(
                "The media file has no frame that can be shown.", media_codes::noVideoStream));
        else if (const CapsPtr caps = padCaps(streams->videoSink.get()); caps) {
            const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
            gst_structure_get_int(s, "width", &facts.width);
            gst_structure_get_int(s, "height", &facts.height);
        }
        gint64 ns = -1;
        if (gst_element_query_duration(pipeline.get(), GST_FORMAT_TIME, &ns) && ns >= 0)
            facts.durationMs = ns / 1000000;
    }
    facts.playable = facts.error.isEmpty();
    readKinds(pipeline.get(), facts);
    {
        std::lock_guard lock(streams->mutex);
        facts.soundDecodes = streams->soundLinked;
        if (facts.soundCodec.isEmpty())
            facts.soundCodec = describe(streams->soundLinked ? streams->rawSound.get()
                                                             : streams->undecodedSound.get());
    }
    if (facts.finished) {
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    } else {
        // An element stuck on the file's storage would hold up the change to NULL as well: it is
        // made on a thread of its own, which nobody waits for.
        std::thread([held = std::move(pipeline)] {
            gst_element_set_state(held.get(), GST_STATE_NULL);
        }).detach();
    }
    return facts;
}

} // namespace yearmark::video
