#include "video/MediaWorker.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace yearmark::video {

namespace {
std::atomic<int> g_running {0};
} // namespace

MediaThreadCount::MediaThreadCount() { ++g_running; }
MediaThreadCount::~MediaThreadCount() { --g_running; }
int MediaThreadCount::running() { return g_running; }

struct MediaWorker::Queue {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool finishing = false;
    bool ended = false;

    void run() noexcept
    {
        ++g_running;
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return finishing || !jobs.empty(); });
            if (jobs.empty())
                break;
            std::function<void()> job = std::move(jobs.front());
            jobs.pop_front();
            lock.unlock();
            try {
                job();
            } catch (...) {
                // A job reports its own failures; nothing may end the thread early.
            }
            job = nullptr; // what the job held goes before the next one starts
            lock.lock();
        }
        --g_running;
        ended = true;
        changed.notify_all();
    }

    void post(std::function<void()> job)
    {
        std::lock_guard lock(mutex);
        if (finishing)
            return;
        jobs.push_back(std::move(job));
        changed.notify_all();
    }
};

MediaWorker::MediaWorker()
    : m_queue(std::make_shared<Queue>())
{
    std::thread([queue = m_queue] { queue->run(); }).detach();
}

MediaWorker::~MediaWorker() { finish(0); }

void MediaWorker::post(std::function<void()> job) { m_queue->post(std::move(job)); }

MediaWorker::Post MediaWorker::poster() const
{
    return [queue = m_queue](std::function<void()> job) { queue->post(std::move(job)); };
}

bool MediaWorker::finish(int waitMs)
{
    std::unique_lock lock(m_queue->mutex);
    m_queue->finishing = true;
    m_queue->changed.notify_all();
    return m_queue->changed.wait_for(lock, std::chrono::milliseconds(waitMs),
                                     [&] { return m_queue->ended; });
}

} // namespace yearmark::video
