// How a locale's digit grouping string ("3;0", "3;2;0", "3") reads. No
// Windows header here, so the host's unit tests can check it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "platform/system_info.h"

namespace talvoro::platform::win32 {

// The sizes are separated by semicolons; a last size of 0 repeats the size
// before it ("3;0": every three digits), without one the digits left of the
// listed groups stay together ("3": 1234,567). Anything but digits and
// semicolons is skipped; an empty or all-zero string groups nothing.
inline NumberGrouping ParseGrouping(std::wstring_view text, std::string separator) {
  NumberGrouping grouping;
  grouping.separator = std::move(separator);
  grouping.sizes.clear();
  grouping.repeat_last = false;
  int size = 0;
  bool digits = false;
  auto end_group = [&] {
    if (digits) grouping.sizes.push_back(size);
    size = 0;
    digits = false;
  };
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9') {
      if (size < 100) size = size * 10 + static_cast<int>(c - L'0');
      digits = true;
    } else if (c == L';') {
      end_group();
    }
  }
  end_group();
  if (!grouping.sizes.empty() && grouping.sizes.back() == 0) {
    grouping.sizes.pop_back();
    grouping.repeat_last = !grouping.sizes.empty();
  }
  // A group of 0 digits in the middle would never end: it stops the grouping.
  for (std::size_t i = 0; i < grouping.sizes.size(); ++i)
    if (grouping.sizes[i] == 0) {
      grouping.sizes.resize(i);
      grouping.repeat_last = false;
      break;
    }
  return grouping;
}

}  // namespace talvoro::platform::win32
