// Arbitrary file bytes through the configuration line reader. Checks what
// every caller relies on: a table of exactly the asked size, values that can
// be written back as lines, and a write-then-read that gives the same table.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "config/line_file.h"

namespace {

constexpr std::size_t kProgrammeSlots = 300;
constexpr std::size_t kSettingsEntries = 30;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  using talvoro::config::FormatLines;
  using talvoro::config::ParseLines;

  const std::vector<std::string> values = ParseLines(bytes, kProgrammeSlots);
  Check(values.size() == kProgrammeSlots);
  for (const std::string& value : values) {
    Check(value.find_first_of("\r\n\x1A") == std::string::npos);
  }

  // Written back and read again: the same table.
  const std::string written = FormatLines(values);
  Check(ParseLines(written, kProgrammeSlots) == values);

  // Whatever follows the last expected line is ignored.
  Check(ParseLines(written + std::string(bytes), kProgrammeSlots) == values);

  // A shorter table (the settings file) reads the same first lines.
  const std::vector<std::string> settings = ParseLines(bytes, kSettingsEntries);
  Check(settings.size() == kSettingsEntries);
  Check(std::equal(settings.begin(), settings.end(), values.begin()));
  return 0;
}
