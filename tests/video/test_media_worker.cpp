// The media thread: jobs run in order away from the caller, and ending it waits no longer than
// asked, leaving a thread stuck in a call behind.
#include "video/MediaWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace yearmark::video;

TEST(MediaWorker, RunsTheJobsInTheOrderPostedAwayFromTheCaller)
{
    MediaWorker worker;
    std::vector<int> order;
    std::thread::id ranOn;
    for (int i = 0; i < 5; ++i)
        worker.poster()([&, i] {
            order.push_back(i);
            ranOn = std::this_thread::get_id();
        });
    ASSERT_TRUE(worker.finish(1000));
    EXPECT_EQ(order, (std::vector<int> {0, 1, 2, 3, 4}));
    EXPECT_NE(ranOn, std::this_thread::get_id());
    worker.post([&] { order.push_back(5); });
    EXPECT_EQ(order.size(), 5u) << "nothing runs after the end";
}

TEST(MediaWorker, EndingLeavesAStuckThreadBehindAfterTheWaitAskedFor)
{
    const int before = MediaThreadCount::running();
    std::atomic<bool> release {false};
    {
        MediaWorker worker;
        worker.post([&] {
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(worker.finish(50));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_EQ(MediaThreadCount::running(), before + 1);
    }
    release = true;
    for (int i = 0; i < 1000 && MediaThreadCount::running() != before; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(MediaThreadCount::running(), before) << "it ends by itself once the call returns";
}
