// How late after each wall-clock second the title shows the new count: the running main window
// beside a bare 188 ms timer doing the same arithmetic, over the same minute in the same
// process. Printed: median and maximum offset of each change from its second, beside the goal.
#include "app/Main.h"
#include "countdown/Countdown.h"
#include "display/Label3D.h"

#include <QApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Milliseconds past the current wall-clock second.
int offsetNow() { return int(QDateTime::currentMSecsSinceEpoch() % 1000); }

// Records the offset of every repaint of the title that shows a new text.
class CaptionWatch : public QObject {
public:
    explicit CaptionWatch(TLabel3D* title)
        : m_title(title)
    {
        title->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_title->caption() != m_last) {
            if (!m_last.isEmpty())
                offsets.push_back(offsetNow());
            m_last = m_title->caption();
        }
        return false;
    }
    std::vector<int> offsets;

private:
    TLabel3D* m_title;
    QString m_last;
};

void print(const char* what, std::vector<int> v)
{
    if (v.empty()) {
        std::printf("%-44s no change seen\n", what);
        return;
    }
    std::sort(v.begin(), v.end());
    std::printf("%-44s median %4d  max %4d  (%zu changes)   goal <= 20 ms\n", what,
                v[(v.size() - 1) / 2], v.back(), v.size());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int seconds = std::max(5, qEnvironmentVariableIntValue("BENCH_SECONDS") > 0
                                        ? qEnvironmentVariableIntValue("BENCH_SECONDS")
                                        : 60);
    QTemporaryDir dir;
    SystemClock clock;
    TFormMain window(clock, dir.filePath(QStringLiteral("yearmark")),
                     dir.filePath(QStringLiteral("yearmark.reg")));
    window.resize(1280, 720);
    window.show();
    CaptionWatch watch(window.Titel);

    // The heartbeat alone: the same reading of the clock every 188 ms.
    std::vector<int> heartbeat;
    const TDateTime target = newYearMoment(clock);
    int64_t last = -1;
    QTimer timer;
    timer.setInterval(188);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const int64_t r = remainingSeconds(nowValue(clock), target);
        if (last >= 0 && r != last)
            heartbeat.push_back(offsetNow());
        last = r;
    });
    timer.start();

    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("offset of each change of the caption from its wall-clock second, %d s\n", seconds);
    print("program (heartbeat and boundary timer), ms", watch.offsets);
    print("188 ms heartbeat alone, ms", heartbeat);
    return 0;
}
