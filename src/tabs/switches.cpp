#include "tabs/switches.h"

namespace talvoro::tabs {

using dispatch::Group;
using dispatch::TabSpec;

TabSwitches::TabSwitches(app::AppState& state, ui::MainForm& form, config::Configuration& config,
                         Lamps& lamps, learning::Learning& learning, osd::Osd& osd,
                         platform::IDialogs& dialogs, std::function<void()> apply_configuration)
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
  const TabSpec& spec = dispatch::Tab(tab);
  form_.SetChecked(spec.activation, on);
  lamps_.Show(tab, on);
  config_.programme()[spec.state_slot] = on ? "ON" : "OFF";
  config_.SaveProgramme();
}

void TabSwitches::SwitchOffOtherMembers(int tab) {
  // Every other member goes off and is saved, whether it was on or not.
  for (int member : dispatch::GroupMembers(dispatch::Tab(tab).group))
    if (member != tab) SetActivation(member, false);
}

void TabSwitches::ActivationPressed(int tab) {
  const TabSpec& spec = dispatch::Tab(tab);
  // The switch has already flipped (or not, for another button than the left).
  const bool on = form_.Checked(spec.activation);
  if (spec.activation_learn_action != 0 && form_.Checked(spec.programming)) {
    // In programming mode the switch learns the tab's toggle code instead.
    SetActivation(tab, false);
    learning_.Arm(spec.activation_learn_action);
    return;
  }
  SetActivation(tab, on);
  if (on && spec.activation_learn_action != 0) SwitchOffOtherMembers(tab);
}

void TabSwitches::ToggleActivation(int tab) {
  const TabSpec& spec = dispatch::Tab(tab);
  const char* status;
  if (form_.Checked(spec.activation)) {
    SetActivation(tab, false);
    state_.Pending(tab) = spec.toggle_off_pending;
    status = kToggleOffText;
  } else {
    SetActivation(tab, true);
    // A remote toggle keeps the media players exclusive, not the TV tabs.
    if (spec.group == Group::A) SwitchOffOtherMembers(tab);
    state_.Pending(tab) = spec.toggle_on_pending;
    status = kToggleOnText;
  }
  if (osd::OsdCondition(state_, config_.settings())) osd_.ShowOsdMessage(spec.toggle_title, status);
}

void TabSwitches::ProgrammingPressed(int tab) {
  state_.programming_tab = tab;
  bool any_on = false;
  for (const TabSpec& spec : dispatch::Tabs()) any_on = any_on || form_.Checked(spec.programming);
  if (!any_on) return;  // turning programming off does not turn activation back on
  const TabSpec& spec = dispatch::Tab(state_.programming_tab);
  config_.programme()[spec.state_slot] = "OFF";
  form_.SetChecked(spec.activation, false);
  lamps_.ShowLedOff(spec.number);
  config_.SaveProgramme();
}

void TabSwitches::PageChanged() {
  // From code: no handler runs and every activation switch keeps its state.
  for (const TabSpec& spec : dispatch::Tabs()) form_.SetChecked(spec.programming, false);
}

void TabSwitches::ClearTabCodes(int tab) {
  const TabSpec& spec = dispatch::Tab(tab);
  form_.SetChecked(spec.programming, false);
  const std::string question =
      std::string("Êtes-vous sûr de vouloir effacer tous les codes IR de l'onglet \"") +
      spec.clear_name + "\" ?";
  if (dialogs_.MessageBox(question, "Avertissement", platform::BoxIcon::Warning,
                          platform::BoxButtons::YesNo) != platform::BoxResult::Yes)
    return;
  for (int slot : spec.clear_slots) config_.programme()[slot] = "0";
  apply_configuration_();
  config_.SaveProgramme();
}

}  // namespace talvoro::tabs
