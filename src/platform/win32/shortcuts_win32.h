// Shell links in the user's StartUp folder, through the shell's link object.
#pragma once

#include <optional>
#include <string>

#include "platform/shortcuts.h"

namespace talvoro::platform::win32 {

// COM must be initialised on the calling thread (the program's main thread
// is a single-threaded apartment).
class Win32Shortcuts final : public IShortcuts {
 public:
  std::optional<std::string> KnownStartupFolder() override;
  bool CreateShortcut(const std::string& link, const std::string& target) override;
};

}  // namespace talvoro::platform::win32
