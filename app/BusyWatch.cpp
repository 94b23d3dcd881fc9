#include "app/BusyWatch.h"

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <ctime>
#include <dlfcn.h>
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
    timespec awoke {}; // monotonic: when the last wait ended
    timespec awokeWall {};
    bool awake = false;
};

Watch g_watch;

long long microsecondsBetween(const timespec& a, const timespec& b)
{
    return (b.tv_sec - a.tv_sec) * 1000000LL + (b.tv_nsec - a.tv_nsec) / 1000;
}

int watchedPoll(PollFd* fds, unsigned count, int timeout)
{
    const bool uiThread = pthread_equal(pthread_self(), g_watch.thread) != 0;
    if (uiThread && g_watch.awake) {
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long busy = microsecondsBetween(g_watch.awoke, now);
        if (busy >= 1000) {
            // Written by hand: the program's locale may write a decimal comma.
            char line[64];
            const int n = std::snprintf(line, sizeof line, "%lld.%06ld %lld.%03lld\n",
                                        static_cast<long long>(g_watch.awokeWall.tv_sec),
                                        g_watch.awokeWall.tv_nsec / 1000, busy / 1000, busy % 1000);
            if (n > 0 && ::write(g_watch.fd, line, size_t(n)) < 0) {
                // A full disk loses a line of the measurement, nothing else.
            }
        }
    }
    const int result = g_watch.original(fds, count, timeout);
    if (uiThread) {
        clock_gettime(CLOCK_MONOTONIC, &g_watch.awoke);
        clock_gettime(CLOCK_REALTIME, &g_watch.awokeWall);
        g_watch.awake = true;
    }
    return result;
}

} // namespace

BusyWatch::BusyWatch()
{
    const QByteArray path = qgetenv("YEARMARK_BUSY_LOG");
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (path.isEmpty() || !dispatcher || !dispatcher->inherits("QEventDispatcherGlib"))
        return;
    const auto contextDefault =
        reinterpret_cast<ContextDefault>(dlsym(RTLD_DEFAULT, "g_main_context_default"));
    const auto getPoll =
        reinterpret_cast<GetPoll>(dlsym(RTLD_DEFAULT, "g_main_context_get_poll_func"));
    const auto setPoll =
        reinterpret_cast<SetPoll>(dlsym(RTLD_DEFAULT, "g_main_context_set_poll_func"));
    if (!contextDefault || !getPoll || !setPoll)
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
}

BusyWatch::~BusyWatch()
{
    if (g_watch.fd < 0)
        return;
    g_watch.setPoll(g_watch.context, g_watch.original);
    ::close(g_watch.fd);
    g_watch = Watch {};
}
