#pragma once
// GStreamer must be initialised once per process before the first element is made; every entry
// point of the media layer calls this instead of relying on the program's main.

namespace yearmark::video {

void ensureGStreamer();

} // namespace yearmark::video
