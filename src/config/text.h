// The program's texts are Windows-1252 bytes on disk and in its tables, UTF-8
// in the code and the form model; these convert between the two.
#pragma once

#include <string>
#include <string_view>

namespace talvoro::config {

std::string AnsiToUtf8(std::string_view ansi);
// Characters that Windows-1252 cannot hold become '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// An ASCII letter in lower case; every other byte as it is.
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace talvoro::config
