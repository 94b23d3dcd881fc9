#pragma once
// Owners for the GStreamer and GLib handles of the media layer, so that no logic carries a bare
// unref.

#include <gst/gst.h>

#include <memory>

namespace yearmark::video {

struct GstObjectUnref {
    void operator()(gpointer object) const noexcept
    {
        if (object)
            gst_object_unref(object);
    }
};
struct GstCapsUnref {
    void operator()(GstCaps* caps) const noexcept
    {
        if (caps)
            gst_caps_unref(caps);
    }
};
struct GstMessageUnref {
    void operator()(GstMessage* message) const noexcept
    {
        if (message)
            gst_message_unref(message);
    }
};
struct GstSampleUnref {
    void operator()(GstSample* sample) const noexcept
    {
        if (sample)
            gst_sample_unref(sample);
    }
};
struct GstIteratorFree {
    void operator()(GstIterator* it) const noexcept
    {
        if (it)
            gst_iterator_free(it);
    }
};
struct GErrorFree {
    void operator()(GError* error) const noexcept
    {
        if (error)
            g_error_free(error);
    }
};
struct GFree {
    void operator()(gpointer memory) const noexcept { g_free(memory); }
};

template <typename T>
using GstObjectPtr = std::unique_ptr<T, GstObjectUnref>;
using ElementPtr = GstObjectPtr<GstElement>;
using BusPtr = GstObjectPtr<GstBus>;
using PadPtr = GstObjectPtr<GstPad>;
using CapsPtr = std::unique_ptr<GstCaps, GstCapsUnref>;
using MessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;
using IteratorPtr = std::unique_ptr<GstIterator, GstIteratorFree>;
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;
using GCharPtr = std::unique_ptr<gchar, GFree>;

// Copyable references, for values that travel to the user-interface thread in a queued call or
// are shared between a streaming thread and the painter.
using SharedMessage = std::shared_ptr<GstMessage>;
using SharedSample = std::shared_ptr<GstSample>;

inline SharedMessage adoptMessage(GstMessage* message)
{
    return SharedMessage(message, GstMessageUnref {});
}
inline SharedSample adoptSample(GstSample* sample)
{
    return SharedSample(sample, GstSampleUnref {});
}

// Takes a newly made (floating) element into a real reference held by the returned owner.
inline ElementPtr makeElement(const char* factory, const char* name = nullptr)
{
    GstElement* element = gst_element_factory_make(factory, name);
    if (element)
        gst_object_ref_sink(element);
    return ElementPtr(element);
}

} // namespace yearmark::video
