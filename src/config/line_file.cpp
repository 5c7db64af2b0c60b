#include "config/line_file.h"

namespace talvoro::config {

std::vector<std::string> ParseLines(std::string_view bytes, std::size_t count) {
  std::vector<std::string> values(count);
  std::size_t line = 0;
  bool skipping = false;  // after a Ctrl+Z, until the end of the line
  for (char c : bytes) {
    if (line >= count) break;
    if (c == '\n') {
      ++line;
      skipping = false;
    } else if (skipping || c == '\r') {
      continue;
    } else if (c == '\x1A') {
      skipping = true;
    } else {
      values[line].push_back(c);
    }
  }
  return values;
}

std::string FormatLines(const std::vector<std::string>& values) {
  std::size_t size = 0;
  for (const auto& v : values) size += v.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& v : values) {
    out += v;
    out += "\r\n";
  }
  return out;
}

}  // namespace talvoro::config
