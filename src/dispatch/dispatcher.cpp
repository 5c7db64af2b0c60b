#include "dispatch/dispatcher.h"

#include <algorithm>
#include <cstdint>

namespace talvoro::dispatch {

namespace {

// Whether a slot holds the code's text. The pass makes a few hundred of
// these comparisons per code, nearly all of them failing: codes of one
// remote mostly differ in their last digits, which are looked at first,
// inline, before the library's comparison of the whole text.
inline bool Holds(const std::string& slot, const std::string& text) {
  return slot.size() == text.size() && !text.empty() && slot.back() == text.back() && slot == text;
}

std::vector<Step> BuildPass() {
  std::vector<Step> pass;
  auto add = [&pass](Step::Kind kind, const TabSpec& tab, const CodeSlot& code) {
    pass.push_back({kind, code.slot, code.action, &tab, &code});
  };
  for (const TabSpec& tab : Tabs()) {
    if (tab.toggle) add(Step::Kind::Toggle, tab, *tab.toggle);
    for (const CodeSlot& code : tab.codes) add(Step::Kind::Match, tab, code);
    if (tab.toggle) add(Step::Kind::Learn, tab, *tab.toggle);
    std::vector<const CodeSlot*> by_action;
    for (const CodeSlot& code : tab.codes) by_action.push_back(&code);
    std::stable_sort(by_action.begin(), by_action.end(),
                     [](const CodeSlot* a, const CodeSlot* b) { return a->action < b->action; });
    for (const CodeSlot* code : by_action) add(Step::Kind::Learn, tab, *code);
  }
  return pass;
}

}  // namespace

std::span<const Step> Pass() {
  static const std::vector<Step> pass = BuildPass();
  return pass;
}

void Dispatcher::Route(int code) {
  const bool repeat = repeats_.Arrived(code, clock_.SteadyMilliseconds()) &&
                      settings_[config::kRepeatFilter] == kRepeatFilterOn;
  if (observer_) observer_->CodeArrived(code);
  if (code == 0) {
    Tell(Outcome::Kind::CodeZero);
    return;
  }
  // A repeat would store nothing: there is nothing to refuse.
  if (!repeat && Refuses(code)) {
    Tell(Outcome::Kind::Refused);
    target_.RefuseCode();
    return;
  }
  RunPass(repeat);
}

bool Dispatcher::Refuses(int code) const {
  bool learning = false;
  for (const TabSpec& tab : Tabs())
    if (tab.in_learning_conflict_test && On(tab.programming)) learning = true;
  if (!learning) return false;
  const std::string text = std::to_string(code);
  for (const TabSpec& tab : Tabs())
    if (tab.toggle && programme_[tab.toggle->slot] == text) return true;
  return false;
}

void Dispatcher::RunPass(bool repeat) {
  const std::string text = std::to_string(state_.last_code);
  bool acted = false;             // a step ran
  bool held_back = false;         // a step that would have run did not, the code being a repeat
  std::uint32_t off_holding = 0;  // tabs that hold the code but are off, a bit per tab number
  // Every step reads the switches afresh: what an earlier step did (a toggle,
  // the end of learning, a group switching another tab off) counts. Each
  // step tests what is cheapest first, the slot's text or the action
  // number, and reads a switch only when that passes.
  for (const Step& step : Pass()) {
    const TabSpec& tab = *step.tab;
    switch (step.kind) {
      case Step::Kind::Toggle:
        if (!Holds(programme_[step.slot], text) || On(tab.programming)) break;
        if (repeat) {
          held_back = true;
          break;
        }
        target_.ToggleActivation(tab.number);
        acted = true;
        Tell(Outcome::Kind::Toggled, &tab, step.code, On(tab.activation));
        break;
      case Step::Kind::Match:
        if (!Holds(programme_[step.slot], text)) break;
        if (!On(tab.activation)) {
          // Told to the listener should the code run nothing at all.
          if (!On(tab.programming)) off_holding |= 1u << tab.number;
          break;
        }
        if (On(tab.programming)) break;
        if (repeat && !step.code->repeatable) {
          held_back = true;
          break;
        }
        acted = true;
        // Told before it runs: an action that fails is in the journal too.
        Tell(Outcome::Kind::ActionRun, &tab, step.code);
        target_.RunAction(step.action);
        break;
      case Step::Kind::Learn:
        if (state_.action_number != step.action || !On(tab.programming)) break;
        if (repeat) {
          held_back = true;
          break;
        }
        target_.StoreCode(tab, *step.code);
        acted = true;
        Tell(Outcome::Kind::Stored, &tab, step.code);
        break;
    }
  }
  if (held_back)
    Tell(Outcome::Kind::RepeatIgnored);
  else if (!acted && observer_)
    TellWhyNothingRan(off_holding);
}

void Dispatcher::TellWhyNothingRan(std::uint32_t off_holding) {
  // A tab that is off because it is learning was left out: it waits for a
  // press.
  for (const TabSpec& tab : Tabs())
    if (off_holding & (1u << tab.number)) Tell(Outcome::Kind::TabOff, &tab);
  if (off_holding == 0) Tell(Outcome::Kind::NothingBound);
}

}  // namespace talvoro::dispatch
