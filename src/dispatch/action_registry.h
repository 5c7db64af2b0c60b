// Every action of the tabs, reached by its action number: a button click and
// a matching remote code run the very same routine.
#pragma once

#include <functional>
#include <map>

#include "dispatch/slot_map.h"

namespace talvoro::dispatch {

// Who asked for an action.
enum class Caller { Window, Remote };

// How a routine is called: by whom, and whether the tab's programming switch
// was on, in which case learning has just been armed for the action and the
// routine does only what its tab does while programming (the Volumes tab
// acts all the same; some tabs still announce on the OSD; most do nothing).
struct Call {
  Caller caller = Caller::Window;
  bool armed = false;
};

class ActionRegistry {
 public:
  using Routine = std::function<void(const Call&)>;
  // Whether a tab's programming switch is on.
  using ProgrammingOn = std::function<bool(int tab)>;
  // Arms learning for an action number.
  using Arm = std::function<void(int action)>;

  // Every action of the slot map gets an entry, without a routine yet.
  ActionRegistry(ProgrammingOn programming_on, Arm arm);

  // The routine behind an action number (features set theirs at start).
  void SetRoutine(int action, Routine routine);
  bool HasRoutine(int action) const;

  // The common skeleton of every action: with the tab's programming switch
  // on, arm learning for it first; then run the routine, told whether it
  // armed. Unknown numbers do nothing.
  void Run(int action, Caller caller) const;

 private:
  struct Entry {
    int tab = 0;
    Routine routine;
  };
  ProgrammingOn programming_on_;
  Arm arm_;
  std::map<int, Entry> entries_;
};

}  // namespace talvoro::dispatch
