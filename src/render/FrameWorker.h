#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace ocuvis {

// A second thread kept for the frames' data layers: starting a thread per frame would cost as
// much as a small frame. Not for use from two threads at once.
class FrameWorker {
  public:
    FrameWorker();
    ~FrameWorker();
    FrameWorker(const FrameWorker&) = delete;
    FrameWorker& operator=(const FrameWorker&) = delete;

    // Runs job(0) on the calling thread and job(1) on the worker, if the worker starts before
    // the caller's run ends; the job takes its work from a shared counter, so that a worker
    // that is late (the machine busy) finds none left and is not waited for. Returns when both
    // runs have ended; whatever either wrote is then visible to the caller. A run that throws
    // ends early; once both have ended, the caller's exception, else the worker's, is thrown
    // on, and the worker is ready for the next job.
    void Share(const std::function<void(int)>& job);

    using Clock = std::chrono::steady_clock;
    // Of the last Share: how long it took, and how much of that time the system held a thread
    // off the processor that the share waited for (the worker during its run, the caller
    // before it woke to the worker's end).
    Clock::duration lastTime{}, lastHeld{};

    // Whether this machine can run two threads at once.
    static bool TwoCoresAvailable();

  private:
    void Loop();
    // Ends the share: takes the job back if the worker has not started it, else waits for its
    // run to end. Whether the worker ran it.
    bool Finish();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void(int)>* job_ = nullptr;
    bool started_ = false;  // the worker has taken up job_
    bool stopping_ = false;
    std::exception_ptr workerError_;
    std::atomic<bool> ended_{false};  // the worker's run has ended
    Clock::time_point workerEnded_{};
    Clock::duration workerHeld_{};
    std::thread thread_;
};

}  // namespace ocuvis
