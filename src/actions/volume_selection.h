// What the Volumes tab shows for the selected volume: the level's title and
// the master-only controls (balance, mute), shown for the general volume.
#pragma once

#include "ui/forms/forms.h"

namespace talvoro::actions {

inline void ShowVolumeSelection(ui::MainForm& form, bool general) {
  using ui::MainId;
  form.SetText(MainId::Label16, general ? "Volume général" : "Volume wave / MP3");
  form.SetLeft(MainId::Label16, general ? 98 : 88);
  form.SetVisible(MainId::Panel4, general);
  form.SetVisible(MainId::SpeedButton6, general);
  form.SetVisible(MainId::Label15, general);
}

}  // namespace talvoro::actions
