#include "platform/main_thread.h"

#include <chrono>

namespace talvoro::platform {

void MainThreadQueue::SetWake(std::function<void()> wake) {
  std::lock_guard lock(mutex_);
  wake_ = std::move(wake);
}

void MainThreadQueue::RunSync(std::function<void()> job) {
  Job entry{std::move(job)};
  std::function<void()> wake;
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(&entry);
    wake = wake_;
  }
  queued_.notify_all();
  if (wake) wake();
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [&] { return entry.finished; });
}

void MainThreadQueue::RunPending() {
  for (;;) {
    Job* job = nullptr;
    {
      std::lock_guard lock(mutex_);
      if (jobs_.empty()) return;
      job = jobs_.front();
      jobs_.pop_front();
    }
    // The job's own errors are its caller's business; the worker must be
    // released whatever happens.
    try {
      job->run();
    } catch (...) {
    }
    {
      std::lock_guard lock(mutex_);
      job->finished = true;
    }
    finished_.notify_all();
  }
}

void MainThreadQueue::WaitUntil(const std::function<bool()>& done, int poll_ms) {
  for (;;) {
    RunPending();
    if (done()) return;
    std::unique_lock lock(mutex_);
    queued_.wait_for(lock, std::chrono::milliseconds(poll_ms), [&] { return !jobs_.empty(); });
  }
}

}  // namespace talvoro::platform
