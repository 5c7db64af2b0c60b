#include "actions/windows_tab.h"

namespace talvoro::actions {

using dispatch::Call;

namespace {

constexpr int kTab = dispatch::kTabWindows;
constexpr std::uint8_t kVkLeftWindows = 0x5B;
constexpr std::uint8_t kVkE = 0x45;
constexpr const char* kCancelLine = "Recliquez sur le même bouton pour annuler...";

std::string CountdownLine(int pending, int seconds) {
  return (pending == dispatch::kPendingRestart ? "Redémarrage du PC dans " : "Arrêt du PC dans ") +
         std::to_string(seconds) + " secondes";
}

}  // namespace

WindowsTab::WindowsTab(dispatch::AppState& state, const config::Configuration& config,
                       platform::IKeyboard& keyboard, platform::IPrograms& programs,
                       platform::IPower& power, platform::ITimers& timers, osd::Osd& osd,
                       osd::CountdownWindow& countdown)
    : state_(state),
      config_(config),
      keyboard_(keyboard),
      programs_(programs),
      power_(power),
      timers_(timers),
      osd_(osd),
      countdown_(countdown) {
  countdown_timer_ = timers_.CreateTimer(kCountdownInterval, [this] { OnCountdownTick(); });
}

void WindowsTab::Register(dispatch::ActionRegistry& actions) {
  actions.SetRoutine(10, [this](const Call& call) { Explorer(call.armed); });
  actions.SetRoutine(11, [this](const Call& call) { InternetExplorer(call.armed); });
  actions.SetRoutine(12, [this](const Call& call) { OutlookExpress(call.armed); });
  actions.SetRoutine(13, [this](const Call& call) { VolumeControl(call.armed); });
  // The PC actions only arm learning while the tab is programming.
  actions.SetRoutine(14, [this](const Call& call) {
    if (!call.armed) ScreenSaver();
  });
  actions.SetRoutine(15, [this](const Call& call) {
    if (!call.armed) DisplayOff();
  });
  actions.SetRoutine(16, [this](const Call& call) {
    if (!call.armed) Restart();
  });
  actions.SetRoutine(17, [this](const Call& call) {
    if (!call.armed) ShutDown();
  });
}

// The program buttons announce themselves even while the tab is programming.
void WindowsTab::Announce(const char* first_line) {
  if (osd::OsdCondition(state_, config_.settings())) osd_.ShowOsdInfo(first_line, "Patientez...");
}

void WindowsTab::Explorer(bool armed) {
  if (!armed) {
    keyboard_.KeyEvent(kVkLeftWindows, false);
    keyboard_.KeyEvent(kVkE, false);
    keyboard_.KeyEvent(kVkE, true);
    keyboard_.KeyEvent(kVkLeftWindows, true);
    state_.Pending(kTab) = 1;
  }
  Announce("Ouverture de l'Explorateur Windows.");
}

void WindowsTab::InternetExplorer(bool armed) {
  if (!armed) {
    // Internet Explorer is gone from today's Windows: the user's browser
    // stands in for it.
    if (!programs_.ShellOpen("IEXPLORE.EXE")) programs_.StartDefaultFor("http");
    state_.Pending(kTab) = 2;
  }
  Announce("Ouverture d'Internet Explorer.");
}

void WindowsTab::OutlookExpress(bool armed) {
  if (!armed) {
    // Likewise Outlook Express: the user's mail program.
    if (!programs_.ShellOpen("msimn.exe")) programs_.StartDefaultFor("mailto");
    state_.Pending(kTab) = 3;
  }
  Announce("Ouverture d'Outlook Express.");
}

void WindowsTab::VolumeControl(bool armed) {
  if (!armed) {
    // SNDVOL32.EXE became sndvol.exe with Windows Vista.
    if (!programs_.StartSystemProgram("SNDVOL32.EXE")) programs_.StartSystemProgram("sndvol.exe");
    state_.Pending(kTab) = 4;
  }
  Announce("Ouverture du contrôle du volume.");
}

void WindowsTab::ScreenSaver() {
  power_.StartScreenSaver();
  state_.Pending(kTab) = 5;
}

void WindowsTab::DisplayOff() {
  power_.DisplayLowPower();
  state_.Pending(kTab) = 6;
}

bool WindowsTab::countdown_running() const {
  return timers_.TimerEnabled(countdown_timer_);
}

void WindowsTab::ShowCountdown(const std::string& first, const std::string& second) {
  countdown_.SetLines(first, second);
}

void WindowsTab::EndCountdown() {
  state_.countdown_idle = true;
  timers_.EnableTimer(countdown_timer_, false);
  state_.countdown_seconds = kCountdownSeconds;
  countdown_.Hide();
}

void WindowsTab::PowerPress(int pending) {
  state_.Pending(kTab) = pending;
  if (!state_.countdown_idle) {
    // A second press of either button cancels either countdown.
    EndCountdown();
    state_.Pending(kTab) = 0;
    return;
  }
  countdown_.Show();
  ShowCountdown(CountdownLine(pending, kCountdownSeconds), kCancelLine);
  state_.countdown_idle = false;
  timers_.EnableTimer(countdown_timer_, true);
  state_.countdown_seconds = kCountdownSeconds;
}

void WindowsTab::OnCountdownTick() {
  const int pending = state_.Pending(kTab);
  if (pending != dispatch::kPendingRestart && pending != dispatch::kPendingShutdown) {
    // Another action cleared the number meanwhile: nothing is to happen any
    // more, so the countdown ends as a cancel does instead of staying on
    // screen with a stale text.
    EndCountdown();
    return;
  }
  --state_.countdown_seconds;
  ShowCountdown(CountdownLine(pending, state_.countdown_seconds), kCancelLine);
  if (state_.countdown_seconds > 0) return;
  timers_.EnableTimer(countdown_timer_, false);
  const bool restart = pending == dispatch::kPendingRestart;
  ShowCountdown(restart ? "Le PC va redémarrer." : "Le PC va s'arrêter.",
                "Fermeture de Windows en cours...");
  power_.ExitSystem(restart ? platform::ExitKind::Restart : platform::ExitKind::ShutDown);
}

}  // namespace talvoro::actions
