// The errors the program shows in its standard error box as they stand: its
// own French texts, thrown where they arise and caught at the event entry.
// They live here, below everything, because the platform's file system
// throws them too.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "platform/file_system.h"

namespace talvoro::platform {

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
  static IoError FromFileError(FileError error, std::uint32_t system_code = 0);
};

}  // namespace talvoro::platform
