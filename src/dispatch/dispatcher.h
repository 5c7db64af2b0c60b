// What happens to each received code: routing (a code that already toggles a
// media tab is refused while learning) and the dispatch pass, one fixed,
// ordered walk over the programme table in which every comparison that
// succeeds has its effect.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "dispatch/app_state.h"
#include "config/configuration.h"
#include "dispatch/action_registry.h"
#include "dispatch/slot_map.h"
#include "ui/forms/forms.h"

namespace talvoro::dispatch {

// One step of the pass, generated from the slot map.
struct Step {
  enum class Kind { Toggle, Match, Learn };
  Kind kind;
  const TabSpec* tab;
  const CodeSlot* code;  // the slot compared (toggle, match) or stored into (learn)
};

// The pass: tab by tab, the toggle step, the match steps in slot order, then
// the learning steps in action-number order (a toggle's first).
std::span<const Step> Pass();

// What the pass calls.
class IPassTarget {
 public:
  virtual ~IPassTarget() = default;
  virtual void ToggleActivation(int tab) = 0;
  virtual void RunAction(int action) = 0;
  virtual void StoreCode(const TabSpec& tab, const CodeSlot& code) = 0;
  virtual void RefuseCode() = 0;
};

class Dispatcher {
 public:
  Dispatcher(const ui::MainForm& form, const config::ProgrammeTable& programme,
             const dispatch::AppState& state, IPassTarget& target)
      : form_(form), programme_(programme), state_(state), target_(target) {}

  // Routing, then (unless refused) the pass for `code`. Code 0 is what a
  // cleared slot holds, and what an empty or noisy report gives: it binds
  // nothing and goes no further.
  void Route(int code);
  // The pass for the last received code.
  void Dispatch();

 private:
  bool On(ui::MainId control) const { return form_.Checked(control); }

  const ui::MainForm& form_;
  const config::ProgrammeTable& programme_;
  const dispatch::AppState& state_;
  IPassTarget& target_;
};

}  // namespace talvoro::dispatch
