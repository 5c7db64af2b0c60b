#include "dispatch/action_registry.h"

namespace talvoro::dispatch {

ActionRegistry::ActionRegistry(ProgrammingOn programming_on, Arm arm)
    : programming_on_(std::move(programming_on)), arm_(std::move(arm)) {
  for (const TabSpec& tab : Tabs())
    for (const CodeSlot& code : tab.codes) entries_[code.action].tab = tab.number;
}

void ActionRegistry::SetRoutine(int action, Routine routine) {
  entries_.at(action).routine = std::move(routine);
}

bool ActionRegistry::HasRoutine(int action) const {
  auto it = entries_.find(action);
  return it != entries_.end() && it->second.routine;
}

void ActionRegistry::Run(int action, Caller caller) const {
  auto it = entries_.find(action);
  if (it == entries_.end()) return;
  const Entry& entry = it->second;
  const bool armed = programming_on_(entry.tab);
  if (armed) arm_(action);
  if (entry.routine) entry.routine(Call{caller, armed});
}

}  // namespace talvoro::dispatch
