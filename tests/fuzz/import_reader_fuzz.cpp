// Arbitrary file bytes through the configuration import's reader. Checks what
// the import relies on: a file is either refused, with no slots, or gives
// exactly the 300 slots of the programme table, each writable back as a
// line; a refused file is one too large or holding a NUL byte, and no other.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "config/import_file.h"
#include "config/line_file.h"

namespace {

constexpr std::size_t kProgrammeSlots = 300;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using talvoro::config::ImportRefusal;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const talvoro::config::ImportedFile file = talvoro::config::ReadImportedFile(bytes);

  const bool too_large = size > talvoro::config::kMaxImportBytes;
  const bool binary = bytes.find('\0') != std::string_view::npos;
  if (too_large) {
    Check(file.refusal == ImportRefusal::TooLarge);
  } else if (binary) {
    Check(file.refusal == ImportRefusal::Binary);
  } else {
    Check(!file.refusal);
  }
  if (file.refusal) {
    Check(file.slots.empty());
    return 0;
  }

  Check(file.slots.size() == kProgrammeSlots);
  for (const std::string& slot : file.slots)
    Check(slot.find_first_of(std::string_view("\r\n\x1A\0", 4)) == std::string::npos);

  // Exported again and imported back: the same slots.
  const std::string exported = talvoro::config::FormatLines(file.slots);
  const talvoro::config::ImportedFile again = talvoro::config::ReadImportedFile(exported);
  Check(!again.refusal);
  Check(again.slots == file.slots);
  return 0;
}
