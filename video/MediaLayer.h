#pragma once
// The media graph and its video window as the zero moment drives them, through calls that do
// not tie the program to GStreamer: the media module makes them the first time a video is due,
// so that a count that never plays one neither loads nor starts GStreamer. No call waits: the
// graph's work runs on its own media thread and its outcome comes back through the handlers.

#include "video/LetterBox.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

// How the window wants its video window and graph set up.
struct VideoSetup {
    TRatioModes aspectRatio;
    int autoHideCursorMs;
    bool noScreenSaver;
    // Holds the screen saver off while the video plays (see TVideoWindow::setScreenSaverHold).
    std::function<void(bool held)> holdScreenSaver;
    QColor color;
    bool graphEdit;
};

class MediaLayer {
public:
    virtual ~MediaLayer() = default;

    // The video window, a child of the widget the layer was made for (as is the graph).
    virtual QWidget* videoWidget() const = 0;

    // The graph's own operations (see TFilterGraph), asked for and carried out later.
    virtual void setActive(bool value) = 0;
    virtual void clearGraph() = 0;
    // Renders the file and prerolls it: prepared or failed follows. A looped file reports its
    // end early, so that the next pass follows without a gap.
    virtual void renderFile(const QString& fileName, bool loop) = 0;
    // Plays the prepared file; false when nothing is prepared.
    virtual bool play() = 0;
    virtual bool seekToStart() = 0;
    // Frames the video window has been handed so far.
    virtual uint64_t framesArrived() const = 0;
    // Handlers, called on the user-interface thread and only for the latest render: its first
    // frame waits in the video window; it failed (before or after it was prepared); it has
    // played to its end.
    virtual void setPreparedHandler(std::function<void()> prepared) = 0;
    virtual void setErrorHandler(std::function<void()> failed) = 0;
    virtual void setCompletionHandler(std::function<void()> completed) = 0;
    // Ends playback and the media thread, waiting at most waitMs; nothing is played afterwards.
    // True when no thread of the media layer is left running.
    virtual bool shutDown(int waitMs) = 0;
};

// What preparing a video off screen tells about it: whether it reaches its first frame through
// the decoders, the conversion and the frame-size limits the video window uses, and what it is.
struct VideoFacts {
    bool playable = false;
    bool finished = true; // false: the time ran out before a frame or an error came
    QString error;        // why it cannot be played; empty when it can
    QString container;    // the kind of file as GStreamer names it ("AVI", "Matroska")
    QString videoCodec;   // ("Motion JPEG", "H.264 (High Profile)"); empty when unknown
    int width = 0;        // of the frames as decoded
    int height = 0;
    int64_t durationMs = -1; // -1 when the file does not say
    QString soundCodec;      // the sound stream's codec; empty without sound
    bool soundDecodes = false;
};

// The media module's entry points. Starting GStreamer reads (and may first build) its plugin
// registry: called once, away from the user-interface thread, before the first layer is made.
extern "C" void yearmarkStartMedia();
using StartMedia = void (*)();
// Makes the graph and its hidden video window as children of the parent, set up as asked. Null
// when they cannot be made. Waits on nothing.
extern "C" MediaLayer* yearmarkMakeMediaLayer(QWidget* parent, const VideoSetup& setup);
using MakeMediaLayer = MediaLayer* (*)(QWidget* parent, const VideoSetup& setup);
// Prepares the file up to its first frame in a pipeline of its own whose sinks show nothing, and
// fills facts; waits for it at most timeoutMs (then the error says so). Starts GStreamer when it
// has not been started. May block on the file's storage for longer: call it on a thread of its
// own that nobody waits for.
extern "C" void yearmarkProbeVideo(const QString& path, int timeoutMs, VideoFacts& facts);
using ProbeVideo = void (*)(const QString& path, int timeoutMs, VideoFacts& facts);
