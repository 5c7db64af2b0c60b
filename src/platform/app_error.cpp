#include "platform/app_error.h"

#include <string>

namespace talvoro::platform {

IoError IoError::FromFileError(FileError error, std::uint32_t system_code) {
  switch (error) {
    case FileError::NotFound:
    case FileError::PathNotFound:
      return IoError("Fichier introuvable");
    case FileError::TooManyOpenFiles:
      return IoError("Trop de fichiers ouverts");
    case FileError::AccessDenied:
    case FileError::WriteProtected:
    case FileError::SharingViolation:
    case FileError::LockViolation:
      return IoError("Accès au fichier refusé");
    case FileError::DiskFull:
      return IoError("Disque plein");
    case FileError::InvalidName:
      return IoError("Nom de fichier incorrect");
    case FileError::Other:
      break;
  }
  return IoError("Erreur d'E/S " + std::to_string(system_code));
}

}  // namespace talvoro::platform
