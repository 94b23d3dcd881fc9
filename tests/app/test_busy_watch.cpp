// The opt-in measure of the UI thread's stretches of work: what it writes when a handler keeps
// the thread from its event loop for a while.
#include "app/BusyWatch.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

struct Written {
    double longestMs = 0; // of the stretches written when they ended
    int goingOn = 0;      // lines written while a stretch went on
};

Written read(const QString& path)
{
    Written w;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return w;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 2)
            continue;
        if (fields.size() > 2)
            ++w.goingOn;
        else
            w.longestMs = std::max(w.longestMs, fields[1].toDouble());
    }
    return w;
}

TEST(BusyWatch, WritesEachLongStretchAndAStretchThatGoesOnWhileItLasts)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    struct Case {
        int busyMs;
        int goingOn; // written at 100 and 200 ms of a longer stretch
    };
    for (const Case c : {Case {30, 0}, Case {300, 2}}) {
        SCOPED_TRACE(c.busyMs);
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("busy.log"));
        qputenv("YEARMARK_BUSY_LOG", QFile::encodeName(log));
        {
            const BusyWatch watch;
            QTimer::singleShot(
                0, [&c] { std::this_thread::sleep_for(std::chrono::milliseconds(c.busyMs)); });
            QTimer::singleShot(c.busyMs + 50, [] { QCoreApplication::quit(); });
            QCoreApplication::exec();
        }
        qunsetenv("YEARMARK_BUSY_LOG");
        const Written w = read(log);
        EXPECT_GE(w.longestMs, c.busyMs);
        EXPECT_LT(w.longestMs, c.busyMs * 2 + 50);
        EXPECT_EQ(w.goingOn, c.goingOn);
    }
}

} // namespace
