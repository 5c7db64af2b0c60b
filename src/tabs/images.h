// Pictures read from the program directory.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace talvoro::tabs {

// The bytes of a BMP file; throws AppError ("Impossible d'ouvrir le fichier
// ...") when it is missing or cannot be opened, and IoError when it was
// opened but could not be read.
std::shared_ptr<const std::string> LoadPicture(platform::IFileSystem& files,
                                               const std::string& path);

}  // namespace talvoro::tabs
