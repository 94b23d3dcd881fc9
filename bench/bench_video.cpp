// CPU of one core that the video window uses while it plays a 1920 x 1080, 25 fps clip in a
// 1920 x 1080 window. Usage: bench_video [clip.avi]; without a clip it makes a 10 s MJPEG clip.
// Printed beside the goal: no more than a stock GStreamer player on the same file
// (bench_video.sh runs both under the same X server).
#include "app/ScreenSaverInhibitor.h"
#include "video/GstOwners.h"
#include "video/GstRuntime.h"
#include "video/MediaGraph.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

using namespace yearmark::video;

namespace {
// Counts the window's repaints: each new frame asks for one, so this is the frames a viewer saw.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool makeClip(const QString& path)
{
    ensureGStreamer();
    const std::string launch = "videotestsrc num-buffers=250 pattern=ball ! "
                               "video/x-raw,width=1920,height=1080,framerate=25/1 ! "
                               "jpegenc quality=85 ! avimux ! filesink location=\"" +
                               QFile::encodeName(path).toStdString() + "\"";
    GError* raw = nullptr;
    GstElement* made = gst_parse_launch(launch.c_str(), &raw);
    GErrorPtr error(raw);
    if (made)
        gst_object_ref_sink(made);
    ElementPtr pipeline(made);
    if (!pipeline || error)
        return false;
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    MessagePtr msg(gst_bus_timed_pop_filtered(bus.get(), 300 * GST_SECOND,
                                              GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return msg && GST_MESSAGE_TYPE(msg.get()) == GST_MESSAGE_EOS;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    QString clip = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path() + "/bench1080.avi";
    if (argc <= 1) {
        std::printf("making a 10 s 1920x1080 25 fps MJPEG clip...\n");
        if (!makeClip(clip)) {
            std::printf("could not make the clip\n");
            return 1;
        }
    }
    TFilterGraph graph;
    TVideoWindow window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setGeometry(0, 0, 1920, 1080);
    window.setFilterGraph(&graph);
    window.setAutoHideCursor(10);
    window.setNoScreenSaver(true);
    ScreenSaverInhibitor hold;
    window.setScreenSaverHold([&hold](bool held) { hold.setHeld(held); });
    window.show();
    PaintCounter counter;
    window.installEventFilter(&counter);
    bool done = false;
    QObject::connect(&graph, &TFilterGraph::graphComplete, [&] { done = true; });
    try {
        graph.setActive(true);
        {
            // The render comes back as prepared or failed; nothing before it is measured.
            QEventLoop prepared;
            QObject::connect(&graph, &TFilterGraph::prepared, &prepared, &QEventLoop::quit);
            QObject::connect(&graph, &TFilterGraph::renderFailed, &prepared,
                             [&](quint32, const QString& text) {
                                 std::printf("failed: %s\n", qPrintable(text));
                                 prepared.exit(1);
                             });
            graph.RenderFile(clip);
            if (prepared.exec() != 0)
                return 1;
        }
        const double duration = double(graph.duration()) / 1e9;
        QEventLoop loop;
        QObject::connect(&graph, &TFilterGraph::graphComplete, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const int paints0 = counter.paints;
        graph.Play();
        loop.exec();
        const int painted = counter.paints - paints0;
        const double cpu = cpuSeconds() - cpu0;
        const double seconds = double(wall.elapsed()) / 1000.0;
        std::printf("platform %s, clip %.1f s, played in %.2f s%s, %d repaints (%.1f per second)\n",
                    qPrintable(QApplication::platformName()), duration, seconds,
                    done ? "" : " (did not complete)", painted, painted / seconds);
        std::printf("screen saver held during playback: %s, suspended by the X server: %s\n",
                    window.screenSaverHeld() ? "yes" : "no", hold.effective() ? "yes" : "no");
        std::printf("video window: %.1f %% of one core (goal: not above a stock GStreamer player "
                    "on the same clip)\n",
                    100.0 * cpu / seconds);
    } catch (const std::exception& e) {
        std::printf("failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
