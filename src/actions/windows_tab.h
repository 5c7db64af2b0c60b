// The Windows tab: four programs of Windows, the screen saver, the display's
// low power, and restart or shut-down after a five-second countdown that a
// second press of either button cancels.
#pragma once

#include <string>

#include "config/configuration.h"
#include "dispatch/action_registry.h"
#include "dispatch/app_state.h"
#include "osd/osd.h"
#include "platform/keyboard.h"
#include "platform/power.h"
#include "platform/programs.h"
#include "platform/timers.h"

namespace talvoro::actions {

class WindowsTab {
 public:
  static constexpr int kCountdownInterval = 1000;
  static constexpr int kCountdownSeconds = 5;

  WindowsTab(dispatch::AppState& state, const config::Configuration& config,
             platform::IKeyboard& keyboard, platform::IPrograms& programs, platform::IPower& power,
             platform::ITimers& timers, osd::Osd& osd, osd::CountdownWindow& countdown);

  // Actions 10 to 17.
  void Register(dispatch::ActionRegistry& actions);

  void Explorer(bool armed);
  void InternetExplorer(bool armed);
  void OutlookExpress(bool armed);
  void VolumeControl(bool armed);
  void ScreenSaver();
  void DisplayOff();
  void Restart() { PowerPress(dispatch::kPendingRestart); }
  void ShutDown() { PowerPress(dispatch::kPendingShutdown); }

  bool countdown_running() const;

 private:
  void Announce(const char* first_line);
  void PowerPress(int pending);
  void OnCountdownTick();
  void EndCountdown();
  void ShowCountdown(const std::string& first, const std::string& second);

  dispatch::AppState& state_;
  const config::Configuration& config_;
  platform::IKeyboard& keyboard_;
  platform::IPrograms& programs_;
  platform::IPower& power_;
  platform::ITimers& timers_;
  osd::Osd& osd_;
  osd::CountdownWindow& countdown_;
  platform::TimerId countdown_timer_ = 0;  // Timer5
};

}  // namespace talvoro::actions
