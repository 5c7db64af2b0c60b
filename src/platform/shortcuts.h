// Shell links in the user's StartUp folder: what the settings dialog needs to
// start the program when the user logs on.
#pragma once

#include <optional>
#include <string>

namespace talvoro::platform {

class IShortcuts {
 public:
  virtual ~IShortcuts() = default;
  // The user's StartUp folder as the system knows it, without a trailing
  // separator, in the program's own encoding (Windows-1252); nullopt when the
  // system cannot tell it or the encoding cannot hold it.
  virtual std::optional<std::string> KnownStartupFolder() = 0;
  // Creates (or replaces) the shell link file `link` pointing at `target`
  // (both Windows-1252): no description, no arguments, no working folder,
  // the program shown normally. False when any step failed and no link was
  // written.
  virtual bool CreateShortcut(const std::string& link, const std::string& target) = 0;
};

}  // namespace talvoro::platform
