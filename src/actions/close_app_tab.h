// The "Fermer une application" tab: Windows' own task switcher driven by
// synthesized keys. Sélection holds Alt and taps Tab, Validation releases
// Alt, Fermer sends Alt+F4 to the window in front.
#pragma once

#include "config/configuration.h"
#include "dispatch/action_registry.h"
#include "dispatch/app_state.h"
#include "osd/osd.h"
#include "platform/keyboard.h"

namespace talvoro::actions {

class CloseAppTab {
 public:
  CloseAppTab(dispatch::AppState& state, const config::Configuration& config,
              platform::IKeyboard& keyboard, osd::Osd& osd)
      : state_(state), config_(config), keyboard_(keyboard), osd_(osd) {}

  // Actions 221 to 223.
  void Register(dispatch::ActionRegistry& actions);

  void Select(bool armed);
  void Confirm(bool armed);
  void Close(bool armed);

 private:
  void Announce(const char* button);

  dispatch::AppState& state_;
  const config::Configuration& config_;
  platform::IKeyboard& keyboard_;
  osd::Osd& osd_;
};

}  // namespace talvoro::actions
