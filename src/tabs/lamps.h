// The tabs' indicator lamps, read from ledon.bmp and ledoff.bmp in the
// program directory.
#pragma once

#include "config/configuration.h"
#include "platform/file_system.h"
#include "ui/forms/forms.h"

namespace talvoro::tabs {

class Lamps {
 public:
  Lamps(platform::IFileSystem& files, const config::Configuration& config, ui::MainForm& form)
      : files_(files), config_(config), form_(form) {}

  // Throws AppError ("Impossible d'ouvrir le fichier ...") when the picture
  // cannot be read; the lamp then keeps its picture.
  void ShowLedOn(int tab) { Show(tab, true); }
  void ShowLedOff(int tab) { Show(tab, false); }
  void Show(int tab, bool on);

 private:
  platform::IFileSystem& files_;
  const config::Configuration& config_;
  ui::MainForm& form_;
};

}  // namespace talvoro::tabs
