#include "app/about_box.h"

#include <algorithm>
#include <cstddef>

namespace talvoro::app {

using ui::AboutId;

std::string GroupDigits(std::uint64_t value, const platform::NumberGrouping& grouping) {
  const std::string digits = std::to_string(value);
  // Cut the digits into groups from the right.
  std::vector<std::string> groups;
  std::size_t end = digits.size();
  std::size_t next = 0;  // index into grouping.sizes
  while (end > 0) {
    int size = 0;
    if (next < grouping.sizes.size())
      size = grouping.sizes[next++];
    else if (grouping.repeat_last && !grouping.sizes.empty())
      size = grouping.sizes.back();
    // A size of 0 (or none left) takes every remaining digit.
    const std::size_t take =
        size > 0 ? std::min<std::size_t>(static_cast<std::size_t>(size), end) : end;
    groups.push_back(digits.substr(end - take, take));
    end -= take;
  }
  std::string text;
  for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
    if (!text.empty()) text += grouping.separator;
    text += *it;
  }
  return text;
}

std::string MemoryText(std::uint64_t bytes, const platform::NumberGrouping& grouping) {
  std::uint64_t kilobytes = bytes / 1024;
  const std::uint64_t rest = bytes % 1024;
  if (rest > 512 || (rest == 512 && kilobytes % 2 == 1)) ++kilobytes;
  return GroupDigits(kilobytes, grouping) + " Ko";
}

std::string LoadText(int percent) {
  return std::to_string(percent) + " %";
}

std::string ResolutionText(platform::ScreenSize screen) {
  return std::to_string(screen.width) + " x " + std::to_string(screen.height);
}

std::string ColourText(int bits_per_pixel) {
  return std::to_string(bits_per_pixel) + " bits";
}

AboutBox::AboutBox(ui::AboutForm& form, platform::ISystemInfo& system, platform::IShell& shell)
    : form_(form), system_(system), shell_(shell) {
  form_.OnActivate([this] { Refresh(); });
  form_.OnClick(AboutId::Button1, [this] { Hide(); });
  form_.OnClose([this] { Hide(); });
}

void AboutBox::Show() {
  form_.ShowOnTop();
}

void AboutBox::Hide() {
  form_.HideFromTop();
}

void AboutBox::Refresh() {
  // The memory is read once for both of its lines.
  const platform::MemoryStatus memory = system_.Memory();
  form_.SetText(AboutId::Label6, MemoryText(memory.total_physical_bytes, system_.LocaleGrouping()));
  form_.SetText(AboutId::Label7, LoadText(memory.load_percent));
  form_.SetText(AboutId::Label8, ResolutionText(shell_.ScreenResolution()));
  form_.SetText(AboutId::Label9, ColourText(system_.ColourDepth()));
}

}  // namespace talvoro::app
