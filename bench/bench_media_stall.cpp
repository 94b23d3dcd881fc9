// How long the user-interface thread is kept from its event loop by the zero moment's media: the
// running main window with a 1920 x 1080 clip with sound beside it, from ten seconds before zero
// (the media module loaded, GStreamer started, the video made ready, the picture decoded) through
// the zero moment and three seconds of the video, to the end of the program. Printed: the longest
// stall of each stage, the time from the zero tick to the video on screen, and how long the end
// waits for the media, each beside its goal. Usage (after building yearmark, whose media module
// it loads like the program): bench_media_stall [seconds of video, default 3]
#include "app/Main.h"
#include "app/MediaModule.h"
#include "app/ZeroMoment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// A wall clock the benchmark sets.
class SetClock final : public Clock {
public:
    CalendarTime now() const override { return at; }
    CalendarTime at {2026, 12, 31, 23, 59, 51, 0};
};

// The longest time between two firings of a 1 ms timer: how long the event loop was away.
class StallWatch : public QObject {
public:
    StallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            longest = std::max(longest, double(now - m_last) / 1e6);
            m_last = now;
        });
        m_clock.start();
        m_timer.start(1);
    }
    void reset()
    {
        longest = 0;
        m_last = m_clock.nsecsElapsed();
    }
    double longest = 0;

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
};

// Runs the event loop until done() or timeoutMs; the milliseconds it took, -1 on time-out.
double runUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    return done() ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int playSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QTemporaryDir dir;
    // Made by a child, so that GStreamer starts in this process only where the program starts it.
    const QString launch =
        "videotestsrc num-buffers=125 pattern=ball ! "
        "video/x-raw,width=1920,height=1080,framerate=25/1 ! jpegenc ! queue ! avimux name=m ! "
        "filesink location=" +
        dir.filePath("0.avi") +
        " audiotestsrc num-buffers=250 samplesperbuffer=882 ! "
        "audio/x-raw,rate=44100,channels=2 ! queue ! m.";
    if (QProcess::execute("gst-launch-1.0", QProcess::splitCommand("-q " + launch)) != 0) {
        std::printf("could not make the clip\n");
        return 1;
    }
    QImage picture(1920, 1080, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(dir.filePath("0.jpg"), "JPEG", 90);

    SetClock clock;
    TFormMain window(clock, dir.filePath("yearmark"), dir.filePath("yearmark.reg"));
    const QString exe = QCoreApplication::applicationFilePath();
    window.setMediaLoader([exe] { return loadMediaModule(exe); });
    window.resize(1920, 1080);
    window.show();
    StallWatch watch;
    ZeroMoment& zero = *window.zeroMoment();

    const double readyMs =
        runUntil([&] { return zero.phase() == ZeroMoment::Phase::Prepared; }, 9000);
    const double preparing = watch.longest;
    watch.reset();
    clock.at = {2027, 1, 1, 0, 0, 0, 100};
    window.Timer1Timer(); // the zero tick itself, measured from here
    const double shownMs =
        runUntil([&] { return zero.phase() == ZeroMoment::Phase::Looping; }, 5000);
    runUntil([] { return false; }, playSeconds * 1000);
    const double playing = watch.longest;
    QElapsedTimer end;
    end.start();
    window.FormDestroy(false);
    const double endMs = double(end.nsecsElapsed()) / 1e6;

    std::printf("platform %s; video ready %.0f ms after the window came up (-1: not within 9 s)\n",
                qPrintable(QApplication::platformName()), readyMs);
    std::printf("longest stall while the media are made ready:   %6.1f ms   goal < 50 ms\n",
                preparing);
    std::printf("zero tick -> video on screen:                   %6.1f ms   goal < 40 ms\n",
                shownMs);
    std::printf("longest stall from zero through %d s of video:   %6.1f ms   goal < 50 ms\n",
                playSeconds, playing);
    std::printf("the end, saving and stopping the media:         %6.1f ms   goal < 500 ms\n",
                endMs);
    std::printf("media threads all ended: %s\n", window.mediaSettled() ? "yes" : "no");
    return 0;
}
