// The frame's second thread: a share ends only when both runs have, whichever of them throws.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "render/FrameWorker.h"

namespace ocuvis::test {
namespace {

// Waits for a flag set by the other thread, for at most ten seconds.
bool Reached(const std::atomic<bool>& flag) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!flag.load()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

struct ThrowCase {
    const char* name;
    bool callerThrows, workerThrows;
    const char* thrown;  // the message that leaves Share
};

TEST(FrameWorker, AShareEndsWithBothRunsAndPassesOnWhatEitherThrew) {
    const ThrowCase cases[] = {
        {"caller", true, false, "caller"},
        {"worker", false, true, "worker"},
        {"both: the caller's first", true, true, "caller"},
    };
    FrameWorker worker;
    for (const ThrowCase& c : cases) {
        std::atomic<bool> workerStarted{false}, callerEnded{false}, workerEnded{false};
        std::atomic<bool> waitedTooLong{false};
        std::string thrown = "nothing";
        try {
            worker.Share([&](int thread) {
                if (thread == 1) {
                    workerStarted = true;
                    if (!Reached(callerEnded)) waitedTooLong = true;
                    // Long enough that a share which did not wait for this run would have
                    // been left before it ends.
                    std::atomic<int> spin{0};
                    while (spin.fetch_add(1, std::memory_order_relaxed) < 1'000'000) {
                    }
                    workerEnded = true;
                    if (c.workerThrows) throw std::runtime_error("worker");
                    return;
                }
                struct Ended {
                    std::atomic<bool>& flag;
                    ~Ended() { flag = true; }
                } ended{callerEnded};
                if (!Reached(workerStarted)) waitedTooLong = true;
                if (c.callerThrows) throw std::runtime_error("caller");
            });
        } catch (const std::runtime_error& e) {
            thrown = e.what();
        }
        ASSERT_FALSE(waitedTooLong) << c.name;
        EXPECT_TRUE(workerEnded) << c.name;
        EXPECT_EQ(thrown, c.thrown) << c.name;

        // The worker takes the next job as if nothing had happened.
        std::atomic<int> next{0}, done{0};
        worker.Share([&](int) {
            while (next.fetch_add(1) < 1000)
                done.fetch_add(1);
        });
        EXPECT_EQ(done.load(), 1000) << c.name;
    }
}

// A worker kept from its processor (here asleep) makes the share count as held up by that
// long.
TEST(FrameWorker, TellsHowLongAShareWaitedForAThreadOffItsProcessor) {
    using namespace std::chrono_literals;
    FrameWorker worker;
    std::atomic<bool> workerStarted{false};
    worker.Share([&](int thread) {
        if (thread == 1) {
            workerStarted = true;
            std::this_thread::sleep_for(20ms);
        } else {
            ASSERT_TRUE(Reached(workerStarted));
        }
    });
    EXPECT_GE(worker.lastHeld, 15ms);
    EXPECT_GE(worker.lastTime, worker.lastHeld);
}

}  // namespace
}  // namespace ocuvis::test
