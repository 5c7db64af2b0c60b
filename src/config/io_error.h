// Errors of the tables: a value that is not a number; and the program's
// reported errors.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/app_error.h"

namespace talvoro::config {

// The program's reported errors (platform/app_error.h), under the names the
// tables' code has always used.
using platform::AppError;
using platform::IoError;

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
