#include "media/key_steps.h"

namespace talvoro::media {

namespace {

void SendOnce(const KeyStep& step, platform::IKeyboard& keyboard) {
  for (std::uint8_t modifier : step.modifiers)
    if (modifier != 0) keyboard.KeyEvent(modifier, false);
  keyboard.KeyEvent(step.key, false);
  keyboard.KeyEvent(step.key, true);
  for (auto it = step.modifiers.rbegin(); it != step.modifiers.rend(); ++it)
    if (*it != 0) keyboard.KeyEvent(*it, true);
}

}  // namespace

void SendSteps(const KeyScript& script, platform::IKeyboard& keyboard, platform::IClock& clock) {
  for (const KeyStep& step : script) {
    if (step.kind == StepKind::Wait) {
      clock.Sleep(step.ms);
      continue;
    }
    for (int i = 0; i < step.times; ++i) SendOnce(step, keyboard);
  }
}

}  // namespace talvoro::media
