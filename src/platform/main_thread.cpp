#include "platform/main_thread.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>

namespace talvoro::platform {

// A job lives on its worker's stack while the worker waits in RunSync.
struct MainThreadQueue::Job {
  std::function<void()> run;
  std::function<bool()> abandoned;
  bool done = false;  // ran or dropped: the worker may go (under the lock)
  bool ran = false;
};

struct MainThreadQueue::Core {
  std::mutex mutex;
  std::condition_variable queued;    // a job was queued
  std::condition_variable finished;  // a job is done
  std::deque<Job*> jobs;
  std::uint64_t arrivals = 0;  // jobs queued so far
  bool closed = false;         // the queue is gone
  std::function<void()> wake;
};

bool MainThreadQueue::Sender::RunSync(std::function<void()> job,
                                      std::function<bool()> abandoned) const {
  if (abandoned && abandoned()) return false;
  Core& core = *core_;
  Job entry{std::move(job), std::move(abandoned)};
  std::function<void()> wake;
  {
    std::lock_guard lock(core.mutex);
    if (core.closed) return false;
    core.jobs.push_back(&entry);
    ++core.arrivals;
    wake = core.wake;
  }
  core.queued.notify_all();
  if (wake) wake();
  std::unique_lock lock(core.mutex);
  core.finished.wait(lock, [&] { return entry.done; });
  return entry.ran;
}

MainThreadQueue::MainThreadQueue() : core_(std::make_shared<Core>()) {}

MainThreadQueue::~MainThreadQueue() {
  std::function<void()> wake;
  {
    std::lock_guard lock(core_->mutex);
    core_->closed = true;
    for (Job* job : core_->jobs) job->done = true;
    core_->jobs.clear();
    wake = std::move(core_->wake);
    core_->wake = nullptr;
  }
  core_->finished.notify_all();
}

void MainThreadQueue::SetWake(std::function<void()> wake) {
  std::lock_guard lock(core_->mutex);
  core_->wake = std::move(wake);
}

void MainThreadQueue::SetErrorSink(std::function<void(const std::string&)> sink) {
  error_sink_ = std::move(sink);
}

MainThreadQueue::Job* MainThreadQueue::Take(bool abandoned_only) {
  std::lock_guard lock(core_->mutex);
  auto& jobs = core_->jobs;
  for (auto it = jobs.begin(); it != jobs.end(); ++it) {
    Job* job = *it;
    if (abandoned_only && !(job->abandoned && job->abandoned())) continue;
    jobs.erase(it);
    return job;
  }
  return nullptr;
}

void MainThreadQueue::Run(Job& job) {
  std::optional<std::string> error;
  try {
    job.run();
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "Erreur inattendue";
  }
  // The worker is released whatever happened. `job` belongs to the worker and
  // may be gone as soon as the lock is released.
  {
    std::lock_guard lock(core_->mutex);
    job.ran = true;
    job.done = true;
  }
  core_->finished.notify_all();
  if (error) Report(*error);
}

void MainThreadQueue::Report(const std::string& error) {
  if (!error_sink_) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return;
  }
  // The sink is the last resort: an error inside it has nowhere to go, and
  // must not leave the queue half-way through a pass.
  try {
    auto sink = error_sink_;  // the sink may replace itself
    sink(error);
  } catch (...) {
  }
}

void MainThreadQueue::RunPending() {
  // From inside a job (a box it shows pumps the wake-up message): the pass
  // running that job takes the next one once it has returned. Inside a box
  // opened by anything else: the box's closing asks for the wake-up again.
  if (Holding()) return;
  struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
  } running(running_);
  while (modal_depth_ == 0 && serving_) {
    Job* job = Take(false);
    if (!job) break;
    Run(*job);
  }
}

void MainThreadQueue::EnterModal() {
  ++modal_depth_;
}

void MainThreadQueue::LeaveModal() {
  if (modal_depth_ == 0 || --modal_depth_ > 0) return;
  std::function<void()> wake;
  {
    std::lock_guard lock(core_->mutex);
    if (!core_->jobs.empty()) wake = core_->wake;
  }
  // Not RunPending(): the handler that opened the box is still on the stack.
  if (wake) wake();
}

void MainThreadQueue::WaitUntil(const std::function<bool()>& done, int poll_ms) {
  for (;;) {
    std::uint64_t seen = 0;
    {
      std::lock_guard lock(core_->mutex);
      seen = core_->arrivals;
    }
    if (Holding()) {
      // Inside a job or a box: only jobs that merely drop their work may run
      // here.
      while (Job* job = Take(true)) Run(*job);
    } else {
      RunPending();
    }
    if (done()) return;
    // Until a new job arrives; the poll also sees jobs becoming abandoned
    // and `done` turning true without one.
    std::unique_lock lock(core_->mutex);
    core_->queued.wait_for(lock, std::chrono::milliseconds(poll_ms),
                           [&] { return core_->arrivals != seen; });
  }
}

}  // namespace talvoro::platform
