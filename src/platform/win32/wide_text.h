// Text at the Windows boundary: the core speaks UTF-8 (user-interface texts)
// and Windows-1252 bytes (table values, paths); the W functions take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace talvoro::platform::win32 {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// Windows-1252 bytes, as the program stores paths.
std::wstring AnsiToWide(std::string_view ansi);
// Characters that Windows-1252 cannot hold become '?'; `lossy` (when given)
// tells whether that happened.
std::string WideToAnsi(std::wstring_view wide, bool* lossy = nullptr);

}  // namespace talvoro::platform::win32
