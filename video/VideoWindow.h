#pragma once
// The black control the video is shown in: it brings its own sink into the media graph, paints the
// newest frame letter-boxed (or as the aspect mode says), hides the resting pointer over the video
// and asks for the screen saver to be held off while a video plays.

#include "video/CursorAutoHider.h"
#include "video/FilterGraph.h"
#include "video/GraphInterfaces.h"
#include "video/GstOwners.h"
#include "video/LetterBox.h"

#include <QColor>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class TVideoWindow : public QWidget, public IGraphMember, public IGraphListener {
    Q_OBJECT
public:
    explicit TVideoWindow(QWidget* parent = nullptr);
    ~TVideoWindow() override;

    TFilterGraph* filterGraph() const { return m_graph; }
    // Leaves the old graph's member and listener lists and joins the new graph's (at once, if it
    // is active).
    void setFilterGraph(TFilterGraph* graph);

    TRatioModes aspectRatio() const { return m_aspectRatio; }
    void setAspectRatio(TRatioModes mode);
    int autoHideCursor() const { return m_hider.delay(); }
    void setAutoHideCursor(int ms);
    bool noScreenSaver() const { return m_noScreenSaver; }
    void setNoScreenSaver(bool value);
    QColor color() const { return m_color; }
    void setColor(const QColor& value);

    // Where the current frame is shown, in widget coordinates; empty without a frame.
    QRect videoRect() const;
    bool hasFrame() const;
    // Frames the graph has handed over so far, the first of each file included.
    uint64_t framesArrived() const;
    bool cursorHidden() const { return m_hider.hidden(); }
    // True while a playing video holds the screen saver off.
    bool screenSaverHeld() const { return m_screenSaverHeld; }
    // What holds it off, told of every change (the program's own hold; it must not throw).
    // Without one the window only says that it would.
    void setScreenSaverHold(std::function<void(bool held)> hold);

    QSize sizeHint() const override { return QSize(320, 240); }

    // IGraphMember: the sink is an appsink made on the media thread; its frames go to the slot
    // this window paints from.
    MemberSink graphSink() override;
    QString graphName() const override;
    void graphMembership(TGraphMembership code) override;
    // IGraphListener
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

    static yearmark::video::ElementPtr makeSink(const std::shared_ptr<FrameSlot>& slot);
    void frameArrived() noexcept;
    // Tells the streaming side how many frames a second the window's screen shows.
    void updateScreenRate() noexcept;
    void scheduleIdleCheck();
    void idleCheck();
    void applyCursor();
    void updateScreenSaver() noexcept;
    yearmark::video::SharedSample currentSample() const;

    std::shared_ptr<FrameSlot> m_slot;
    QPointer<TFilterGraph> m_graph;
    TRatioModes m_aspectRatio = rmLetterBox;
    bool m_noScreenSaver = false;
    bool m_playing = false;
    bool m_inGraph = false; // the graph is active with this window's sink in it
    QColor m_color = Qt::black;
    CursorAutoHider m_hider;
    QElapsedTimer m_clock;
    QTimer m_idleTimer;
    bool m_screenSaverHeld = false;
    std::function<void(bool)> m_holdScreenSaver;
};
