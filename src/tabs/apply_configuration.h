// Copying the programme table into the main window and the mixer: every
// switch, lamp, code label and path label, and the Volumes levels.
#pragma once

#include "actions/volume_controller.h"
#include "config/configuration.h"
#include "dispatch/app_state.h"
#include "platform/file_system.h"
#include "tabs/lamps.h"
#include "ui/forms/forms.h"

namespace talvoro::tabs {

class ConfigurationApplier {
 public:
  ConfigurationApplier(config::Configuration& config, ui::MainForm& form, Lamps& lamps,
                       actions::VolumeController& volume, actions::DeviceVolumes& devices,
                       dispatch::VolumeLevels& levels, platform::IFileSystem& files)
      : config_(config),
        form_(form),
        lamps_(lamps),
        volume_(volume),
        devices_(devices),
        levels_(levels),
        files_(files) {}

  // Slot by slot, in a fixed order; the exclusive groups are not enforced. A
  // value that is not a number stops it at that step (ConversionError).
  void ApplyConfiguration();

 private:
  void ApplyActivation(int tab);

  config::Configuration& config_;
  ui::MainForm& form_;
  Lamps& lamps_;
  actions::VolumeController& volume_;
  actions::DeviceVolumes& devices_;
  dispatch::VolumeLevels& levels_;
  platform::IFileSystem& files_;
};

}  // namespace talvoro::tabs
