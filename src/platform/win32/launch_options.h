// Small text rules of the Windows layer that need no Windows header (the
// host's unit tests check them).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvoro::platform::win32 {

// True when one of the arguments (the program path excluded) is "/simulate",
// in any letter case: the receiver is then replaced by the simulated bus.
inline bool HasSimulateSwitch(const std::vector<std::wstring>& arguments) {
  constexpr std::wstring_view kSwitch = L"/simulate";
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::wstring& arg = arguments[i];
    if (arg.size() != kSwitch.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < arg.size() && same; ++k) {
      wchar_t c = arg[k];
      if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
      same = c == kSwitch[k];
    }
    if (same) return true;
  }
  return false;
}

// The registry functions take a sub-key relative to the root key and fail on
// a name that starts with a separator, while the program writes its key the
// way older registry helpers took it, as an absolute "\Software\..." path.
inline std::string_view RelativeRegistryKey(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  return key;
}

// Fits a text into a fixed, zero-terminated UTF-16 field of `capacity` units
// (the notification tip), without splitting a surrogate pair.
inline std::wstring FitToField(std::wstring text, std::size_t capacity) {
  if (capacity == 0) return {};
  if (text.size() < capacity) return text;
  std::size_t keep = capacity - 1;
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
  text.resize(keep);
  return text;
}

}  // namespace talvoro::platform::win32
