// The periodic tick (Timer3): the clock, and while the receiver is
// connected, the pending action numbers the routines leave behind. It runs
// every 100 ms while it has work; idle, once a second, for the clock.
#pragma once

#include <functional>

#include "dispatch/app_state.h"
#include "platform/clock.h"

namespace talvoro::dispatch {

class Tick {
 public:
  // The period while there is work.
  static constexpr int kInterval = 100;
  // Idle, the tick comes this long after the clock's next second, so that a
  // timer a little early still finds the new second.
  static constexpr int kPastTheSecond = 10;

  Tick(AppState& state, platform::IClock& clock, std::function<void()> update_clock)
      : state_(state), clock_(clock), update_clock_(std::move(update_clock)) {}

  void OnTick();

  // Whether the next tick has work: the one-time pause, a pending number it
  // consumes, or a restart or shut-down countdown's number, whose end it
  // watches. Only while the receiver is active.
  bool Busy() const;

  // How long until the next tick: kInterval while busy; otherwise until just
  // past the next second of `now`, when the clock panel changes.
  int NextInterval(const platform::DateTime& now) const;

 private:
  void Pause(int tenths);

  AppState& state_;
  platform::IClock& clock_;
  std::function<void()> update_clock_;
};

}  // namespace talvoro::dispatch
