#include "tabs/switches.h"

namespace talvoro::tabs {

using dispatch::Group;
using dispatch::TabSpec;

TabSwitches::TabSwitches(dispatch::AppState& state, ui::MainForm& form,
                         config::Configuration& config, Lamps& lamps, learning::Learning& learning,
                         osd::Osd& osd, platform::IDialogs& dialogs,
                         std::function<void()> apply_configuration)
    : state_(state),
      form_(form),
      config_(config),
      lamps_(lamps),
      learning_(learning),
      osd_(osd),
      dialogs_(dialogs),
      apply_configuration_(std::move(apply_configuration)) {}

void TabSwitches::Wire() {
  for (const TabSpec& tab : dispatch::Tabs()) {
    const int n = tab.number;
    form_.OnSwitchPress(tab.activation, [this, n] { ActivationPressed(n); });
    form_.OnSwitchPress(tab.programming, [this, n] { ProgrammingPressed(n); });
    form_.OnClick(tab.clear_button, [this, n] { ClearTabCodes(n); });
  }
  form_.OnPageChange(ui::MainId::PageControl1, [this] { PageChanged(); });
}

void TabSwitches::SetActivation(int tab, bool on) {
  const TabSpec& info = dispatch::Tab(tab);
  form_.SetChecked(info.activation, on);
  lamps_.Show(tab, on);
  config_.programme()[info.state_slot] = on ? "ON" : "OFF";
  config_.SaveProgramme();
}

void TabSwitches::SwitchOffOtherMembers(int tab) {
  // Every other member goes off and is saved, whether it was on or not.
  for (int member : dispatch::GroupMembers(dispatch::Tab(tab).group))
    if (member != tab) SetActivation(member, false);
}

void TabSwitches::ActivationPressed(int tab) {
  const TabSpec& info = dispatch::Tab(tab);
  // The switch has already flipped (or not, for another button than the left).
  const bool on = form_.Checked(info.activation);
  if (info.activation_learn_action != 0 && form_.Checked(info.programming)) {
    // In programming mode the switch learns the tab's toggle code instead.
    SetActivation(tab, false);
    learning_.Arm(info.activation_learn_action);
    return;
  }
  SetActivation(tab, on);
  if (on && info.activation_learn_action != 0) SwitchOffOtherMembers(tab);
}

void TabSwitches::ToggleActivation(int tab) {
  const TabSpec& info = dispatch::Tab(tab);
  const char* status;
  if (form_.Checked(info.activation)) {
    SetActivation(tab, false);
    state_.Pending(tab) = info.toggle_off_pending;
    status = kToggleOffText;
  } else {
    SetActivation(tab, true);
    // A remote toggle keeps the media players exclusive, not the TV tabs.
    if (info.group == Group::A) SwitchOffOtherMembers(tab);
    state_.Pending(tab) = info.toggle_on_pending;
    status = kToggleOnText;
  }
  if (osd::OsdCondition(state_, config_.settings())) osd_.ShowOsdMessage(info.toggle_title, status);
}

void TabSwitches::ProgrammingPressed(int tab) {
  state_.programming_tab = tab;
  bool any_on = false;
  for (const TabSpec& info : dispatch::Tabs()) any_on = any_on || form_.Checked(info.programming);
  if (!any_on) return;  // turning programming off does not turn activation back on
  const TabSpec& info = dispatch::Tab(state_.programming_tab);
  config_.programme()[info.state_slot] = "OFF";
  form_.SetChecked(info.activation, false);
  lamps_.ShowLedOff(info.number);
  config_.SaveProgramme();
}

void TabSwitches::PageChanged() {
  // From code: no handler runs and every activation switch keeps its state.
  for (const TabSpec& info : dispatch::Tabs()) form_.SetChecked(info.programming, false);
}

void TabSwitches::ClearTabCodes(int tab) {
  const TabSpec& info = dispatch::Tab(tab);
  form_.SetChecked(info.programming, false);
  const std::string question =
      std::string("Êtes-vous sûr de vouloir effacer tous les codes IR de l'onglet \"") +
      info.clear_name + "\" ?";
  if (dialogs_.MessageBox(question, "Avertissement", platform::BoxIcon::Warning,
                          platform::BoxButtons::YesNo) != platform::BoxResult::Yes)
    return;
  for (int slot : info.clear_slots) config_.programme()[slot] = "0";
  apply_configuration_();
  config_.SaveProgramme();
}

}  // namespace talvoro::tabs
