// The "Touches personnalisées" tab: twenty rows, each sending the keys the
// user chose for it (any chord, a media key...) to the window in front. Row
// n keeps its keys in key slot 259 + 2n (dispatch/key_chord.h) and its code
// in slot 258 + 2n; its action number is 230 + n.
#pragma once

#include "config/configuration.h"
#include "dispatch/action_registry.h"
#include "dispatch/app_state.h"
#include "media/keys_dialog.h"
#include "osd/osd.h"
#include "platform/keyboard.h"
#include "ui/forms/forms.h"

namespace talvoro::media {

inline constexpr const char* kCustomKeysTitle = "Touches personnalisées";

class CustomKeys {
 public:
  static constexpr int kRows = 20;
  static constexpr int kFirstAction = 231;  // row n has action 230 + n

  CustomKeys(dispatch::AppState& state, config::Configuration& config, ui::MainForm& form,
             platform::IKeyboard& keyboard, osd::Osd& osd, KeysDialog& dialog)
      : state_(state),
        config_(config),
        form_(form),
        keyboard_(keyboard),
        osd_(osd),
        dialog_(dialog) {}

  // Actions 231 to 250.
  void Register(dispatch::ActionRegistry& actions);
  // Every row's "..." opens the keys dialog for its row.
  void Wire();

  // Row 1..20: sends its keys (an empty slot or one that does not parse
  // sends nothing), records the row as the tab's pending number and
  // announces it. While the tab is programming (`armed`) it does nothing.
  void Send(int row, bool armed);
  // Opens the keys dialog on row 1..20's keys; "&Ok" stores the choice in
  // the row's key slot, shows it and saves the programme file.
  void Choose(int row);

 private:
  void Store(int row, const std::string& stored);

  dispatch::AppState& state_;
  config::Configuration& config_;
  ui::MainForm& form_;
  platform::IKeyboard& keyboard_;
  osd::Osd& osd_;
  KeysDialog& dialog_;
};

}  // namespace talvoro::media
