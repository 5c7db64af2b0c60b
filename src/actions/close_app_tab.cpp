#include "actions/close_app_tab.h"

#include <string>

namespace talvoro::actions {

namespace {

constexpr int kTab = dispatch::kTabCloseApp;
constexpr std::uint8_t kVkTab = 0x09;
constexpr std::uint8_t kVkF4 = 0x73;

}  // namespace

void CloseAppTab::Register(dispatch::ActionRegistry& actions) {
  actions.SetRoutine(221, [this](const dispatch::Call& call) { Select(call.armed); });
  actions.SetRoutine(222, [this](const dispatch::Call& call) { Confirm(call.armed); });
  actions.SetRoutine(223, [this](const dispatch::Call& call) { Close(call.armed); });
}

// Announced even while the tab is programming.
void CloseAppTab::Announce(const char* button) {
  if (osd::OsdCondition(state_, config_.settings()))
    osd_.ShowOsdMessage("Fermeture application", std::string("Bouton : ") + button);
}

void CloseAppTab::Select(bool armed) {
  if (!armed) {
    // Alt stays down: the task switcher stays open for the next press.
    keyboard_.KeyEvent(platform::kVkMenu, false);
    keyboard_.KeyEvent(kVkTab, false);
    keyboard_.KeyEvent(kVkTab, true);
    state_.Pending(kTab) = 1;
  }
  Announce("Sélection");
}

void CloseAppTab::Confirm(bool armed) {
  if (!armed) {
    keyboard_.KeyEvent(platform::kVkMenu, true);
    state_.Pending(kTab) = 2;
  }
  Announce("Validation");
}

void CloseAppTab::Close(bool armed) {
  if (!armed) {
    keyboard_.KeyEvent(platform::kVkMenu, false);
    keyboard_.KeyEvent(kVkF4, false);
    keyboard_.KeyEvent(kVkF4, true);
    keyboard_.KeyEvent(platform::kVkMenu, true);
    state_.Pending(kTab) = 3;
  }
  Announce("Fermer");
}

}  // namespace talvoro::actions
