// The main window (TForm1): the global state every feature reads and writes,
// start-up, the window's life (reduce, restore, quit), the clock and the
// receiver's connection to the window.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "actions/volume_controller.h"
#include "app/services.h"
#include "app/single_instance.h"
#include "config/configuration.h"
#include "dispatch/slot_map.h"
#include "hid/hid_controller.h"
#include "hid/receiver.h"
#include "ui/forms/forms.h"

namespace talvoro::app {

// The forms the main window owns, in creation order.
struct Forms {
  ui::MainForm main{ui::MainLayout()};
  ui::SerialForm serial{ui::SerialLayout()};
  ui::SettingsForm settings{ui::SettingsLayout()};
  ui::LearnForm learn{ui::LearnLayout()};
  ui::OsdForm osd{ui::OsdLayout()};
  ui::CountdownForm countdown{ui::CountdownLayout()};
  ui::ConflictForm conflict{ui::ConflictLayout()};
  ui::AboutForm about{ui::AboutLayout()};
};

// Levels the Volumes tab last set (nothing reads them back from the mixer).
struct VolumeLevels {
  int master = 0;   // 0..100
  int wave = 0;     // 0..255
  int balance = 0;  // -90..90
};

class MainWindow : public hid::IReceiverHost {
 public:
  static constexpr int kAutoMinimiseTicks = 2;
  static constexpr unsigned kNotifyCallback = 0x0400 + 100;  // WM_USER + 100

  MainWindow(const Services& services, Forms& forms);
  ~MainWindow() override;

  // Single-instance guard, then (first copy only) the start-up sequence.
  bool Create();
  void OnCopyData(const void* data, std::size_t size);
  void OnNotifyIcon(unsigned mouse_message);
  void OnExit();

  // --- operations other features call ---
  void FormCreate();
  void FormActivate();
  void Reduce();
  void Restore();
  void Quit();
  void UpdateClock();
  void ResetPendingActions();
  void SaveSettings() { config_.SaveSettings(); }
  void SaveProgramme() { config_.SaveProgramme(); }
  void ApplyConfiguration();
  void ShowLedOn(int tab) { ShowLed(tab, true); }
  void ShowLedOff(int tab) { ShowLed(tab, false); }

  // --- state ---
  config::Configuration& config() { return config_; }
  config::SettingsTable& settings() { return config_.settings(); }
  config::ProgrammeTable& programme() { return config_.programme(); }
  ui::MainForm& form() { return forms_.main; }
  int minimised() const { return minimised_; }
  int receiver_active() const { return receiver_active_; }
  int first_tick() const { return first_tick_; }
  bool countdown_idle() const { return countdown_idle_; }
  int pending_action(int tab) const { return pending_.at(tab - 1); }
  void set_pending_action(int tab, int value) { pending_.at(tab - 1) = value; }
  const VolumeLevels& levels() const { return levels_; }
  actions::VolumeController& volume() { return *volume_; }
  bool auto_minimise_enabled() const;
  int last_code() const { return last_code_; }
  hid::HidDeviceController* hid_controller() { return controller_.get(); }

  // --- the receiver ---
  void OnReceiverStatus(const std::string& utf8) override;
  void OnReceiverArrived() override;
  void OnReceiverGone() override;
  void OnCode(int code) override;
  const SingleInstanceGuard& guard() const { return guard_; }

 private:
  void ShowLed(int tab, bool on);
  // Activation switch and lamp of a tab from its state slot (only "ON" is on).
  void ApplyActivation(const dispatch::TabSpec& tab);
  void ApplyTabs();
  void OnAutoMinimiseTick();
  void OnTick();
  void WireHandlers();

  Services services_;
  Forms& forms_;
  config::Configuration config_;
  SingleInstanceGuard guard_;
  // Created by the first copy only: creating it unmutes the speakers and
  // sets the stored level, which a second copy must not do.
  std::unique_ptr<actions::VolumeController> volume_;
  actions::DeviceVolumes devices_;
  VolumeLevels levels_;

  platform::NotifyIconSpec notify_icon_;
  platform::TimerId tick_timer_ = 0;           // Timer3, 100 ms
  platform::TimerId auto_minimise_timer_ = 0;  // Timer6, 1000 ms

  int minimised_ = 0;
  int receiver_active_ = 0;
  int first_tick_ = 0;
  bool countdown_idle_ = true;
  std::array<int, dispatch::kTabCount> pending_{};
  int auto_minimise_count_ = 0;
  int last_code_ = 0;

  // Declared last: the connection goes before the controller, and both
  // before the state their handlers use.
  std::unique_ptr<hid::HidDeviceController> controller_;
  std::unique_ptr<hid::ReceiverConnection> receiver_;
};

}  // namespace talvoro::app
