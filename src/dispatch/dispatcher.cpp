#include "dispatch/dispatcher.h"

#include <algorithm>

namespace talvoro::dispatch {

namespace {

std::vector<Step> BuildPass() {
  std::vector<Step> pass;
  for (const TabSpec& tab : Tabs()) {
    if (tab.toggle) pass.push_back({Step::Kind::Toggle, &tab, &*tab.toggle});
    for (const CodeSlot& code : tab.codes) pass.push_back({Step::Kind::Match, &tab, &code});
    if (tab.toggle) pass.push_back({Step::Kind::Learn, &tab, &*tab.toggle});
    std::vector<const CodeSlot*> by_action;
    for (const CodeSlot& code : tab.codes) by_action.push_back(&code);
    std::stable_sort(by_action.begin(), by_action.end(),
                     [](const CodeSlot* a, const CodeSlot* b) { return a->action < b->action; });
    for (const CodeSlot* code : by_action) pass.push_back({Step::Kind::Learn, &tab, code});
  }
  return pass;
}

}  // namespace

std::span<const Step> Pass() {
  static const std::vector<Step> pass = BuildPass();
  return pass;
}

void Dispatcher::Route(int code) {
  if (code == 0) return;
  bool learning = false;
  for (const TabSpec& tab : Tabs())
    if (tab.in_learning_conflict_test && On(tab.programming)) learning = true;
  if (learning) {
    const std::string text = std::to_string(code);
    for (const TabSpec& tab : Tabs()) {
      if (tab.toggle && programme_[tab.toggle->slot] == text) {
        target_.RefuseCode();
        return;
      }
    }
  }
  Dispatch();
}

void Dispatcher::Dispatch() {
  const std::string text = std::to_string(state_.last_code);
  // Every step reads the switches afresh: what an earlier step did (a toggle,
  // the end of learning, a group switching another tab off) counts.
  for (const Step& step : Pass()) {
    const TabSpec& tab = *step.tab;
    switch (step.kind) {
      case Step::Kind::Toggle:
        if (!On(tab.programming) && programme_[step.code->slot] == text)
          target_.ToggleActivation(tab.number);
        break;
      case Step::Kind::Match:
        if (On(tab.activation) && !On(tab.programming) && programme_[step.code->slot] == text)
          target_.RunAction(step.code->action);
        break;
      case Step::Kind::Learn:
        if (On(tab.programming) && state_.action_number == step.code->action)
          target_.StoreCode(tab, *step.code);
        break;
    }
  }
}

}  // namespace talvoro::dispatch
