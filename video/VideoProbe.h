#pragma once
// A video prepared off screen, without a window: the same decoding bin, frame-size limits and
// conversion to the video window's pixel format as the media graph, with sinks that show nothing.

#include "video/MediaLayer.h"

namespace yearmark::video {

// What yearmarkProbeVideo reports (see there).
VideoFacts probeVideo(const QString& path, int timeoutMs);

} // namespace yearmark::video
