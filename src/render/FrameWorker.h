#pragma once

#include <condition_variable>
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

    // Runs job(1) on the worker and job(0) on the calling thread, and returns when both have
    // finished; whatever either wrote is then visible to the caller.
    void RunPair(const std::function<void(int)>& job);

    // Whether this machine can run two threads at once.
    static bool TwoCoresAvailable();

  private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void(int)>* job_ = nullptr;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace ocuvis
