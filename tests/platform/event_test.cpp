// The event behind the engine hand-over: automatic and manual reset, timed waits.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/event.h"

using namespace vostil;
using namespace std::chrono_literals;

TEST(Event, AutomaticResetReleasesExactlyOneWaiterAndClearsItself) {
    Event event(false, false);
    std::atomic<int> released{0};
    std::thread a([&] { event.wait(); ++released; });
    std::thread b([&] { event.wait(); ++released; });
    std::this_thread::sleep_for(50ms);
    event.set();
    // One waiter gets through; the other stays blocked until a second set.
    for (int i = 0; i < 200 && released.load() < 1; ++i) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(released.load(), 1);
    event.set();
    a.join();
    b.join();
    EXPECT_EQ(released.load(), 2);
    EXPECT_FALSE(event.waitFor(10)) << "the second release must have cleared the event";
}

TEST(Event, SetBeforeWaitIsNotLost) {
    Event event(false, false);
    event.set();
    EXPECT_TRUE(event.waitFor(1000));
    EXPECT_FALSE(event.waitFor(10));
}

TEST(Event, ManualResetStaysSetUntilReset) {
    Event event(true, false);
    event.set();
    EXPECT_TRUE(event.waitFor(10));
    EXPECT_TRUE(event.waitFor(10));
    event.wait();
    event.reset();
    EXPECT_FALSE(event.waitFor(10));
}

TEST(Event, ManualResetReleasesEveryWaiter) {
    Event event(true, false);
    std::atomic<int> released{0};
    std::thread a([&] { event.wait(); ++released; });
    std::thread b([&] { event.wait(); ++released; });
    event.set();
    a.join();
    b.join();
    EXPECT_EQ(released.load(), 2);
}

TEST(Event, TimedWaitReturnsAtTheTimeOut) {
    Event event(false, false);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.waitFor(100));
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 90ms);
    EXPECT_LT(waited, 10s);  // generous: only a hang fails
}

TEST(Event, TimedWaitReturnsEarlyWhenSet) {
    Event event(true, false);
    std::thread setter([&] {
        std::this_thread::sleep_for(50ms);
        event.set();
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(event.waitFor(60000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    setter.join();
}
