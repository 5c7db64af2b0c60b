// The line format shared by parametres.inf, programme_IR.inf and exported
// configurations: one value per line, values kept as raw bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace talvoro::config {

// Reads `count` values from a file's bytes. A line ends at LF; every CR is
// dropped; a Ctrl+Z byte ends the value and the rest of its line is skipped.
// Missing lines give empty values; lines past `count` are ignored.
std::vector<std::string> ParseLines(std::string_view bytes, std::size_t count);

// Writes each value's bytes unchanged, each followed by CR LF.
std::string FormatLines(const std::vector<std::string>& values);

}  // namespace talvoro::config
