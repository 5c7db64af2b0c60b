#include "tabs/apply_configuration.h"

#include "actions/volume_selection.h"
#include "config/io_error.h"
#include "config/text.h"
#include "dispatch/key_chord.h"
#include "dispatch/slot_map.h"
#include "tabs/images.h"

namespace talvoro::tabs {

using config::AnsiToUtf8;
using config::ProgrammeTable;
using config::ToInteger;
using dispatch::CodeSlot;
using dispatch::TabSpec;
using ui::MainId;

namespace {

void ShowCode(ui::MainForm& form, const ProgrammeTable& table, const CodeSlot& code) {
  form.SetText(code.code_label, "IR: " + AnsiToUtf8(table[code.slot]));
}

void ShowCodes(ui::MainForm& form, const ProgrammeTable& table, const TabSpec& tab) {
  if (tab.toggle) ShowCode(form, table, *tab.toggle);
  for (const CodeSlot& code : tab.codes) ShowCode(form, table, code);
}

}  // namespace

void ConfigurationApplier::ApplyActivation(int tab) {
  const TabSpec& info = dispatch::Tab(tab);
  const bool on = config_.programme()[info.state_slot] == "ON";
  form_.SetChecked(info.activation, on);
  lamps_.Show(tab, on);
}

void ConfigurationApplier::ApplyConfiguration() {
  ui::MainForm& f = form_;
  const ProgrammeTable& table = config_.programme();

  // 1. Volumes activation.
  ApplyActivation(dispatch::kTabVolumes);

  // 2. Level selector: only the exact values change it.
  const std::string& selection = table[dispatch::kSlotVolumeSelection];
  if (selection == "VG" || selection == "VW") {
    const bool general = selection == "VG";
    f.SetChecked(MainId::RadioButton1, general);
    f.SetChecked(MainId::RadioButton2, !general);
    actions::ShowVolumeSelection(f, general);
  }

  // 3. Master volume.
  const int master = ToInteger(table[dispatch::kSlotMasterVolume]);
  volume_.SetVolume(master);
  f.SetPosition(MainId::ProgressBar1, master);
  levels_.master = master;

  // 4. Mute.
  const std::string& mute = table[dispatch::kSlotMute];
  if (mute == "SON_OFF" || mute == "SON_ON") {
    const bool muted = mute == "SON_OFF";
    volume_.SetMute(muted);
    f.SetImage(MainId::SpeedButton6,
               LoadPicture(files_, config_.FilePath(muted ? "SON_OFF.BMP" : "SON_ON.BMP")));
  }

  // 5. Balance (the track bar only displays it).
  const int balance = ToInteger(table[dispatch::kSlotBalance]);
  volume_.SetBalance(balance);
  f.SetPosition(MainId::TrackBar1, balance);
  levels_.balance = balance;

  // 6. Wave volume.
  const int wave = ToInteger(table[dispatch::kSlotWaveVolume]);
  devices_.Write(actions::DeviceVolumes::kWave, wave);
  f.SetPosition(MainId::ProgressBar2, wave);
  levels_.wave = wave;

  ShowCodes(f, table, dispatch::Tab(dispatch::kTabVolumes));

  // 7. Every other tab: switch and lamp, code labels, path labels, keys.
  for (const TabSpec& tab : dispatch::Tabs()) {
    if (tab.number == dispatch::kTabVolumes) continue;
    ApplyActivation(tab.number);
    ShowCodes(f, table, tab);
    for (const dispatch::PathSlot& path : tab.paths)
      f.SetText(path.label, std::string(path.prefix) + AnsiToUtf8(table[path.slot]));
    for (const dispatch::KeySlot& keys : tab.keys)
      f.SetText(keys.label, dispatch::KeysText(table[keys.slot]));
  }
}

}  // namespace talvoro::tabs
