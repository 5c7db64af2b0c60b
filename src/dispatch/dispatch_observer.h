// What became of each received code, told as it happens to whoever listens
// (the journal of received codes). The dispatcher tells nothing when no one
// listens.
#pragma once

#include "dispatch/slot_map.h"

namespace talvoro::dispatch {

// One thing a code did (or why it did nothing). A pass can do several.
struct Outcome {
  enum class Kind {
    Toggled,        // `tab` switched on or off by its toggle code (`on`: its new state)
    ActionRun,      // the action of `code` on `tab` ran
    Stored,         // the code was learned for `code` on `tab`
    Refused,        // a toggle code while learning: refused, nothing ran
    RepeatIgnored,  // a held button's repeat: what it would have run did not
    CodeZero,       // code 0 binds nothing
    NothingBound,   // no slot holds the code (or none that could act)
    TabOff,         // `tab` holds the code but its activation switch is off
  };
  Kind kind = Kind::NothingBound;
  const TabSpec* tab = nullptr;
  const CodeSlot* code = nullptr;
  bool on = false;
};

class IDispatchObserver {
 public:
  virtual ~IDispatchObserver() = default;
  // A code has arrived; its outcomes follow, each told once it is known.
  virtual void CodeArrived(int code) = 0;
  virtual void Report(const Outcome& outcome) = 0;
};

}  // namespace talvoro::dispatch
