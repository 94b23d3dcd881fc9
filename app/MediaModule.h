#pragma once
// Loads the media module from the program's own folder the first time a video is due.

#include "video/MediaLayer.h"

#include <QString>

// The module's entry point, from the file beside the executable at exePath (that folder only:
// code is never taken from where users put their pictures), with GStreamer started. Null when
// the module is missing or cannot be loaded; the reason goes to the program's log once. Reads
// files and may scan GStreamer's plugins for a second or more: never call it on the
// user-interface thread.
MakeMediaLayer loadMediaModule(const QString& exePath) noexcept;

// The module's video probe, loaded the same way; null when the module cannot be loaded, and then
// why is set to the reason. The same cautions apply.
ProbeVideo loadVideoProbe(const QString& exePath, QString& why) noexcept;
