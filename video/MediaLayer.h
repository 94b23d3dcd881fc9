#pragma once
// The media graph and its video window as the main window drives them, through calls that do
// not tie the program to GStreamer: the media module makes them the first time a video is due,
// so that a count that never plays one neither loads nor starts GStreamer.

#include "video/LetterBox.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;
class TFilterGraph;
class TVideoWindow;

// How the window wants its video window and graph set up.
struct VideoSetup {
    TRatioModes aspectRatio;
    int autoHideCursorMs;
    bool noScreenSaver;
    QColor color;
    bool graphEdit;
};

class MediaLayer {
public:
    virtual ~MediaLayer() = default;

    // The parts themselves, children of the widget the layer was made for. Only code linked
    // with the media layer may call them; the rest of the program goes through the calls below.
    virtual TVideoWindow* videoWindow() const = 0;
    virtual TFilterGraph* filterGraph() const = 0;
    virtual QWidget* videoWidget() const = 0;

    // The graph's own operations (see TFilterGraph): failures throw.
    virtual void setActive(bool value) = 0;
    virtual void clearGraph() = 0;
    virtual void setLooping(bool value) = 0;
    virtual void renderFile(const QString& fileName) = 0;
    virtual bool play() = 0;
    virtual bool seekToStart() = 0;
    // Frames the video window has been handed so far.
    virtual uint64_t framesArrived() const = 0;
    // Called on the user-interface thread when the graph has played to its end.
    virtual void setCompletionHandler(std::function<void()> completed) = 0;
    // Called on the user-interface thread for an error that arrives after a call has returned.
    virtual void setErrorHandler(std::function<void()> failed) = 0;
};

// The media module's entry point: makes the graph and its hidden video window as children of
// the parent, set up as asked. Null when they cannot be made.
extern "C" MediaLayer* yearmarkMakeMediaLayer(QWidget* parent, const VideoSetup& setup);
using MakeMediaLayer = MediaLayer* (*)(QWidget* parent, const VideoSetup& setup);
