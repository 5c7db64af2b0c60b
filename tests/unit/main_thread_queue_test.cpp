// The hand-over to the main thread: one job at a time even when a job pumps
// the wake-up again, no job inside a modal box, none once the message loop
// has ended, workers told to end can always leave, escaped errors are
// reported, and a queue that goes away releases its workers.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fake_hid.h"
#include "platform/main_thread.h"

namespace talvoro::platform {
namespace {

using testing::PumpUntil;
using testing::WaitFor;

// What became of one worker's hand-over.
struct Outcome {
  std::atomic<bool> left{false};  // the worker has left RunSync
  std::atomic<bool> ran{false};   // RunSync said the job ran
};

// A queue served by the test thread, and worker threads that hand jobs to it.
struct Workers {
  std::atomic<int> wakes{0};
  std::unique_ptr<MainThreadQueue> queue = std::make_unique<MainThreadQueue>();
  std::vector<std::thread> threads;

  Workers() {
    queue->SetWake([this] { ++wakes; });
  }
  ~Workers() {
    queue.reset();  // releases any worker still waiting
    for (auto& thread : threads) thread.join();
  }

  // Starts a worker that hands `job` over; returns once the job is queued.
  void Hand(std::function<void()> job, std::function<bool()> abandoned = {},
            Outcome* outcome = nullptr) {
    const int before = wakes;
    threads.emplace_back([sender = queue->sender(), job, abandoned, outcome] {
      const bool ran = sender.RunSync(job, abandoned);
      if (outcome) {
        outcome->ran = ran;
        outcome->left = true;
      }
    });
    ASSERT_TRUE(WaitFor([&] { return wakes > before; }));
  }
};

TEST(MainThreadQueue, NoJobRunsInsideAnotherEvenWhenTheWakeUpIsPumpedAgain) {
  Workers w;
  std::vector<std::string> log;
  w.Hand([&] {
    log.push_back("first begins");
    w.Hand([&] { log.push_back("second"); });
    // A modal box inside the job delivers the wake-up message again.
    w.queue->RunPending();
    log.push_back("first ends");
  });
  w.queue->RunPending();
  EXPECT_EQ(log, (std::vector<std::string>{"first begins", "first ends", "second"}));
}

TEST(MainThreadQueue, WaitUntilInsideAJobRunsOnlyTheJobsOfWorkersToldToEnd) {
  Workers w;
  std::vector<std::string> log;
  std::atomic<bool> stopping{false};
  Outcome stopped;
  w.Hand([&] {
    log.push_back("first begins");
    w.Hand([&] { log.push_back(stopping ? "stopped worker drops its report" : "wrong"); },
           [&] { return stopping.load(); }, &stopped);
    w.Hand([&] { log.push_back("other report"); });
    // Stopping that worker from inside this job: tell it to end, then wait
    // for it to leave, as a read thread's Stop does.
    stopping = true;
    EXPECT_TRUE(PumpUntil(*w.queue, [&] { return stopped.left.load(); }));
    log.push_back("first ends");
  });
  w.queue->RunPending();
  EXPECT_EQ(log, (std::vector<std::string>{"first begins", "stopped worker drops its report",
                                           "first ends", "other report"}));
  EXPECT_TRUE(stopped.ran);
}

// A modal box as the platform shows one: open while `inside` runs, its
// message loop delivering the wake-up meanwhile.
void ShowBox(MainThreadQueue& queue, const std::function<void()>& inside = {}) {
  MainThreadQueue::ModalScope box(queue);
  queue.RunPending();
  if (inside) inside();
  queue.RunPending();
}

TEST(MainThreadQueue, CodesWaitWhileABoxIsOpenAndRunInOrderFromTheLoopOnceTheLastCloses) {
  Workers w;
  std::vector<std::string> log;
  std::atomic<bool> stopping{false};
  Outcome stopped;
  // A click handler asks its question; the remote is pressed meanwhile.
  ShowBox(*w.queue, [&] {
    w.Hand([&] { log.push_back("pass 1"); });
    w.Hand([&] { log.push_back(stopping ? "stopped worker drops its report" : "wrong"); },
           [&] { return stopping.load(); }, &stopped);
    w.Hand([&] { log.push_back("pass 2"); });
    const int wakes = w.wakes;
    // A box opened from inside the box: closing it releases nothing.
    ShowBox(*w.queue);
    EXPECT_EQ(w.wakes, wakes);
    // A worker stopped meanwhile still leaves.
    stopping = true;
    EXPECT_TRUE(PumpUntil(*w.queue, [&] { return stopped.left.load(); }));
    log.push_back("answered");
  });
  // Closing the last box asks for the wake-up but runs nothing itself: the
  // handler that opened it has not finished.
  log.push_back("handler ends");
  EXPECT_EQ(w.wakes, 4);
  w.queue->RunPending();
  EXPECT_EQ(log, (std::vector<std::string>{"stopped worker drops its report", "answered",
                                           "handler ends", "pass 1", "pass 2"}));
}

TEST(MainThreadQueue, OnceTheLoopHasEndedOnlyTheJobsOfWorkersToldToEndRun) {
  Workers w;
  std::vector<std::string> log;
  std::atomic<bool> stopping{false};
  Outcome stopped;
  w.Hand([&] { log.push_back("late report"); });
  w.Hand([&] { log.push_back(stopping ? "stopped worker drops its report" : "wrong"); },
         [&] { return stopping.load(); }, &stopped);
  w.queue->StopServing();
  ShowBox(*w.queue);  // an error box at exit
  stopping = true;
  EXPECT_TRUE(PumpUntil(*w.queue, [&] { return stopped.left.load(); }));
  w.queue->RunPending();
  EXPECT_EQ(log, (std::vector<std::string>{"stopped worker drops its report"}));
}

TEST(MainThreadQueue, AnEscapedErrorGoesToTheSinkOnceItsWorkerIsReleased) {
  Workers w;
  std::vector<std::string> log;
  Outcome first;
  Outcome second;
  w.queue->SetErrorSink([&](const std::string& text) {
    log.push_back("box: " + text);
    if (text == "Disque plein") {
      EXPECT_TRUE(WaitFor([&] { return first.left.load(); }));
    }
    // The box pumps the wake-up: the next job still waits for it to close.
    w.queue->RunPending();
    log.push_back("box closed");
  });
  w.Hand(
      [&] {
        log.push_back("first");
        w.Hand(
            [&] {
              log.push_back("second");
              throw 42;
            },
            {}, &second);
        throw std::runtime_error("Disque plein");
      },
      {}, &first);
  w.queue->RunPending();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "box: Disque plein", "box closed", "second",
                                           "box: Erreur inattendue", "box closed"}));
  ASSERT_TRUE(WaitFor([&] { return second.left.load(); }));
  EXPECT_TRUE(first.ran);
  EXPECT_TRUE(second.ran);
}

TEST(MainThreadQueue, JobsThatCannotRunReleaseTheirWorkers) {
  Workers w;
  bool ran = false;
  // Told to end before handing over: nothing is queued.
  EXPECT_FALSE(w.queue->RunSync([&] { ran = true; }, [] { return true; }));
  EXPECT_EQ(w.wakes, 0);

  // The queue goes away (the end of the program) while a worker waits.
  Outcome waiting;
  w.Hand([&] { ran = true; }, {}, &waiting);
  const MainThreadQueue::Sender late = w.queue->sender();
  w.queue.reset();
  ASSERT_TRUE(WaitFor([&] { return waiting.left.load(); }));
  EXPECT_FALSE(waiting.ran);
  // A worker that outlived the queue hands over in vain, safely.
  EXPECT_FALSE(late.RunSync([&] { ran = true; }));
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace talvoro::platform
