// The learning dialog (TForm4): a window on top of the others that invites a
// remote button press, its two lamps blinking in turn, and the conflict
// warning (TForm7) shown when a code is refused.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "config/configuration.h"
#include "platform/file_system.h"
#include "platform/timers.h"
#include "ui/forms/forms.h"

namespace talvoro::learning {

class LearnDialog {
 public:
  static constexpr int kBlinkInterval = 200;

  LearnDialog(ui::LearnForm& form, platform::ITimers& timers, platform::IFileSystem& files,
              const config::Configuration& config);

  // "&Abandonner".
  void OnAbandon(std::function<void()> fn) { abandon_ = std::move(fn); }

  // On top of the other windows, lamps blinking.
  void Show();
  // Hidden and back to normal window order; the lamps rest.
  void Hide();
  bool shown() const;
  bool blinking() const;

 private:
  void OnCreate();
  void OnBlink();
  void ShowLamps(bool left_on);

  ui::LearnForm& form_;
  platform::ITimers& timers_;
  platform::IFileSystem& files_;
  const config::Configuration& config_;
  platform::TimerId blink_timer_ = 0;
  bool phase_ = false;
  // Read once when the window is created: the lamps blink five times a second.
  std::shared_ptr<const std::string> on_;
  std::shared_ptr<const std::string> off_;
  std::function<void()> abandon_;
};

class ConflictWindow {
 public:
  explicit ConflictWindow(ui::ConflictForm& form);
  void Show();
  void Hide();

 private:
  ui::ConflictForm& form_;
};

}  // namespace talvoro::learning
