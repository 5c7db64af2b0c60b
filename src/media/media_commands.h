// The media tabs' buttons: every row of a tab with a media record in the slot
// map runs through one routine. While the tab programs, the registry has
// armed learning and the button only announces itself (when it has OSD
// texts); otherwise it brings the application forward, sends the tab's steps
// and its own keys, leaves its value in the tab's pending action number and
// announces itself on the OSD.
#pragma once

#include "config/configuration.h"
#include "dispatch/action_registry.h"
#include "dispatch/app_state.h"
#include "media/start_step.h"
#include "osd/osd.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/programs.h"

namespace talvoro::media {

class MediaCommands {
 public:
  MediaCommands(dispatch::AppState& state, const config::Configuration& config,
                platform::IKeyboard& keyboard, platform::IClock& clock,
                platform::IPrograms& programs, IStartStep& start_step, osd::Osd& osd);

  // Every button of every media tab (not the toggles, not the launcher).
  void Register(dispatch::ActionRegistry& actions);

  // One button of a media tab; `armed` when learning was armed instead.
  void Run(const dispatch::TabSpec& tab, const dispatch::CodeSlot& row, bool armed);

 private:
  void Start(const dispatch::TabSpec& tab, dispatch::StartMethod method);

  dispatch::AppState& state_;
  const config::Configuration& config_;
  platform::IKeyboard& keyboard_;
  platform::IClock& clock_;
  platform::IPrograms& programs_;
  IStartStep& start_step_;
  osd::Osd& osd_;
};

}  // namespace talvoro::media
