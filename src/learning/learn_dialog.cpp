#include "learning/learn_dialog.h"

#include <exception>

#include "tabs/images.h"

namespace talvoro::learning {

using ui::LearnId;

LearnDialog::LearnDialog(ui::LearnForm& form, platform::ITimers& timers,
                         platform::IFileSystem& files, const config::Configuration& config)
    : form_(form), timers_(timers), files_(files), config_(config) {
  blink_timer_ = timers_.CreateTimer(kBlinkInterval, [this] { OnBlink(); });
  form_.OnCreate([this] { OnCreate(); });
  form_.OnClick(LearnId::Button1, [this] {
    if (abandon_) abandon_();
  });
}

void LearnDialog::OnCreate() {
  // Both pictures are read here, once; a missing one is reported once and
  // its lamp stays dark.
  std::exception_ptr error;
  for (auto [picture, name] : {std::pair{&on_, "ledon.bmp"}, std::pair{&off_, "ledoff.bmp"}}) {
    try {
      *picture = tabs::LoadPicture(files_, config_.FilePath(name));
    } catch (...) {
      if (!error) error = std::current_exception();
    }
  }
  phase_ = false;
  ShowLamps(true);
  if (error) std::rethrow_exception(error);
}

void LearnDialog::ShowLamps(bool left_on) {
  form_.SetImage(LearnId::Image1, left_on ? on_ : off_);
  form_.SetImage(LearnId::Image3, left_on ? off_ : on_);
}

void LearnDialog::OnBlink() {
  ShowLamps(phase_);
  phase_ = !phase_;
}

void LearnDialog::Show() {
  form_.ShowOnTop();
  timers_.EnableTimer(blink_timer_, true);
}

void LearnDialog::Hide() {
  timers_.EnableTimer(blink_timer_, false);
  form_.HideFromTop();
}

bool LearnDialog::shown() const {
  return form_.Shown();
}

bool LearnDialog::blinking() const {
  return timers_.TimerEnabled(blink_timer_);
}

ConflictWindow::ConflictWindow(ui::ConflictForm& form) : form_(form) {
  form_.OnClick(ui::ConflictId::Button1, [this] { Hide(); });
}

void ConflictWindow::Show() {
  form_.ShowOnTop();
}

void ConflictWindow::Hide() {
  form_.HideFromTop();
}

}  // namespace talvoro::learning
