// Threads started on another core: the work runs once, joins wait for it, and a moved or
// dropped thread is still waited for.
#include <gtest/gtest.h>

#include <sched.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/OtherCore.h"

namespace {

using isotri::OtherCoreThread;

TEST(OtherCoreThread, RunsTheWorkOnceAndJoinWaitsForIt) {
    std::atomic<int> runs{0};
    OtherCoreThread thread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++runs;
    });
    EXPECT_TRUE(thread.joinable());
    thread.join();
    EXPECT_FALSE(thread.joinable());
    EXPECT_EQ(runs, 1);
    thread.join();  // a second join is harmless
    EXPECT_EQ(runs, 1);
}

TEST(OtherCoreThread, MovedOrDroppedThreadsAreWaitedFor) {
    std::atomic<int> runs{0};
    auto work = [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++runs;
    };
    {
        OtherCoreThread first(work);
        OtherCoreThread second(std::move(first));
        EXPECT_FALSE(first.joinable());
        EXPECT_TRUE(second.joinable());
        OtherCoreThread third;
        third = std::move(second);
        // The first work is waited for, not left running, when `third` takes another.
        third = OtherCoreThread(work);
        EXPECT_GE(runs, 1);
    }
    EXPECT_EQ(runs, 2);
}

TEST(OtherCoreThread, MayRunAnywhereOnceStarted) {
    cpu_set_t before, inside;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    OtherCoreThread thread([&] { sched_getaffinity(0, sizeof inside, &inside); });
    thread.join();
    EXPECT_TRUE(CPU_EQUAL(&before, &inside));
}

}  // namespace
