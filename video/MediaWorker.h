#pragma once
// Runs the media layer's GStreamer calls one after another on a thread of its own, so that the
// user-interface thread only posts them and never waits for a state change, a file or a device.

#include <functional>
#include <memory>

namespace yearmark::video {

class MediaWorker {
public:
    MediaWorker();
    // Lets the thread end after the jobs already posted, without waiting for it.
    ~MediaWorker();
    MediaWorker(const MediaWorker&) = delete;
    MediaWorker& operator=(const MediaWorker&) = delete;

    // Queues a job; jobs run in the order they were posted. Jobs posted after finish() are
    // dropped.
    void post(std::function<void()> job);
    // Lets the thread end after the jobs already posted and waits at most waitMs for it. True
    // when it has ended; false leaves it running on its own (stuck in a call that does not
    // return), holding only what its jobs hold.
    bool finish(int waitMs);
    // A handle that posts to this worker from any thread, for as long as it runs.
    using Post = std::function<void(std::function<void()>)>;
    Post poster() const;

private:
    struct Queue;
    std::shared_ptr<Queue> m_queue;
};

// Counts the media layer's own threads (workers, sound probes) that are still running, so that
// the program can tell at its end whether one is stuck in a call that never returns.
class MediaThreadCount {
public:
    MediaThreadCount();
    ~MediaThreadCount();
    MediaThreadCount(const MediaThreadCount&) = delete;
    MediaThreadCount& operator=(const MediaThreadCount&) = delete;
    static int running();
};

} // namespace yearmark::video
