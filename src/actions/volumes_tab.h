// The Volumes tab: which volume the remote works on, up and down, the master
// mute and balance. Every routine acts even while the tab is programming
// (after arming learning), keeps the tab's slots saved and announces itself.
#pragma once

#include "actions/volume_controller.h"
#include "config/configuration.h"
#include "dispatch/action_registry.h"
#include "dispatch/app_state.h"
#include "osd/osd.h"
#include "tabs/images.h"
#include "ui/forms/forms.h"

namespace talvoro::actions {

class VolumesTab {
 public:
  static constexpr int kMasterStep = 10;
  static constexpr int kWaveStep = 25;
  static constexpr int kBalanceStep = 10;
  static constexpr int kBalanceLimit = 90;

  VolumesTab(dispatch::AppState& state, ui::MainForm& form, config::Configuration& config,
             VolumeController& volume, DeviceVolumes& devices, osd::Osd& osd,
             tabs::Pictures& pictures);

  // Actions 1 to 8.
  void Register(dispatch::ActionRegistry& actions);

  void SelectMaster(dispatch::Caller caller) { Select(true, caller); }
  void SelectWave(dispatch::Caller caller) { Select(false, caller); }
  void VolumeUp() { StepVolume(+1); }
  void VolumeDown() { StepVolume(-1); }
  void ToggleMute();
  void BalanceRight() { SetBalance(state_.levels.balance + kBalanceStep, 6); }
  void BalanceLeft() { SetBalance(state_.levels.balance - kBalanceStep, 7); }
  void BalanceCentre() { SetBalance(0, 8); }

 private:
  // General (master) volume or wave volume.
  void Select(bool general, dispatch::Caller caller);
  bool MasterSelected() const;
  bool WaveSelected() const;
  bool OsdShown() const;
  void StepVolume(int direction);
  void SetBalance(int level, int pending);
  void Store(int slot, int value);
  void ShowVolume();

  dispatch::AppState& state_;
  ui::MainForm& form_;
  config::Configuration& config_;
  VolumeController& volume_;
  DeviceVolumes& devices_;
  osd::Osd& osd_;
  tabs::Pictures& pictures_;
};

}  // namespace talvoro::actions
