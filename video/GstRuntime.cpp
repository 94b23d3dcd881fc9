#include "video/GstRuntime.h"

#include <gst/gst.h>

#include <mutex>

namespace yearmark::video {

void ensureGStreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

} // namespace yearmark::video
