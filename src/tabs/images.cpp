#include "tabs/images.h"

#include "config/io_error.h"
#include "config/text.h"

namespace talvoro::tabs {

std::shared_ptr<const std::string> LoadPicture(platform::IFileSystem& files,
                                               const std::string& path) {
  auto bytes = files.ReadFile(path);
  if (bytes) return std::make_shared<const std::string>(std::move(*bytes));
  const platform::ReadError& error = bytes.error();
  if (error.failure == platform::ReadFailure::CannotRead)
    throw config::IoError::FromFileError(error.error, error.system_code);
  throw config::AppError("Impossible d'ouvrir le fichier \"" + config::AnsiToUtf8(path) +
                         "\". Le fichier spécifié est introuvable");
}

}  // namespace talvoro::tabs
