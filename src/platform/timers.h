// Interval timers that fire on the main thread.
#pragma once

#include <functional>

namespace talvoro::platform {

using TimerId = int;

class ITimers {
 public:
  virtual ~ITimers() = default;
  // Creates a disabled timer; `tick` runs on the main thread while it is enabled.
  virtual TimerId CreateTimer(int interval_ms, std::function<void()> tick) = 0;
  virtual void EnableTimer(TimerId id, bool enabled) = 0;
  virtual bool TimerEnabled(TimerId id) const = 0;
  // Gives a timer a new period; an enabled timer starts it from now.
  virtual void SetTimerInterval(TimerId id, int interval_ms) = 0;
};

}  // namespace talvoro::platform
