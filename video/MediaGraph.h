#pragma once
// The media module's one include: the graph, the video window and their errors.

#include "video/FilterGraph.h"
#include "video/LetterBox.h"
#include "video/MediaGraphError.h"
#include "video/VideoWindow.h"
