// The on-screen display (TForm5): a borderless window above all others that
// announces, while the main window is reduced, what the remote just did. It
// hides itself one to two seconds after the last announcement.
#pragma once

#include <string>

#include "config/configuration.h"
#include "dispatch/app_state.h"
#include "platform/shell.h"
#include "platform/timers.h"
#include "tabs/images.h"
#include "ui/forms/forms.h"

namespace talvoro::osd {

// Announcements are made only while the main window is reduced and the OSD
// setting is exactly "OSD_ON"; every caller tests this first.
bool OsdCondition(const dispatch::AppState& state, const config::SettingsTable& settings);

// Where the OSD goes for a position setting on a screen; false for an
// unknown setting (the window then stays where it was).
struct Point {
  int x = 0;
  int y = 0;
};
bool OsdPlace(const std::string& setting, platform::ScreenSize screen, Point& place);

// The monitor the OSD shows on: the one of the window in front when settings
// entry 11 is exactly "OSD_ECRAN_ACTIF", else the primary screen. The place
// is worked out on its size, then moved by its corner.
platform::ScreenRect OsdScreen(const config::SettingsTable& settings, platform::IShell& shell);

class Osd {
 public:
  static constexpr int kHideInterval = 1000;

  Osd(ui::OsdForm& form, platform::ITimers& timers, platform::IShell& shell,
      const config::Configuration& config, tabs::Pictures& pictures,
      const dispatch::VolumeLevels& levels);

  // Starts (or keeps) the hide countdown, places the window and shows it on top.
  void ShowOsd();
  void ShowOsdMessage(const std::string& title, const std::string& status);
  void SetOsdStatus(const std::string& status);
  void ShowOsdInfo(const std::string& first, const std::string& second);
  // Sets the line's left position as given (no centring).
  void ShowOsdSelection(const std::string& text, int left);
  // The level bars, and the speaker picture `image` from the program
  // directory (a missing one is reported once and left empty).
  void ShowOsdVolume(const std::string& image);
  void ShowOsdBalance(int level);
  // Moves the window to the place the position setting names, on the
  // monitor OsdScreen chooses.
  void PlaceOsd();

  int hide_ticks() const { return hide_ticks_; }
  bool hide_timer_running() const;

 private:
  void ShowPanel(ui::OsdId panel);
  void OnHideTick();

  ui::OsdForm& form_;
  platform::ITimers& timers_;
  platform::IShell& shell_;
  const config::Configuration& config_;
  tabs::Pictures& pictures_;
  const dispatch::VolumeLevels& levels_;
  platform::TimerId hide_timer_ = 0;
  int hide_ticks_ = 0;
};

// The restart and shut-down countdown window (TForm6): two centred lines.
class CountdownWindow {
 public:
  explicit CountdownWindow(ui::CountdownForm& form) : form_(form) {}
  void SetLines(const std::string& first, const std::string& second);
  void Show();
  void Hide();

 private:
  ui::CountdownForm& form_;
};

}  // namespace talvoro::osd
