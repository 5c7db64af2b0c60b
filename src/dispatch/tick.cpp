#include "dispatch/tick.h"

#include <algorithm>

#include "dispatch/slot_map.h"

namespace talvoro::dispatch {

namespace {

bool Consumes(const TabSpec& tab, int pending) {
  return std::find(tab.tick_consumed.begin(), tab.tick_consumed.end(), pending) !=
         tab.tick_consumed.end();
}

}  // namespace

bool Tick::Busy() const {
  if (state_.receiver_active != 1) return false;
  if (state_.first_tick == 0) return true;
  for (const TabSpec& tab : Tabs())
    if (Consumes(tab, state_.Pending(tab.number))) return true;
  const int windows = state_.Pending(kTabWindows);
  return windows == kPendingRestart || windows == kPendingShutdown;
}

int Tick::NextInterval(const platform::DateTime& now) const {
  if (Busy()) return kInterval;
  return 1000 - now.millisecond + kPastTheSecond;
}

void Tick::Pause(int tenths) {
  for (int i = 0; i < tenths; ++i) clock_.Sleep(100);
}

void Tick::OnTick() {
  update_clock_();
  if (state_.receiver_active != 1) return;
  if (state_.first_tick == 0) {
    Pause(3);
    state_.first_tick = 1;
  }
  // Nearly every tick finds nothing pending; as no routine stores 0, the
  // checks below would then find nothing to clear.
  if (std::all_of(state_.pending.begin(), state_.pending.end(), [](int n) { return n == 0; }))
    return;

  // Volumes: a balance centre pauses before the numbers are cleared.
  const int volumes = state_.Pending(kTabVolumes);
  if (Consumes(Tab(kTabVolumes), volumes)) {
    if (volumes == kPendingBalanceCentre) Pause(1);
    state_.ResetPendingActions();
  }

  // Windows: the restart and shut-down numbers stay while their countdown
  // runs; once it has run out, the receiver's work is over.
  const int windows = state_.Pending(kTabWindows);
  if (Consumes(Tab(kTabWindows), windows)) {
    state_.ResetPendingActions();
  } else if ((windows == kPendingRestart || windows == kPendingShutdown) &&
             state_.countdown_seconds < 1) {
    state_.receiver_active = 0;
    Pause(2);
    state_.ResetPendingActions();
  }

  for (const TabSpec& tab : Tabs()) {
    if (tab.number == kTabVolumes || tab.number == kTabWindows) continue;
    if (Consumes(tab, state_.Pending(tab.number))) state_.ResetPendingActions();
  }
}

}  // namespace talvoro::dispatch
