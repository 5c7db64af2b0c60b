// The tabs' switches: activation (with its lamp and the exclusive groups of
// media tabs), programming, the remote toggle of a media tab, the page change
// and the clear buttons.
#pragma once

#include <functional>

#include "config/configuration.h"
#include "dispatch/app_state.h"
#include "dispatch/slot_map.h"
#include "learning/learning.h"
#include "osd/osd.h"
#include "platform/dialogs.h"
#include "tabs/lamps.h"
#include "ui/forms/forms.h"

namespace talvoro::tabs {

inline constexpr const char* kToggleOnText = "Activation des codes IR";
inline constexpr const char* kToggleOffText = "Désactivation des codes IR";

class TabSwitches {
 public:
  TabSwitches(dispatch::AppState& state, ui::MainForm& form, config::Configuration& config,
              Lamps& lamps, learning::Learning& learning, osd::Osd& osd,
              platform::IDialogs& dialogs, std::function<void()> apply_configuration);

  // Press handlers of the switches, the page control and the clear buttons.
  void Wire();

  void ActivationPressed(int tab);
  void ProgrammingPressed(int tab);
  // A media tab's toggle code was received.
  void ToggleActivation(int tab);
  void PageChanged();
  void ClearTabCodes(int tab);

 private:
  // Switch, lamp, state slot, programme file, in that order.
  void SetActivation(int tab, bool on);
  void SwitchOffOtherMembers(int tab);

  dispatch::AppState& state_;
  ui::MainForm& form_;
  config::Configuration& config_;
  Lamps& lamps_;
  learning::Learning& learning_;
  osd::Osd& osd_;
  platform::IDialogs& dialogs_;
  std::function<void()> apply_configuration_;
};

}  // namespace talvoro::tabs
