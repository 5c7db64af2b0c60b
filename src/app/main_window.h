// The main window (TForm1): start-up, the window's life (reduce, restore,
// quit), the clock and the receiver's connection to the window. It owns the
// shared state and the features, and wires them together; each feature's
// behaviour lives in its own class.
#pragma once

#include <memory>
#include <string>

#include "app/commands.h"
#include "app/services.h"
#include "app/single_instance.h"
#include "config/configuration.h"
#include "dispatch/app_state.h"
#include "hid/hid_controller.h"
#include "hid/receiver.h"
#include "platform/shell.h"
#include "ui/forms/forms.h"

namespace talvoro::actions {
class VolumeController;
}
namespace talvoro::config {
class FileDialogs;
}
namespace talvoro::dispatch {
class ActionRegistry;
class Dispatcher;
}  // namespace talvoro::dispatch
namespace talvoro::learning {
class Learning;
class LearnDialog;
class ConflictWindow;
}  // namespace talvoro::learning
namespace talvoro::media {
class AppPaths;
}
namespace talvoro::osd {
class Osd;
class CountdownWindow;
class SettingsDialog;
}  // namespace talvoro::osd
namespace talvoro::tabs {
class ConfigurationApplier;
class Lamps;
class TabSwitches;
}  // namespace talvoro::tabs

namespace talvoro::app {

class Journal;

class MainWindow : public hid::IReceiverHost {
 public:
  static constexpr int kAutoMinimiseTicks = 2;
  static constexpr unsigned kNotifyCallback = 0x0400 + 100;  // WM_USER + 100
  // How often a notification icon the shell refused is offered again.
  static constexpr int kIconRetryInterval = 2000;

  MainWindow(const Services& services, ui::FormSet& forms);
  ~MainWindow() override;

  // Single-instance guard, then (first copy only) the features and the
  // start-up sequence.
  bool Create();
  void OnCopyData(const void* data, std::size_t size);
  void OnNotifyIcon(platform::TrayEvent event);
  void OnTaskbarCreated();
  void OnTaskbarEntryRestored();
  void OnExit();

  // --- the window's life ---
  void FormCreate();
  void FormActivate();
  void Reduce();
  void Restore();
  void Quit();
  void UpdateClock();
  void ApplyConfiguration();
  void OpenHelp(const std::string& topic);

  // --- state and features (the features exist once Create() returned true) ---
  dispatch::AppState& state() { return state_; }
  const dispatch::AppState& state() const { return state_; }
  config::Configuration& config() { return config_; }
  config::SettingsTable& settings() { return config_.settings(); }
  config::ProgrammeTable& programme() { return config_.programme(); }
  ui::MainForm& form() { return forms_.main; }
  int minimised() const { return state_.minimised; }
  int receiver_active() const { return state_.receiver_active; }
  int last_code() const { return state_.last_code; }
  const dispatch::VolumeLevels& levels() const { return state_.levels; }
  bool auto_minimise_enabled() const;
  platform::TimerId tick_timer() const { return tick_timer_; }
  // Whether the shell has the notification icon (it may refuse it at log-on).
  bool notify_icon_shown() const { return icon_shown_; }
  const SingleInstanceGuard& guard() const { return guard_; }
  hid::HidDeviceController* hid_controller() { return controller_.get(); }
  Commands& commands() { return commands_; }
  actions::VolumeController& volume();
  dispatch::ActionRegistry& actions();
  dispatch::Dispatcher& dispatcher();
  learning::Learning& learning();
  osd::Osd& osd();
  osd::CountdownWindow& countdown();
  osd::SettingsDialog& settings_dialog();
  tabs::TabSwitches& switches();
  tabs::Lamps& lamps();
  config::FileDialogs& file_dialogs();
  // The programs' paths and the start step the media tabs run (IStartStep).
  media::AppPaths& paths();
  Journal& journal();

  // --- the receiver ---
  void OnReceiverStatus(const std::string& utf8) override;
  void OnReceiverArrived() override;
  void OnReceiverGone() override;
  void OnCode(int code) override;

 private:
  struct Features;
  void WireHandlers();
  void OnAutoMinimiseTick();
  void AddNotifyIcon();
  void OnTick();
  // Sets the tick's next period from what it has to do; `after_tick` when
  // the tick itself just ran.
  void ScheduleTick(bool after_tick);

  Services services_;
  ui::FormSet& forms_;
  dispatch::AppState state_;
  config::Configuration config_;
  SingleInstanceGuard guard_;
  Commands commands_;
  // Built by the first copy only: creating the mixer component unmutes the
  // speakers and sets the stored level, which a second copy must not do.
  std::unique_ptr<Features> features_;

  platform::NotifyIconSpec notify_icon_;
  bool icon_wanted_ = false;  // from start-up to quit
  bool icon_shown_ = false;   // the shell has it
  platform::TimerId icon_retry_timer_ = 0;
  platform::TimerId tick_timer_ = 0;           // Timer3, 100 ms while busy, else 1 s
  int tick_period_ = 0;                        // the period it was given last
  platform::TimerId auto_minimise_timer_ = 0;  // Timer6, 1000 ms
  int auto_minimise_count_ = 0;

  // Declared last: the connection goes before the controller, and both
  // before the state their handlers use.
  std::unique_ptr<hid::HidDeviceController> controller_;
  std::unique_ptr<hid::ReceiverConnection> receiver_;
};

}  // namespace talvoro::app
