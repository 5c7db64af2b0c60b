// The about box (TForm8): the program's name and version, and four lines
// about the computer it runs on, read afresh each time the box becomes
// active. It stays above the other windows while it is open, without
// blocking the main window.
#pragma once

#include <cstdint>
#include <string>

#include "platform/shell.h"
#include "platform/system_info.h"
#include "ui/forms/forms.h"

namespace talvoro::app {

// `value` with its digits grouped as the locale groups them.
std::string GroupDigits(std::uint64_t value, const platform::NumberGrouping& grouping);
// The physical memory in kilobytes, to the nearest whole one (halves to
// even), grouped, followed by " Ko": "2 097 152 Ko".
std::string MemoryText(std::uint64_t bytes, const platform::NumberGrouping& grouping);
// The memory load: "45 %".
std::string LoadText(int percent);
// "1024 x 768".
std::string ResolutionText(platform::ScreenSize screen);
// "32 bits".
std::string ColourText(int bits_per_pixel);

class AboutBox {
 public:
  AboutBox(ui::AboutForm& form, platform::ISystemInfo& system, platform::IShell& shell);

  // Above every other window; the main window goes on working.
  void Show();
  // "&Ok" and the close box: hidden, back in the normal window order.
  void Hide();
  // The four value fields, in the order they are listed.
  void Refresh();

 private:
  ui::AboutForm& form_;
  platform::ISystemInfo& system_;
  platform::IShell& shell_;
};

}  // namespace talvoro::app
