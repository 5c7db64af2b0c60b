// The periodic tick (Timer3, every 100 ms): the clock, and while the receiver
// is connected, the pending action numbers the routines leave behind.
#pragma once

#include <functional>

#include "dispatch/app_state.h"
#include "platform/clock.h"

namespace talvoro::dispatch {

class Tick {
 public:
  static constexpr int kInterval = 100;

  Tick(dispatch::AppState& state, platform::IClock& clock, std::function<void()> update_clock)
      : state_(state), clock_(clock), update_clock_(std::move(update_clock)) {}

  void OnTick();

 private:
  void Pause(int tenths);

  dispatch::AppState& state_;
  platform::IClock& clock_;
  std::function<void()> update_clock_;
};

}  // namespace talvoro::dispatch
