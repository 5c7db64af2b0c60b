// Facts about the computer the program runs on, for the about box: its
// memory, its screen's colour depth and how the user's locale groups digits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvoro::platform {

struct MemoryStatus {
  std::uint64_t total_physical_bytes = 0;
  int load_percent = 0;  // 0..100: how much of the physical memory is in use
};

// How the user's locale writes large numbers. `sizes` lists the sizes of the
// digit groups from the right (3 for 1 234 567); with `repeat_last` the last
// size goes on for every further group, without it the digits left of the
// listed groups stay together. No sizes: no grouping at all.
struct NumberGrouping {
  std::string separator = " ";  // UTF-8: may be a character Windows-1252 lacks (U+202F)
  std::vector<int> sizes{3};
  bool repeat_last = true;
};

class ISystemInfo {
 public:
  virtual ~ISystemInfo() = default;
  virtual MemoryStatus Memory() = 0;
  // Bits per pixel of the screen.
  virtual int ColourDepth() = 0;
  virtual NumberGrouping LocaleGrouping() = 0;
};

}  // namespace talvoro::platform
