#include "video/VideoWindow.h"

#include "video/FrameLimits.h"
#include "video/FramePacer.h"
#include "video/GstRuntime.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <atomic>
#include <mutex>

using namespace yearmark::video;

// The newest frame, shared between the appsink's streaming thread (which replaces it) and the
// painter (which takes a reference to it). Only one frame is ever kept, and at most one repaint
// request is queued at a time, so a slow painter drops frames instead of holding up the stream.
struct TVideoWindow::FrameSlot {
    explicit FrameSlot(TVideoWindow* window)
        : target(window)
    { }

    void store(GstSample* sample) noexcept
    {
        if (!sample)
            return;
        {
            std::lock_guard lock(mutex);
            newest = adoptSample(sample);
        }
        ++frames;
        requestUpdate();
    }

    // The chain that delivered the frame has gone: nothing is shown until the next one.
    void clear() noexcept
    {
        {
            std::lock_guard lock(mutex);
            newest.reset();
        }
        requestUpdate();
    }

    void requestUpdate() noexcept
    {
        if (updatePosted.exchange(true))
            return;
        if (QCoreApplication* app = QCoreApplication::instance()) {
            try {
                QMetaObject::invokeMethod(
                    app,
                    [window = target] {
                        if (window)
                            window->frameArrived();
                    },
                    Qt::QueuedConnection);
            } catch (...) {
                updatePosted = false;
            }
        }
    }

    static GstFlowReturn onSample(GstAppSink* sink, gpointer data) noexcept
    {
        (*static_cast<std::shared_ptr<FrameSlot>*>(data))->store(gst_app_sink_pull_sample(sink));
        return GST_FLOW_OK;
    }
    static GstFlowReturn onPreroll(GstAppSink* sink, gpointer data) noexcept
    {
        (*static_cast<std::shared_ptr<FrameSlot>*>(data))->store(gst_app_sink_pull_preroll(sink));
        return GST_FLOW_OK;
    }

    // Frames on their way to the converter: those the screen could not show anyway are dropped
    // before they cost a conversion and a repaint.
    static GstPadProbeReturn onFrameOrFlush(GstPad*, GstPadProbeInfo* info, gpointer data) noexcept
    {
        FrameSlot& slot = **static_cast<std::shared_ptr<FrameSlot>*>(data);
        std::lock_guard lock(slot.pacerMutex);
        if (info->type & GST_PAD_PROBE_TYPE_EVENT_FLUSH) {
            if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_FLUSH_STOP)
                slot.pacer.restart();
            return GST_PAD_PROBE_OK;
        }
        GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
        const GstClockTime pts = buffer ? GST_BUFFER_PTS(buffer) : GST_CLOCK_TIME_NONE;
        slot.pacer.setRate(slot.screenRate);
        const bool shown = slot.pacer.admit(GST_CLOCK_TIME_IS_VALID(pts) ? int64_t(pts) : -1);
        return shown ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
    }

    const QPointer<TVideoWindow> target; // made on the UI thread, only copied elsewhere
    std::mutex mutex;
    SharedSample newest;
    // The refresh rate of the window's screen (0 while unknown), set on the UI thread.
    std::atomic<double> screenRate {0.0};
    std::mutex pacerMutex;
    FramePacer pacer;
    std::atomic<bool> updatePosted {false};
    std::atomic<uint64_t> frames {0};
};

namespace {
// A frame as the painter needs it: its mapped pixels and its geometry.
class MappedFrame {
public:
    explicit MappedFrame(GstSample* sample)
    {
        GstCaps* caps = gst_sample_get_caps(sample);
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (!caps || !buffer || !gst_video_info_from_caps(&m_info, caps))
            return;
        if (GST_VIDEO_INFO_FORMAT(&m_info) != GST_VIDEO_FORMAT_BGRx)
            return;
        m_mapped = gst_video_frame_map(&m_frame, &m_info, buffer, GST_MAP_READ);
    }
    ~MappedFrame()
    {
        if (m_mapped)
            gst_video_frame_unmap(&m_frame);
    }
    MappedFrame(const MappedFrame&) = delete;
    MappedFrame& operator=(const MappedFrame&) = delete;

    bool valid() const { return m_mapped; }
    QSize size() const
    {
        return QSize(GST_VIDEO_INFO_WIDTH(&m_info), GST_VIDEO_INFO_HEIGHT(&m_info));
    }
    QSize aspect() const
    {
        return pictureAspect(GST_VIDEO_INFO_WIDTH(&m_info), GST_VIDEO_INFO_HEIGHT(&m_info),
                             GST_VIDEO_INFO_PAR_N(&m_info), GST_VIDEO_INFO_PAR_D(&m_info));
    }
    // The pixels as an image that borrows the frame's memory (BGRx is RGB32 in memory order).
    QImage image() const
    {
        return QImage(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&m_frame, 0)),
                      size().width(), size().height(), GST_VIDEO_FRAME_PLANE_STRIDE(&m_frame, 0),
                      QImage::Format_RGB32);
    }

private:
    GstVideoInfo m_info {};
    GstVideoFrame m_frame {};
    bool m_mapped = false;
};

// Geometry only: the caps tell size and pixel aspect ratio without mapping the pixels.
QSize sampleAspect(GstSample* sample)
{
    GstCaps* caps = sample ? gst_sample_get_caps(sample) : nullptr;
    GstVideoInfo info;
    if (!caps || !gst_video_info_from_caps(&info, caps))
        return {};
    return pictureAspect(GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info),
                         GST_VIDEO_INFO_PAR_N(&info), GST_VIDEO_INFO_PAR_D(&info));
}
} // namespace

TVideoWindow::TVideoWindow(QWidget* parent)
    : QWidget(parent)
    , m_slot(std::make_shared<FrameSlot>(this))
{
    resize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    // Its own pointer: the window it lies on hides the pointer everywhere.
    setCursor(Qt::ArrowCursor);
    m_clock.start();
    m_idleTimer.setSingleShot(true);
    connect(&m_idleTimer, &QTimer::timeout, this, &TVideoWindow::idleCheck);
}

TVideoWindow::~TVideoWindow()
{
    try {
        setFilterGraph(nullptr);
    } catch (...) { }
    if (m_screenSaverHeld && m_holdScreenSaver)
        m_holdScreenSaver(false);
}

void TVideoWindow::setFilterGraph(TFilterGraph* graph)
{
    if (graph == m_graph)
        return;
    if (m_graph) {
        m_graph->removeListener(this);
        m_graph->removeMember(this);
    }
    m_graph = graph;
    if (m_graph) {
        m_graph->addListener(this);
        m_graph->addMember(this);
    }
}

void TVideoWindow::setAspectRatio(TRatioModes mode)
{
    if (mode == m_aspectRatio)
        return;
    m_aspectRatio = mode;
    update();
}

void TVideoWindow::setAutoHideCursor(int ms)
{
    m_hider.setDelay(ms);
    if (ms <= 0 && m_hider.reset(m_clock.elapsed()))
        applyCursor();
    scheduleIdleCheck();
}

void TVideoWindow::setScreenSaverHold(std::function<void(bool held)> hold)
{
    m_holdScreenSaver = std::move(hold);
    if (m_holdScreenSaver && m_screenSaverHeld)
        m_holdScreenSaver(true);
}

void TVideoWindow::setNoScreenSaver(bool value)
{
    m_noScreenSaver = value;
    updateScreenSaver();
}

void TVideoWindow::setColor(const QColor& value)
{
    if (value == m_color)
        return;
    m_color = value;
    update();
}

QString TVideoWindow::graphName() const
{
    return objectName().isEmpty() ? QStringLiteral("VideoWindow") : objectName();
}

ElementPtr TVideoWindow::makeSink(const std::shared_ptr<FrameSlot>& slot)
{
    ensureGStreamer();
    ElementPtr bin(GST_ELEMENT(gst_object_ref_sink(gst_bin_new(nullptr))));
    ElementPtr convert = makeElement("videoconvert");
    ElementPtr appsink = makeElement("appsink");
    if (!bin || !convert || !appsink)
        return {};
    gst_bin_add(GST_BIN(bin.get()), convert.get());
    gst_bin_add(GST_BIN(bin.get()), appsink.get());
    gst_element_link(convert.get(), appsink.get());

    CapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr));
    auto* sink = GST_APP_SINK(appsink.get());
    gst_app_sink_set_caps(sink, caps.get());
    gst_app_sink_set_max_buffers(sink, 1);
    gst_app_sink_set_drop(sink, TRUE);
    g_object_set(appsink.get(), "sync", TRUE, "enable-last-sample", FALSE, nullptr);
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &FrameSlot::onSample;
    callbacks.new_preroll = &FrameSlot::onPreroll;
    gst_app_sink_set_callbacks(
        sink, &callbacks, new std::shared_ptr<FrameSlot>(slot),
        [](gpointer held) { delete static_cast<std::shared_ptr<FrameSlot>*>(held); });

    PadPtr target(gst_element_get_static_pad(convert.get(), "sink"));
    GstPad* ghost = gst_ghost_pad_new("sink", target.get());
    // Raw frames that come without a decoder are refused here, before the converter allocates.
    limitFrameSize(ghost);
    gst_pad_add_probe(ghost,
                      GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      &FrameSlot::onFrameOrFlush, new std::shared_ptr<FrameSlot>(slot),
                      [](gpointer held) { delete static_cast<std::shared_ptr<FrameSlot>*>(held); });
    gst_element_add_pad(bin.get(), ghost);
    return bin;
}

MemberSink TVideoWindow::graphSink()
{
    return {[slot = m_slot] { return makeSink(slot); }, [slot = m_slot] { slot->clear(); }};
}

void TVideoWindow::graphMembership(TGraphMembership code)
{
    switch (code) {
    case gmAdding:
        break;
    case gmAdded:
        m_inGraph = true;
        scheduleIdleCheck();
        break;
    case gmRemoving:
        m_playing = false;
        updateScreenSaver();
        break;
    case gmRemoved:
        m_inGraph = false;
        if (m_hider.reset(m_clock.elapsed()))
            applyCursor();
        break;
    }
}

void TVideoWindow::controlEvent(TControlEvent code, int)
{
    m_playing = code == cePlay;
    updateScreenSaver();
}

yearmark::video::SharedSample TVideoWindow::currentSample() const
{
    std::lock_guard lock(m_slot->mutex);
    return m_slot->newest;
}

uint64_t TVideoWindow::framesArrived() const { return m_slot->frames; }

bool TVideoWindow::hasFrame() const { return currentSample() != nullptr; }

QRect TVideoWindow::videoRect() const
{
    SharedSample sample = currentSample();
    return sample ? videoTargetRect(m_aspectRatio, rect(), sampleAspect(sample.get())) : QRect();
}

void TVideoWindow::frameArrived() noexcept
{
    m_slot->updatePosted = false;
    updateScreenRate();
    update();
}

void TVideoWindow::updateScreenRate() noexcept
{
    const QScreen* shownOn = screen();
    m_slot->screenRate = shownOn ? shownOn->refreshRate() : 0.0;
}

void TVideoWindow::paintEvent(QPaintEvent*) noexcept
{
    try {
        QPainter painter(this);
        painter.fillRect(rect(), m_color);
        SharedSample sample = currentSample();
        if (!sample)
            return;
        MappedFrame frame(sample.get());
        if (!frame.valid())
            return;
        const QRect target = videoTargetRect(m_aspectRatio, rect(), frame.aspect());
        if (target.isEmpty())
            return;
        const QRect source = videoSourceRect(m_aspectRatio, frame.size(), frame.aspect(), target);
        painter.drawImage(target, frame.image(), source);
    } catch (...) { }
}

void TVideoWindow::applyCursor()
{
    if (m_hider.hidden())
        setCursor(Qt::BlankCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void TVideoWindow::scheduleIdleCheck()
{
    const int64_t wait = m_hider.msUntilHide(m_clock.elapsed());
    if (wait < 0)
        m_idleTimer.stop();
    else
        m_idleTimer.start(static_cast<int>(wait));
}

void TVideoWindow::idleCheck()
{
    if (m_hider.idle(m_clock.elapsed(), m_inGraph))
        applyCursor();
    else if (m_inGraph)
        scheduleIdleCheck();
}

void TVideoWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_hider.moved(event->position().toPoint(), m_clock.elapsed()))
        applyCursor();
    scheduleIdleCheck();
    QWidget::mouseMoveEvent(event);
}

void TVideoWindow::mousePressEvent(QMouseEvent* event)
{
    if (m_hider.button(event->position().toPoint(), m_clock.elapsed()))
        applyCursor();
    scheduleIdleCheck();
    QWidget::mousePressEvent(event);
}

void TVideoWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_hider.button(event->position().toPoint(), m_clock.elapsed()))
        applyCursor();
    scheduleIdleCheck();
    QWidget::mouseReleaseEvent(event);
}

void TVideoWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateScreenRate();
    updateScreenSaver();
}

void TVideoWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    updateScreenSaver();
}

void TVideoWindow::updateScreenSaver() noexcept
{
    const bool held = m_noScreenSaver && m_playing && isVisible();
    if (held == m_screenSaverHeld)
        return;
    m_screenSaverHeld = held;
    if (m_holdScreenSaver)
        m_holdScreenSaver(held);
}
