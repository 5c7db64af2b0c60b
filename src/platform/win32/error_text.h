// The text rule of the standard error box. No Windows header here, so the
// host's unit tests can check it.
#pragma once

#include <string>

namespace talvoro::platform::win32 {

// The error box shows every message as a sentence: a message that does not
// end with a full stop gets one. An empty message stays empty.
inline std::string ErrorBoxText(std::string message) {
  if (!message.empty() && message.back() != '.') message.push_back('.');
  return message;
}

}  // namespace talvoro::platform::win32
