#include "media/media_commands.h"

#include "media/key_steps.h"

namespace talvoro::media {

using dispatch::CodeSlot;
using dispatch::MediaRole;
using dispatch::MediaRun;
using dispatch::StartMethod;
using dispatch::TabSpec;

MediaCommands::MediaCommands(dispatch::AppState& state, const config::Configuration& config,
                             platform::IKeyboard& keyboard, platform::IClock& clock,
                             platform::IPrograms& programs, IStartStep& start_step, osd::Osd& osd)
    : state_(state),
      config_(config),
      keyboard_(keyboard),
      clock_(clock),
      programs_(programs),
      start_step_(start_step),
      osd_(osd) {}

void MediaCommands::Register(dispatch::ActionRegistry& actions) {
  for (const TabSpec& tab : dispatch::Tabs()) {
    if (!tab.media) continue;
    for (const CodeSlot& row : tab.codes)
      actions.SetRoutine(row.action, [this, &tab, &row](const dispatch::Call& call) {
        Run(tab, row, call.armed);
      });
  }
}

void MediaCommands::Start(const TabSpec& tab, StartMethod method) {
  switch (method) {
    case StartMethod::Shell:
      programs_.ShellOpen(tab.media->shell_file);  // a failure goes unnoticed
      break;
    case StartMethod::Application:
      // A failed start has been reported; the keys go all the same.
      start_step_.StartApplication(tab.number);
      break;
    case StartMethod::None:
      break;
  }
}

void MediaCommands::Run(const TabSpec& tab, const CodeSlot& row, bool armed) {
  const dispatch::MediaTab& media = *tab.media;
  if (!armed) {
    const MediaRun& run = row.role == MediaRole::Activer ? media.activer : media.shortcuts;
    Start(tab, run.start);
    SendSteps(run.before, keyboard_, clock_);
    SendSteps(row.keys, keyboard_, clock_);
    if (row.role != MediaRole::ShortcutWithoutAfter) SendSteps(run.after, keyboard_, clock_);
    state_.Pending(tab.number) = row.pending;
  }
  if (row.osd_status && osd::OsdCondition(state_, config_.settings()))
    osd_.ShowOsdMessage(row.osd_title ? row.osd_title : media.title, row.osd_status);
}

}  // namespace talvoro::media
