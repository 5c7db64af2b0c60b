// Binding a remote button to an action: arming (an action clicked while its
// tab's programming switch is on), storing the next code into the action's
// slot, abandoning, and refusing a code that already toggles a media tab.
#pragma once

#include <functional>

#include "config/configuration.h"
#include "dispatch/app_state.h"
#include "dispatch/slot_map.h"
#include "learning/learn_dialog.h"
#include "ui/forms/forms.h"

namespace talvoro::learning {

class Learning {
 public:
  Learning(dispatch::AppState& state, ui::MainForm& form, config::Configuration& config,
           LearnDialog& dialog, ConflictWindow& conflict,
           std::function<void()> apply_configuration);

  // The next learned code goes to `action`; the dialog comes up on top (not
  // modal: clicking another action re-arms).
  void Arm(int action);
  // Stores the last code into `code`'s slot for `tab`: programming off,
  // dialog hidden, label, slot, programme file, whole table re-applied.
  void Store(const dispatch::TabSpec& tab, const dispatch::CodeSlot& code);
  // "&Abandonner": every programming switch off, dialog hidden.
  void Abandon();
  // The code already toggles a media tab: most programming switches off,
  // dialog hidden, warning shown.
  void Refuse();

 private:
  dispatch::AppState& state_;
  ui::MainForm& form_;
  config::Configuration& config_;
  LearnDialog& dialog_;
  ConflictWindow& conflict_;
  std::function<void()> apply_configuration_;
};

}  // namespace talvoro::learning
