// Hands work from a worker thread to the main thread and waits for it: the one
// primitive the receiver's read thread uses to deliver a report.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace talvoro::platform {

class MainThreadQueue {
 public:
  // The platform's wake-up: makes the main thread call RunPending() soon
  // (for instance by posting a message to a window of the main thread).
  void SetWake(std::function<void()> wake);

  // From a worker thread: runs `job` on the main thread and returns once it
  // has returned.
  void RunSync(std::function<void()> job);

  // Main thread: runs every job queued so far, in order.
  void RunPending();

  // Main thread: waits until `done()` holds, running queued jobs meanwhile, so
  // that a worker blocked in RunSync can finish (for instance while the main
  // thread waits for that worker to end).
  void WaitUntil(const std::function<bool()>& done, int poll_ms = 5);

 private:
  struct Job {
    std::function<void()> run;
    bool finished = false;
  };

  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable finished_;
  std::deque<Job*> jobs_;
  std::function<void()> wake_;
};

}  // namespace talvoro::platform
