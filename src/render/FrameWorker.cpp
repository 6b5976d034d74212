#include "render/FrameWorker.h"

#ifdef __linux__
#include <sched.h>
#endif

namespace ocuvis {

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
    wake_.notify_one();
    const auto start = std::chrono::steady_clock::now();
    try {
        job(0);
    } catch (...) {
        // The worker may be running the job, which lives in the caller's frame: it must be
        // done with it before the exception leaves.
        Finish();
        throw;
    }
    const auto ran = std::chrono::steady_clock::now();
    Finish();
    lastRun = ran - start;
    lastWait = std::chrono::steady_clock::now() - ran;
    std::exception_ptr error;
    {
        std::lock_guard lock(mutex_);
        error.swap(workerError_);
    }
    if (error) std::rethrow_exception(error);
}

void FrameWorker::Finish() {
    std::unique_lock lock(mutex_);
    if (!started_) {
        job_ = nullptr;  // taken back: everything is done
        return;
    }
    done_.wait(lock, [this] { return job_ == nullptr; });
}

void FrameWorker::Loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || (job_ != nullptr && !started_); });
        if (stopping_) return;
        started_ = true;
        const std::function<void(int)>* job = job_;
        lock.unlock();
        std::exception_ptr error;
        try {
            (*job)(1);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        workerError_ = error;
        job_ = nullptr;
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
