// The bookkeeping of the program's interval timers, apart from the system
// timer calls it drives: the Windows timers run on it, and so do the unit
// tests' fake timers, so that both follow the same rules.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace talvoro::platform {

class TimerTable {
 public:
  // Starts or stops the system timer of an id.
  using Start = std::function<void(int id, unsigned interval_ms)>;
  using Stop = std::function<void(int id)>;

  // The shortest period the system timers keep (USER_TIMER_MINIMUM on
  // Windows).
  static constexpr unsigned kMinimumInterval = 10;

  // The period a timer asked for `interval_ms` runs at.
  static constexpr unsigned Period(int interval_ms) {
    return interval_ms > static_cast<int>(kMinimumInterval) ? static_cast<unsigned>(interval_ms)
                                                            : kMinimumInterval;
  }

  // Shows an error a tick threw (std::current_exception() inside it).
  using Report = std::function<void()>;

  // Without `report`, an error a tick throws goes to the caller of Tick.
  TimerTable(Start start, Stop stop, Report report = {})
      : start_(std::move(start)), stop_(std::move(stop)), report_(std::move(report)) {}

  // A disabled timer; ids count from 1.
  int Create(int interval_ms, std::function<void()> tick) {
    auto timer = std::make_unique<Timer>();
    timer->interval = Period(interval_ms);
    timer->tick = std::move(tick);
    // Entries never move: a tick may create timers while it runs.
    timers_.push_back(std::move(timer));
    return static_cast<int>(timers_.size());
  }

  void Enable(int id, bool enabled) {
    Timer* timer = Find(id);
    // Enabling a running timer must not restart its period (a timer switched
    // on again at every tick would never fire): act on changes only.
    if (!timer || timer->enabled == enabled) return;
    timer->enabled = enabled;
    if (enabled)
      start_(id, timer->interval);
    else
      stop_(id);
  }

  // A new period; an enabled timer is started again, so that its new
  // period runs from now.
  void SetInterval(int id, int interval_ms) {
    Timer* timer = Find(id);
    if (!timer) return;
    timer->interval = Period(interval_ms);
    if (timer->enabled) start_(id, timer->interval);
  }

  bool Enabled(int id) const {
    const Timer* timer = Find(id);
    return timer && timer->enabled;
  }

  // The timers created so far: ids 1..Count().
  int Count() const { return static_cast<int>(timers_.size()); }

  // A timer's period; 0 for an unknown id.
  unsigned Interval(int id) const {
    const Timer* timer = Find(id);
    return timer ? timer->interval : 0;
  }

  // The system reports a tick of `id`. Returns whether the tick ran. An error
  // it throws is reported while the tick still counts as running, so the
  // error box's own message loop cannot run the same tick again and stack a
  // second box on the first: one box per failure. The timer stays usable.
  bool Tick(int id) {
    Timer* timer = Find(id);
    // A tick already queued when the timer was stopped still arrives: a
    // disabled timer must not tick once more.
    if (!timer || !timer->enabled || !timer->tick) return false;
    // A tick that shows a modal box keeps the message loop running, and with
    // it this timer: without this guard the same error would stack box upon
    // box.
    if (timer->running) return false;
    struct Running {
      bool& flag;
      explicit Running(bool& f) : flag(f) { flag = true; }
      ~Running() { flag = false; }
    } running(timer->running);
    try {
      timer->tick();
    } catch (...) {
      if (!report_) throw;
      report_();
    }
    return true;
  }

  // Stops every enabled timer (at the end of the program).
  void StopAll() {
    for (std::size_t i = 0; i < timers_.size(); ++i) {
      if (!timers_[i]->enabled) continue;
      timers_[i]->enabled = false;
      stop_(static_cast<int>(i + 1));
    }
  }

 private:
  struct Timer {
    unsigned interval = kMinimumInterval;
    std::function<void()> tick;
    bool enabled = false;
    bool running = false;
  };

  Timer* Find(int id) const {
    if (id < 1 || static_cast<std::size_t>(id) > timers_.size()) return nullptr;
    return timers_[static_cast<std::size_t>(id) - 1].get();
  }

  Start start_;
  Stop stop_;
  Report report_;
  std::vector<std::unique_ptr<Timer>> timers_;
};

}  // namespace talvoro::platform
