#include "config/io_error.h"

#include <charconv>

#include "config/text.h"

namespace talvoro::config {

IoError IoError::FromSystemError(std::uint32_t code) {
  switch (code) {
    case 2:  // ERROR_FILE_NOT_FOUND
    case 3:  // ERROR_PATH_NOT_FOUND
      return IoError("Fichier introuvable");
    case 4:  // ERROR_TOO_MANY_OPEN_FILES
      return IoError("Trop de fichiers ouverts");
    case 5:   // ERROR_ACCESS_DENIED
    case 19:  // ERROR_WRITE_PROTECT
    case 32:  // ERROR_SHARING_VIOLATION
    case 33:  // ERROR_LOCK_VIOLATION
      return IoError("Accès au fichier refusé");
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
      return IoError("Disque plein");
    case 123:  // ERROR_INVALID_NAME
      return IoError("Nom de fichier incorrect");
    default:
      return IoError("Erreur d'E/S " + std::to_string(code));
  }
}

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
