#pragma once
// The black control the video is shown in: it brings its own sink into the media graph, paints the
// newest frame letter-boxed (or as the aspect mode says), hides the resting pointer over the video
// and keeps the screen saver away while a video plays.

#include "video/ColorControl.h"
#include "video/CursorAutoHider.h"
#include "video/FilterGraph.h"
#include "video/GraphInterfaces.h"
#include "video/GstOwners.h"
#include "video/LetterBox.h"
#include "video/ScreenSaverInhibitor.h"

#include <QColor>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class TVideoWindow : public QWidget, public IGraphMember, public IGraphListener {
    Q_OBJECT
public:
    explicit TVideoWindow(QWidget* parent = nullptr);
    ~TVideoWindow() override;

    TFilterGraph* filterGraph() const { return graph_; }
    // Leaves the old graph's member and listener lists and joins the new graph's (at once, if it
    // is active).
    void setFilterGraph(TFilterGraph* graph);

    TRatioModes aspectRatio() const { return aspectRatio_; }
    void setAspectRatio(TRatioModes mode);
    int digitalZoom() const { return digitalZoom_; }
    // 0..99; throws EValueRangeError outside and keeps the old value.
    void setDigitalZoom(int value);
    int autoHideCursor() const { return hider_.delay(); }
    void setAutoHideCursor(int ms);
    bool noScreenSaver() const { return noScreenSaver_; }
    void setNoScreenSaver(bool value);
    TColorControl* colorControl() { return &colorControl_; }
    QColor color() const { return color_; }
    void setColor(const QColor& value);

    // Where the current frame is shown, in widget coordinates; empty without a frame.
    QRect videoRect() const;
    bool hasFrame() const;
    bool cursorHidden() const { return hider_.hidden(); }
    // True while a playing video holds the screen saver off.
    bool screenSaverHeld() const { return inhibitor_.held(); }
    // True while the platform itself has the screen saver suspended for it (X11 only).
    bool screenSaverSuspended() const { return inhibitor_.effective(); }

    QSize sizeHint() const override { return QSize(320, 240); }

    // IGraphMember
    GstElement* graphElement() override { return sink_.get(); }
    QString graphName() const override;
    void graphMembership(TGraphMembership code) override;
    void graphCleared() override;
    // IGraphListener
    void graphEvent(GstMessage* message) override;
    void controlEvent(TControlEvent code, int param) override;

protected:
    void paintEvent(QPaintEvent* event) noexcept override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct FrameSlot;

    void createSink();
    void frameArrived() noexcept;
    void scheduleIdleCheck();
    void idleCheck();
    void applyCursor();
    void updateScreenSaver() noexcept;
    yearmark::video::SharedSample currentSample() const;

    std::shared_ptr<FrameSlot> slot_;
    yearmark::video::ElementPtr sink_;
    QPointer<TFilterGraph> graph_;
    TRatioModes aspectRatio_ = rmLetterBox;
    int digitalZoom_ = 0;
    bool noScreenSaver_ = false;
    bool playing_ = false;
    TColorControl colorControl_;
    QColor color_ = Qt::black;
    CursorAutoHider hider_;
    QElapsedTimer clock_;
    QTimer idleTimer_;
    ScreenSaverInhibitor inhibitor_;
};
