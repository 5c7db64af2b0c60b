#include "media/launcher.h"

#include <string>

namespace talvoro::media {

void Launcher::Register(dispatch::ActionRegistry& actions) {
  for (int entry = 1; entry <= kEntries; ++entry)
    actions.SetRoutine(kFirstAction + entry - 1,
                       [this, entry](const dispatch::Call& call) { Launch(entry, call.armed); });
}

void Launcher::Launch(int entry, bool armed) {
  if (!armed) {
    const bool started = paths_.StartLauncherEntry(entry);
    clock_.Sleep(kWaitAfterStart);
    state_.Pending(dispatch::kTabLauncher) = entry;
    // The warning box has told the user already: the display must not claim
    // the program was started.
    if (!started) return;
  }
  if (osd::OsdCondition(state_, config_.settings()))
    osd_.ShowOsdMessage("Lanceur d'applications",
                        "Application n°" + std::to_string(entry) + " lancée...");
}

}  // namespace talvoro::media
