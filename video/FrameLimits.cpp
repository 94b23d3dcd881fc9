#include "video/FrameLimits.h"

#include "video/GstOwners.h"
#include "video/MediaGraphError.h"

#include <atomic>
#include <cstring>
#include <string>

namespace {
using namespace yearmark::video;

// A buffer pool that hands out no buffer: given to a decoder that asks for a pool for frames
// that do not fit, it makes the decoder fail on its first frame without allocating it.
struct RefusingPool {
    GstBufferPool parent;
};
struct RefusingPoolClass {
    GstBufferPoolClass parent;
};

G_DEFINE_TYPE(RefusingPool, refusing_pool, GST_TYPE_BUFFER_POOL)

GstFlowReturn refuseBuffer(GstBufferPool*, GstBuffer**, GstBufferPoolAcquireParams*)
{
    return GST_FLOW_NOT_NEGOTIATED;
}

void refusing_pool_class_init(RefusingPoolClass* klass)
{
    GST_BUFFER_POOL_CLASS(klass)->alloc_buffer = &refuseBuffer;
}

void refusing_pool_init(RefusingPool*) { }

// The first structure of `caps` that names a size that does not fit, or null.
const GstStructure* oversized(const GstCaps* caps)
{
    if (!caps)
        return nullptr;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        const GstStructure* s = gst_caps_get_structure(caps, i);
        int width = 0;
        int height = 0;
        if (gst_structure_get_int(s, "width", &width) &&
            gst_structure_get_int(s, "height", &height) && !frameFits(width, height))
            return s;
    }
    return nullptr;
}

// What one guarded pad remembers: whether it has told the bus about a refusal yet.
struct Guard {
    std::atomic<bool> reported {false};
};

void report(GstPad* pad, Guard& guard, const GstStructure* s) noexcept
{
    if (guard.reported.exchange(true))
        return;
    try {
        int width = 0;
        int height = 0;
        gst_structure_get_int(s, "width", &width);
        gst_structure_get_int(s, "height", &height);
        const std::string text = "The video's frames are too large: " + std::to_string(width) +
                                 " x " + std::to_string(height) + " pixels (at most " +
                                 std::to_string(kMaxFrameBytes / (1024 * 1024)) +
                                 " MB at 4 bytes a pixel).";
        ElementPtr element(gst_pad_get_parent_element(pad));
        if (!element)
            return;
        GError* error = g_error_new_literal(g_quark_from_static_string("yearmark-frame-limits"),
                                            int(media_codes::frameTooLarge & 0xFF), text.c_str());
        gst_element_post_message(element.get(), gst_message_new_error(GST_OBJECT(element.get()),
                                                                      error, "frame size refused"));
        g_error_free(error);
    } catch (...) { } // without its message the refusal still stands, as a failed negotiation
}

GstPadProbeReturn onEventOrQuery(GstPad* pad, GstPadProbeInfo* info, gpointer data) noexcept
{
    Guard& guard = *static_cast<Guard*>(data);
    if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        // Dropped rather than failed: a failed format would make the decoder's next question,
        // for a buffer pool, fail before it reaches this pad, and the decoder would then make a
        // pool of its own.
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS)
            return GST_PAD_PROBE_OK;
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        if (const GstStructure* s = oversized(caps)) {
            report(pad, guard, s);
            return GST_PAD_PROBE_DROP;
        }
        return GST_PAD_PROBE_OK;
    }
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (!query)
        return GST_PAD_PROBE_OK;
    switch (GST_QUERY_TYPE(query)) {
    case GST_QUERY_ACCEPT_CAPS: {
        GstCaps* caps = nullptr;
        gst_query_parse_accept_caps(query, &caps);
        if (const GstStructure* s = oversized(caps)) {
            report(pad, guard, s);
            gst_query_set_accept_caps_result(query, FALSE);
            return GST_PAD_PROBE_HANDLED;
        }
        break;
    }
    case GST_QUERY_ALLOCATION: {
        // A decoder goes on to allocate even when its format went nowhere; a pool without
        // buffers is what stops it.
        GstCaps* caps = nullptr;
        gst_query_parse_allocation(query, &caps, nullptr);
        if (const GstStructure* s = oversized(caps)) {
            report(pad, guard, s);
            GstBufferPool* pool = GST_BUFFER_POOL(
                gst_object_ref_sink(g_object_new(refusing_pool_get_type(), nullptr)));
            gst_query_add_allocation_pool(query, pool, 0, 0, 0);
            gst_object_unref(pool);
            return GST_PAD_PROBE_HANDLED;
        }
        break;
    }
    default:
        break;
    }
    return GST_PAD_PROBE_OK;
}

gboolean guardSourcePad(GstElement*, GstPad* pad, gpointer) noexcept
{
    limitFrameSize(pad);
    return TRUE;
}
} // namespace

namespace yearmark::video {

bool frameFits(int64_t width, int64_t height)
{
    if (width < 1 || height < 1)
        return false;
    // Divided rather than multiplied: no product of two int64_t can overflow here.
    return width <= kMaxFrameBytes / 4 / height;
}

void limitFrameSize(GstPad* pad)
{
    gst_pad_add_probe(
        pad,
        GstPadProbeType(GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        &onEventOrQuery, new Guard, [](gpointer data) { delete static_cast<Guard*>(data); });
}

void limitDecoderFrames(GstBin*, GstBin*, GstElement* element, gpointer)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    const char* klass =
        factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : nullptr;
    if (klass && std::strstr(klass, "Decoder") && !GST_IS_BIN(element))
        gst_element_foreach_src_pad(element, &guardSourcePad, nullptr);
}

} // namespace yearmark::video
