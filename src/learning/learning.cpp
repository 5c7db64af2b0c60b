#include "learning/learning.h"

#include <string>

namespace talvoro::learning {

Learning::Learning(dispatch::AppState& state, ui::MainForm& form, config::Configuration& config,
                   LearnDialog& dialog, ConflictWindow& conflict,
                   std::function<void()> apply_configuration)
    : state_(state),
      form_(form),
      config_(config),
      dialog_(dialog),
      conflict_(conflict),
      apply_configuration_(std::move(apply_configuration)) {
  dialog_.OnAbandon([this] { Abandon(); });
}

void Learning::Arm(int action) {
  state_.action_number = action;
  dialog_.Show();
}

void Learning::Store(const dispatch::TabSpec& tab, const dispatch::CodeSlot& code) {
  const std::string text = std::to_string(state_.last_code);
  form_.SetChecked(tab.programming, false);
  dialog_.Hide();
  form_.SetText(code.code_label, "IR: " + text);
  config_.programme()[code.slot] = text;
  config_.SaveProgramme();
  apply_configuration_();
}

void Learning::Abandon() {
  for (const dispatch::TabSpec& tab : dispatch::Tabs()) form_.SetChecked(tab.programming, false);
  dialog_.Hide();
}

void Learning::Refuse() {
  for (const dispatch::TabSpec& tab : dispatch::Tabs())
    if (tab.off_on_conflict) form_.SetChecked(tab.programming, false);
  dialog_.Hide();
  conflict_.Show();
}

}  // namespace talvoro::learning
