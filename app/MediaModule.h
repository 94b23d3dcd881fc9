#pragma once
// Loads the media module from the program's own folder the first time a video is due.

#include "video/MediaLayer.h"

#include <QString>

// The module's entry point, from the file beside the executable at exePath (that folder only:
// code is never taken from where users put their pictures). Null when the module is missing or
// cannot be loaded; the reason goes to the program's log once.
MakeMediaLayer loadMediaModule(const QString& exePath) noexcept;
