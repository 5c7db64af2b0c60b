// Hands work from a worker thread to the main thread and waits for it: the one
// primitive the receiver's read thread uses to deliver a report.
//
// One job at a time. A job may show a modal box, whose message loop delivers
// the platform's wake-up again. RunPending() called while a job runs returns
// without running anything; the pass that runs the job picks the next ones up
// once it has returned. So no handler ever runs inside another one.
//
// Stopping a worker from inside a job. The main thread waits for a worker to
// end with WaitUntil(), and that worker may be blocked in RunSync. The rule:
// a job whose worker has been told to end (its `abandoned` check holds) only
// drops its work, so it may run anywhere, even inside another job; every
// other job waits for the running one to return. WaitUntil() inside a running
// job therefore runs abandoned jobs and nothing else: a read thread stopped
// while a handler shows a box can still leave RunSync and end, and no other
// report is handled meanwhile.
//
// Modal boxes. While a modal box or dialog of the program is open (the
// platform brackets every modal loop it runs with EnterModal / LeaveModal)
// the queue holds its jobs exactly as while a job runs: the box's message
// loop delivers the wake-up, RunPending() runs nothing and WaitUntil() runs
// only abandoned jobs. A code must not run inside a box: its keys would
// answer the box, and its handler would run inside the one that opened it.
// When the last box closes, the wake-up is asked for again, so the held jobs
// run in order from the message loop, once the handler that opened the box
// has returned (that handler usually still has work to do with the answer).
//
// The end of the message loop. From StopServing() on, the queue runs only
// abandoned jobs: nothing a worker hands over runs once the windows are on
// their way out, and a box shown then (an error at exit) runs no job either.
//
// Lifetime. The queue's state is shared with every Sender, and a worker holds
// its Sender, so a worker that outlives the queue (a read thread left to end
// alone at exit) never touches freed memory. Destroying the queue releases
// the workers whose jobs are still queued, without running those jobs; a
// RunSync after that returns at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace talvoro::platform {

class MainThreadQueue {
 private:
  struct Core;

 public:
  // A worker's end of the queue; copyable, usable from any thread, and it
  // keeps the queue's state alive (see the file comment).
  class Sender {
   public:
    // Runs `job` on the main thread and returns once it has returned: true
    // then, false when the job did not run (abandoned before it was queued,
    // or the queue was destroyed). `abandoned`, when given, tells that the
    // worker has been told to end and that `job` would only drop its work;
    // the main thread calls it under the queue's lock, so it must be quick
    // and take no lock (an atomic flag).
    bool RunSync(std::function<void()> job, std::function<bool()> abandoned = {}) const;

   private:
    friend class MainThreadQueue;
    explicit Sender(std::shared_ptr<Core> core) : core_(std::move(core)) {}
    std::shared_ptr<Core> core_;
  };

  MainThreadQueue();
  ~MainThreadQueue();
  MainThreadQueue(const MainThreadQueue&) = delete;
  MainThreadQueue& operator=(const MainThreadQueue&) = delete;

  // The platform's wake-up: makes the main thread call RunPending() soon
  // (for instance by posting a message to a window of the main thread). It is
  // called from worker threads.
  void SetWake(std::function<void()> wake);

  // Main thread: where an exception that escaped a job goes, as a UTF-8 text
  // (what() of a std::exception, "Erreur inattendue" for anything else). It
  // runs on the main thread once the job's worker has been released, while
  // the job still counts as running (a box it shows holds the next job back).
  // Without a sink the text is written to the standard error stream.
  void SetErrorSink(std::function<void(const std::string&)> sink);

  Sender sender() const { return Sender(core_); }

  // From a worker thread: sender().RunSync(...).
  bool RunSync(std::function<void()> job, std::function<bool()> abandoned = {}) {
    return sender().RunSync(std::move(job), std::move(abandoned));
  }

  // Main thread: runs every job queued so far, in order, one at a time.
  // Returns at once, running nothing, when called from inside a job.
  void RunPending();

  // Main thread: waits until `done()` holds, running queued jobs meanwhile,
  // so that a worker blocked in RunSync can finish (for instance while the
  // main thread waits for that worker to end). From inside a job, while a
  // modal box is open or once the queue stopped serving, it runs only
  // abandoned jobs (see the file comment).
  void WaitUntil(const std::function<bool()>& done, int poll_ms = 5);

  // Main thread: a modal box or dialog opens, and closes again (see the file
  // comment). Boxes nest; the last LeaveModal asks for the wake-up when jobs
  // are waiting, and runs none itself.
  void EnterModal();
  void LeaveModal();

  // EnterModal for as long as it lives.
  class ModalScope {
   public:
    explicit ModalScope(MainThreadQueue& queue) : queue_(queue) { queue_.EnterModal(); }
    ~ModalScope() { queue_.LeaveModal(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

   private:
    MainThreadQueue& queue_;
  };

  // Main thread, once the message loop has ended: from now on only
  // abandoned jobs run. Every worker must be told to end before the main
  // thread waits for it.
  void StopServing() { serving_ = false; }

 private:
  struct Job;

  // Takes the first queued job, or the first abandoned one; null when none.
  Job* Take(bool abandoned_only);
  // Runs a taken job, releases its worker and reports its error, if any.
  void Run(Job& job);
  void Report(const std::string& error);
  // Jobs are held: one is running, a box is open, or the loop has ended.
  bool Holding() const { return running_ || modal_depth_ > 0 || !serving_; }

  std::shared_ptr<Core> core_;
  std::function<void(const std::string&)> error_sink_;
  // Main thread only.
  bool running_ = false;  // a job is running
  int modal_depth_ = 0;   // modal boxes open
  bool serving_ = true;   // the message loop has not ended
};

}  // namespace talvoro::platform
