// The "Lanceur d'applications" tab: five programs of the user's choice, one
// per numbered button.
#pragma once

#include "config/configuration.h"
#include "dispatch/action_registry.h"
#include "dispatch/app_state.h"
#include "media/app_paths.h"
#include "osd/osd.h"
#include "platform/clock.h"

namespace talvoro::media {

class Launcher {
 public:
  static constexpr int kEntries = 5;
  static constexpr int kFirstAction = 191;  // entry n has action 190 + n
  static constexpr int kWaitAfterStart = 100;

  Launcher(dispatch::AppState& state, const config::Configuration& config, platform::IClock& clock,
           osd::Osd& osd, AppPaths& paths)
      : state_(state), config_(config), clock_(clock), osd_(osd), paths_(paths) {}

  // Actions 191 to 195.
  void Register(dispatch::ActionRegistry& actions);

  // Starts entry 1..5's program, waits 100 ms and records the entry as the
  // tab's pending number, then announces it. While the tab is programming
  // (`armed`) it only announces.
  void Launch(int entry, bool armed);

 private:
  dispatch::AppState& state_;
  const config::Configuration& config_;
  platform::IClock& clock_;
  osd::Osd& osd_;
  AppPaths& paths_;
};

}  // namespace talvoro::media
