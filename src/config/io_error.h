// Errors the program reports in its standard error box.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/file_system.h"

namespace talvoro::config {

// An error reported to the user as it stands; the text is UTF-8 French.
class AppError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that could not be created, written or replaced.
class IoError : public AppError {
 public:
  using AppError::AppError;
  // The French text for a file error ("Accès au fichier refusé", "Disque
  // plein", ...); `system_code` is the system's own number, shown for the
  // errors the program does not name (FileError::Other).
  static IoError FromFileError(platform::FileError error, std::uint32_t system_code = 0);
};

// A slot or entry that should hold a decimal integer and does not.
class ConversionError : public AppError {
 public:
  // `value` is the table's raw (Windows-1252) text.
  explicit ConversionError(const std::string& value);
};

// Converts a table value holding a decimal integer (optional sign, digits,
// within the 32-bit range); throws ConversionError otherwise.
int ToInteger(const std::string& value);

}  // namespace talvoro::config
