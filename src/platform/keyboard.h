// Synthesized keyboard input (one call per key press or release).
#pragma once

#include <cstdint>

namespace talvoro::platform {

inline constexpr std::uint8_t kVkMenu = 0x12;  // Alt

class IKeyboard {
 public:
  virtual ~IKeyboard() = default;
  // Sends one key event to the window in front: virtual key `vk`, scan code
  // 0, and as extra information the program's own mark, by which the event
  // never works the program's own windows when one of them is in front.
  // `extended` marks a key of the keyboard's extended set (the arrows, the
  // navigation block, the media keys), so that it acts as the real one.
  virtual void KeyEvent(std::uint8_t vk, bool key_up, bool extended = false) = 0;
};

}  // namespace talvoro::platform
