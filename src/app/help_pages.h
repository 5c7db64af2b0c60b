// The help: French HTML pages, one per topic, in the "help" folder beside the
// program, opened in the user's browser. (A "#fragment" is lost when a file
// is opened through its association, so each topic has a page of its own.)
#pragma once

#include <string>

#include "config/configuration.h"
#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/programs.h"

namespace talvoro::app {

// The topics the program opens.
inline constexpr const char* kHelpContents = "som";      // contents: menus, toolbar
inline constexpr const char* kHelpSerialRs232 = "rub9";  // serial port dialog
inline constexpr const char* kHelpSettings = "rub10";    // settings dialog
inline constexpr const char* kHelpSerialUsb = "rub32";   // serial port dialog, USB receiver

inline constexpr const char* kHelpFolder = "help";

// The page of `topic` under `program_directory` (Windows-1252, with or
// without its trailing separator): <directory>\help\<topic>.html. Empty when
// the topic is not a plain name of letters and digits, so that no topic can
// reach outside the help folder.
std::string HelpPagePath(const std::string& program_directory, const std::string& topic);

class HelpPages {
 public:
  HelpPages(const config::Configuration& config, platform::IFileSystem& files,
            platform::IPrograms& programs, platform::IDialogs& dialogs)
      : config_(config), files_(files), programs_(programs), dialogs_(dialogs) {}

  // Opens the page of `topic` in the default browser. A page that is not
  // there, or that the browser could not be started for, is told in a
  // message box: help that does not come must not look like help that is
  // slow to come.
  void Open(const std::string& topic);

 private:
  const config::Configuration& config_;
  platform::IFileSystem& files_;
  platform::IPrograms& programs_;
  platform::IDialogs& dialogs_;
};

}  // namespace talvoro::app
