#include "app/BusyWatch.h"
#include "base/SharedLibrary.h"

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {

// The event loop's library, reached by name: the program does not link it, Qt's event
// dispatcher has already loaded it. Its main context's poll function is the one place where
// the UI thread waits; replacing it with one that notes the time on the way in and out tells
// exactly how long each stretch of work between two waits took.
struct PollFd;
using PollFunction = int (*)(PollFd* fds, unsigned count, int timeout);
using ContextDefault = void* (*)();
using GetPoll = PollFunction (*)(void* context);
using SetPoll = void (*)(void* context, PollFunction function);

struct Watch {
    int fd = -1;
    pthread_t thread {};
    PollFunction original = nullptr;
    void* context = nullptr;
    SetPoll setPoll = nullptr;
    // When the UI thread's last wait ended (monotonic and wall clock, microseconds); 0 while
    // it waits.
    std::atomic<long long> awoke {0};
    std::atomic<long long> awokeWall {0};
};

Watch g_watch;

long long microseconds(clockid_t clock)
{
    timespec t {};
    clock_gettime(clock, &t);
    return t.tv_sec * 1000000LL + t.tv_nsec / 1000;
}

void writeStretch(long long wallStart, long long busy, const char* note)
{
    // Written by hand: the program's locale may write a decimal comma.
    char line[80];
    const int n =
        std::snprintf(line, sizeof line, "%lld.%06lld %lld.%03lld%s\n", wallStart / 1000000,
                      wallStart % 1000000, busy / 1000, busy % 1000, note);
    if (n > 0 && ::write(g_watch.fd, line, size_t(n)) < 0) {
        // A full disk loses a line of the measurement, nothing else.
    }
}

int watchedPoll(PollFd* fds, unsigned count, int timeout)
{
    const bool uiThread = pthread_equal(pthread_self(), g_watch.thread) != 0;
    if (uiThread) {
        const long long awoke = g_watch.awoke.exchange(0);
        const long long busy = microseconds(CLOCK_MONOTONIC) - awoke;
        if (awoke != 0 && busy >= 1000)
            writeStretch(g_watch.awokeWall.load(), busy, "");
    }
    const int result = g_watch.original(fds, count, timeout);
    if (uiThread) {
        g_watch.awokeWall.store(microseconds(CLOCK_REALTIME));
        g_watch.awoke.store(microseconds(CLOCK_MONOTONIC));
    }
    return result;
}

// Writes a stretch that is still going on at 100 ms, 200 ms, 400 ms … of it.
void lookOut(const std::stop_token& stop)
{
    long long stretch = 0, next = 0;
    while (!stop.stop_requested()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const long long awoke = g_watch.awoke.load();
        if (awoke != stretch) {
            stretch = awoke;
            next = 100000;
        }
        const long long busy = microseconds(CLOCK_MONOTONIC) - awoke;
        if (awoke != 0 && busy >= next) {
            writeStretch(g_watch.awokeWall.load(), busy, " going on");
            next *= 2;
        }
    }
}

} // namespace

BusyWatch::BusyWatch()
{
    const QByteArray path = qgetenv("YEARMARK_BUSY_LOG");
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (path.isEmpty() || !dispatcher || !dispatcher->inherits("QEventDispatcherGlib"))
        return;
    SharedLibrary glib(nullptr);
    ContextDefault contextDefault = nullptr;
    GetPoll getPoll = nullptr;
    SetPoll setPoll = nullptr;
    if (!glib.bind(contextDefault, "g_main_context_default") ||
        !glib.bind(getPoll, "g_main_context_get_poll_func") ||
        !glib.bind(setPoll, "g_main_context_set_poll_func"))
        return;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    g_watch.fd = fd;
    g_watch.thread = pthread_self();
    g_watch.context = contextDefault();
    g_watch.original = getPoll(g_watch.context);
    g_watch.setPoll = setPoll;
    setPoll(g_watch.context, watchedPoll);
    m_lookout = std::jthread(lookOut);
}

BusyWatch::~BusyWatch()
{
    if (g_watch.fd < 0)
        return;
    m_lookout = std::jthread(); // asks it to stop and waits for it
    g_watch.setPoll(g_watch.context, g_watch.original);
    ::close(g_watch.fd);
    g_watch.fd = -1;
    g_watch.awoke.store(0);
}
