// What happens to each received code: routing (a code that already toggles a
// media tab is refused while learning) and the dispatch pass, one fixed,
// ordered walk over the programme table in which every comparison that
// succeeds has its effect.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/configuration.h"
#include "dispatch/action_registry.h"
#include "dispatch/app_state.h"
#include "dispatch/dispatch_observer.h"
#include "dispatch/slot_map.h"
#include "platform/clock.h"
#include "ui/forms/forms.h"

namespace talvoro::dispatch {

// One step of the pass, generated from the slot map. The slot and action
// numbers are copied from the row: the pass reads them at every step, and
// the rows themselves are only reached for the few steps that act.
struct Step {
  enum class Kind { Toggle, Match, Learn };
  Kind kind;
  int slot;    // code->slot
  int action;  // code->action
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

// Settings entry 10 with the held-button filter on.
inline constexpr std::string_view kRepeatFilterOn = "ANTIREPET_ON";

// Tells a held remote button's repeats from new presses. While a button is
// held the remote sends its code again and again, frame after frame: NEC
// every 108 ms, RC5 every 114 ms, RC6 every 107 ms, Sony SIRC every 45 ms
// (where even a short press is three frames). A code equal to the one
// received just before it (whatever that was), arriving less than
// kRepeatGapMs after it, is such a repeat. 250 ms is more than twice the
// slowest of those periods, so a frame lost to noise does not break the
// chain, and less than a user takes to let go of a button and press it
// again. Each repeat is timed from the code before it, so a held button
// keeps chaining for as long as it is held.
class RepeatRule {
 public:
  static constexpr long long kRepeatGapMs = 250;

  // Notes that `code` arrived at `now_ms` (a steady clock); true when it
  // repeats the code received just before it.
  bool Arrived(int code, long long now_ms) {
    const bool repeat = any_ && code == previous_ && now_ms - previous_ms_ < kRepeatGapMs;
    any_ = true;
    previous_ = code;
    previous_ms_ = now_ms;
    return repeat;
  }

 private:
  bool any_ = false;
  int previous_ = 0;
  long long previous_ms_ = 0;
};

class Dispatcher {
 public:
  Dispatcher(const ui::MainForm& form, const config::ProgrammeTable& programme,
             const config::SettingsTable& settings, const AppState& state, IPassTarget& target,
             platform::IClock& clock)
      : form_(form),
        programme_(programme),
        settings_(settings),
        state_(state),
        target_(target),
        clock_(clock) {}

  // Who is told what became of each code; null (the default): no one.
  void SetObserver(IDispatchObserver* observer) { observer_ = observer; }

  // Routing, then (unless refused) the pass for `code`. Code 0 is what a
  // cleared slot holds, and what an empty or noisy report gives: it binds
  // nothing and goes no further. With the held-button filter on (settings
  // entry 10, read at each code), a repeat is neither refused nor learned
  // and runs only the repeatable actions its code matches.
  void Route(int code);
  // The pass for the last received code.
  void Dispatch() { RunPass(false); }

 private:
  bool On(ui::MainId control) const { return form_.Checked(control); }
  // Whether routing refuses `code`: a media tab's toggle code while learning.
  bool Refuses(int code) const;
  // The pass; for a held button's repeat (`repeat`), only the repeatable
  // match steps run.
  void RunPass(bool repeat);
  // For the listener, when a code ran nothing: the tabs that hold it but
  // are off (`off_holding`, a bit per tab number), or that nothing holds it.
  void TellWhyNothingRan(std::uint32_t off_holding);
  void Tell(Outcome::Kind kind, const TabSpec* tab = nullptr, const CodeSlot* code = nullptr,
            bool on = false) {
    if (observer_) observer_->Report({kind, tab, code, on});
  }

  const ui::MainForm& form_;
  const config::ProgrammeTable& programme_;
  const config::SettingsTable& settings_;
  const AppState& state_;
  IPassTarget& target_;
  platform::IClock& clock_;
  IDispatchObserver* observer_ = nullptr;
  RepeatRule repeats_;
};

}  // namespace talvoro::dispatch
