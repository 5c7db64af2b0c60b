// The state the program's features share: the main window's flags and
// numbers. One plain struct, owned by the main window and handed to each
// feature that needs a part of it.
#pragma once

#include <array>

#include "dispatch/slot_map.h"

namespace talvoro::dispatch {

// Levels the Volumes tab last set (nothing reads them back from the mixer).
struct VolumeLevels {
  int master = 0;   // 0..100
  int wave = 0;     // 0..255
  int balance = 0;  // -90..90
};

struct AppState {
  // 1 while the main window is reduced to the notification area.
  int minimised = 0;
  // 1 once the receiver has arrived; the tick consumes pending numbers only then.
  int receiver_active = 0;
  // 0 until the tick's one-time pause has been made.
  int first_tick = 0;
  // True while no restart or shut-down countdown runs.
  bool countdown_idle = true;
  // Seconds left in the restart or shut-down countdown.
  int countdown_seconds = 5;
  // The tab whose programming switch was pressed last.
  int programming_tab = 0;
  // The action the next learned code goes to; set by arming, never cleared.
  int action_number = 0;
  // The last code the receiver delivered.
  int last_code = 0;
  // Each tab's last action, 0 when none (index: tab number - 1).
  std::array<int, kTabCount> pending{};
  VolumeLevels levels;

  int& Pending(int tab) { return pending.at(tab - 1); }
  int Pending(int tab) const { return pending.at(tab - 1); }
  void ResetPendingActions() { pending.fill(0); }
};

}  // namespace talvoro::dispatch
