#include "render/FrameWorker.h"

#include <algorithm>

#ifdef __linux__
#include <sched.h>
#include <time.h>
#endif

namespace ocuvis {

namespace {

// The processor time of the calling thread; zero where the system cannot tell.
FrameWorker::Clock::duration ThreadCpuTime() {
#ifdef __linux__
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0)
        return std::chrono::duration_cast<FrameWorker::Clock::duration>(
            std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec));
#endif
    return {};
}

// A moment's rest in a spin, which leaves the core to its other thread.
inline void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

FrameWorker::FrameWorker() : thread_([this] { Loop(); }) {}

FrameWorker::~FrameWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void FrameWorker::Share(const std::function<void(int)>& job) {
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        started_ = false;
        workerError_ = nullptr;
    }
    const auto start = Clock::now();
    wake_.notify_one();
    try {
        job(0);
    } catch (...) {
        // The worker may be running the job, which lives in the caller's frame: it must be
        // done with it before the exception leaves.
        Finish();
        throw;
    }
    const bool started = Finish();
    const auto finished = Clock::now();
    lastTime = finished - start;
    // The worker's run has ended, or never began: what it wrote is in, and it writes nothing
    // more until the next job, so no lock (it may still hold it for a moment). A caller that
    // slept until the worker ended may have waited longer for the system to wake it.
    const auto woken = started ? std::max(finished - workerEnded_, {}) : Clock::duration{};
    lastHeld = workerHeld_ + woken;
    workerHeld_ = {};
    std::exception_ptr error;
    error.swap(workerError_);
    if (error) std::rethrow_exception(error);
}

bool FrameWorker::Finish() {
    {
        std::lock_guard lock(mutex_);
        if (!started_) {
            job_ = nullptr;  // taken back: everything is done
            return false;
        }
    }
    // Most runs end within a band's time of the caller's (a few hundred microseconds at most),
    // and a caller that sleeps must then wait for the system to wake it, about a hundred more
    // under virtualisation: it looks for the end for a millisecond first.
    const auto until = Clock::now() + std::chrono::microseconds(1000);
    while (!ended_.load(std::memory_order_acquire) && Clock::now() < until)
        Pause();
    // Seen ended, the worker may still hold the lock on its way to waiting, and taking it
    // then would put this thread to sleep until the system wakes it.
    if (ended_.load(std::memory_order_acquire)) return true;
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return job_ == nullptr; });
    return true;
}

void FrameWorker::Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || (job_ != nullptr && !started_); });
        if (stopping_) return;
        started_ = true;
        ended_.store(false, std::memory_order_relaxed);
        const std::function<void(int)>* job = job_;
        lock.unlock();
        std::exception_ptr error;
        const auto wallStart = Clock::now();
        const auto cpuStart = ThreadCpuTime();
        try {
            (*job)(1);
        } catch (...) {
            error = std::current_exception();
        }
        const auto cpu = ThreadCpuTime() - cpuStart;
        lock.lock();
        workerError_ = error;
        workerEnded_ = Clock::now();
        workerHeld_ = std::max(workerEnded_ - wallStart - cpu, Clock::duration{});
        job_ = nullptr;
        ended_.store(true, std::memory_order_release);
        done_.notify_one();
    }
}

bool FrameWorker::TwoCoresAvailable() {
#ifdef __linux__
    // The cores this process may use, which a container or taskset can make fewer than the
    // machine has.
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set) >= 2;
#endif
    return std::thread::hardware_concurrency() >= 2;
}

}  // namespace ocuvis
