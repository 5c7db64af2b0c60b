// A configuration file chosen for import: turned into the programme table's
// 300 slots, or refused when it is plainly no configuration.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvoro::config {

// A configuration is 300 short lines: a file larger than this is no
// configuration, and is not read whole.
inline constexpr std::size_t kMaxImportBytes = 1024 * 1024;

enum class ImportRefusal {
  TooLarge,  // larger than kMaxImportBytes
  Binary,    // holds a NUL byte: a binary file, not text
};

struct ImportedFile {
  std::optional<ImportRefusal> refusal;  // set: the file must change nothing
  std::vector<std::string> slots;        // the 300 slots when accepted; empty when refused
};

// Reads an import file's bytes as the programme file is read (a shorter file
// leaves the remaining slots empty), unless it is refused.
ImportedFile ReadImportedFile(std::string_view bytes);

// The warning that tells why `utf8_path` was refused and that nothing changed.
std::string RefusalMessage(ImportRefusal refusal, const std::string& utf8_path);

}  // namespace talvoro::config
