#include "config/io_error.h"

#include <charconv>

#include "config/text.h"

namespace talvoro::config {

ConversionError::ConversionError(const std::string& value)
    : AppError("'" + AnsiToUtf8(value) + "' n'est pas une valeur entière correcte") {}

int ToInteger(const std::string& value) {
  const char* first = value.data();
  const char* last = value.data() + value.size();
  // from_chars takes a '-' sign only; a '+' must be followed by a digit.
  if (first != last && *first == '+') {
    ++first;
    if (first == last || *first < '0' || *first > '9') throw ConversionError(value);
  }
  int result = 0;
  const auto [end, ec] = std::from_chars(first, last, result);
  if (ec != std::errc() || end != last) throw ConversionError(value);
  return result;
}

}  // namespace talvoro::config
