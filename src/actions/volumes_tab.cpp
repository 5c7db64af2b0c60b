#include "actions/volumes_tab.h"

#include <algorithm>
#include <string>

#include "actions/volume_selection.h"

namespace talvoro::actions {

using dispatch::Call;
using dispatch::Caller;
using ui::MainId;

namespace {

constexpr int kTab = dispatch::kTabVolumes;

}  // namespace

VolumesTab::VolumesTab(dispatch::AppState& state, ui::MainForm& form, config::Configuration& config,
                       VolumeController& volume, DeviceVolumes& devices, osd::Osd& osd,
                       tabs::Pictures& pictures)
    : state_(state),
      form_(form),
      config_(config),
      volume_(volume),
      devices_(devices),
      osd_(osd),
      pictures_(pictures) {}

void VolumesTab::Register(dispatch::ActionRegistry& actions) {
  // The Volumes tab acts while programming too: `armed` changes nothing.
  actions.SetRoutine(1, [this](const Call& call) { SelectMaster(call.caller); });
  actions.SetRoutine(2, [this](const Call& call) { SelectWave(call.caller); });
  actions.SetRoutine(3, [this](const Call&) { VolumeUp(); });
  actions.SetRoutine(4, [this](const Call&) { VolumeDown(); });
  actions.SetRoutine(5, [this](const Call&) { ToggleMute(); });
  actions.SetRoutine(6, [this](const Call&) { BalanceRight(); });
  actions.SetRoutine(7, [this](const Call&) { BalanceLeft(); });
  actions.SetRoutine(8, [this](const Call&) { BalanceCentre(); });
}

bool VolumesTab::MasterSelected() const {
  return form_.Checked(MainId::RadioButton1);
}

bool VolumesTab::WaveSelected() const {
  return form_.Checked(MainId::RadioButton2);
}

bool VolumesTab::OsdShown() const {
  return osd::OsdCondition(state_, config_.settings());
}

void VolumesTab::Store(int slot, int value) {
  config_.programme()[slot] = std::to_string(value);
  config_.SaveProgramme();
}

void VolumesTab::Select(bool general, Caller caller) {
  config_.programme()[dispatch::kSlotVolumeSelection] = general ? "VG" : "VW";
  config_.SaveProgramme();
  ShowVolumeSelection(form_, general);
  state_.Pending(kTab) = general ? 1 : 2;
  // A mouse press leaves the checking to the button's own click.
  if (caller != Caller::Remote) return;
  form_.SetChecked(MainId::RadioButton1, general);
  form_.SetChecked(MainId::RadioButton2, !general);
  if (!OsdShown()) return;
  if (general)
    osd_.ShowOsdSelection("Volume général sélectionné...", 55);
  else
    osd_.ShowOsdSelection("Volume wave / MP3 sélectionné...", 40);
}

void VolumesTab::ShowVolume() {
  if (OsdShown()) osd_.ShowOsdVolume(volume_.Mute() ? "SON_OFF.bmp" : "SON_ON.bmp");
}

void VolumesTab::StepVolume(int direction) {
  // At a bound the level stays, and everything is written again all the same.
  if (MasterSelected()) {
    int& level = state_.levels.master;
    level = std::clamp(level + direction * kMasterStep, 0, 100);
    volume_.SetVolume(level);
    form_.SetPosition(MainId::ProgressBar1, level);
    Store(dispatch::kSlotMasterVolume, level);
    state_.Pending(kTab) = direction > 0 ? 31 : 41;
    ShowVolume();
  }
  if (WaveSelected()) {
    int& level = state_.levels.wave;
    level = std::clamp(level + direction * kWaveStep, 0, 255);
    devices_.Write(DeviceVolumes::kWave, level);
    form_.SetPosition(MainId::ProgressBar2, level);
    Store(dispatch::kSlotWaveVolume, level);
    state_.Pending(kTab) = direction > 0 ? 32 : 42;
    ShowVolume();
  }
}

void VolumesTab::ToggleMute() {
  if (!MasterSelected()) return;
  const bool mute = !volume_.Mute();
  volume_.SetMute(mute);
  // A missing glyph leaves the button without picture; the action completes
  // and the file is reported once.
  form_.SetImage(MainId::SpeedButton6, pictures_.Get(mute ? "SON_OFF.BMP" : "SON_ON.BMP"));
  config_.programme()[dispatch::kSlotMute] = mute ? "SON_OFF" : "SON_ON";
  config_.SaveProgramme();
  state_.Pending(kTab) = mute ? 52 : 51;
  if (OsdShown()) osd_.ShowOsdVolume(mute ? "SON_OFF.bmp" : "SON_ON.bmp");
  pictures_.ReportNewFailures();
}

void VolumesTab::SetBalance(int level, int pending) {
  if (!MasterSelected()) return;
  int& balance = state_.levels.balance;
  balance = std::clamp(level, -kBalanceLimit, kBalanceLimit);
  volume_.SetBalance(balance);
  // The track bar only shows the balance: the user cannot drag it.
  form_.SetEnabled(MainId::TrackBar1, true);
  form_.SetPosition(MainId::TrackBar1, balance);
  form_.SetEnabled(MainId::TrackBar1, false);
  Store(dispatch::kSlotBalance, balance);
  state_.Pending(kTab) = pending;
  if (OsdShown()) osd_.ShowOsdBalance(balance);
}

}  // namespace talvoro::actions
