// Pictures read from the program directory.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>
#include <string>

#include "platform/file_system.h"

namespace talvoro::tabs {

// The program's pictures are a few kilobytes: a file larger than this is no
// picture of the program's, and is not read.
inline constexpr std::uint64_t kMaxPictureBytes = 4 * 1024 * 1024;

// The bytes of a BMP file; throws AppError "Impossible d'ouvrir le fichier
// "<path>". <reason>" when they cannot be had: "Le fichier spécifié est
// introuvable" when it is missing, the file error's own text when it could
// not be opened or read ("Accès au fichier refusé", ...), and a word on its
// size when it is larger than kMaxPictureBytes.
std::shared_ptr<const std::string> LoadPicture(platform::IFileSystem& files,
                                               const std::string& path);

// Pictures named by file, read once from the program directory and kept. A
// picture that cannot be read is shown empty; its error is reported once,
// when ReportNewFailures() is called after the operation has completed.
class Pictures {
 public:
  Pictures(platform::IFileSystem& files, std::function<std::string(const std::string&)> path_of)
      : files_(files), path_of_(std::move(path_of)) {}

  // The picture, or null when it cannot be read.
  std::shared_ptr<const std::string> Get(const std::string& name);
  // Throws the failures not reported yet (one AppError, a line each), if any.
  void ReportNewFailures();

 private:
  platform::IFileSystem& files_;
  std::function<std::string(const std::string&)> path_of_;
  std::map<std::string, std::shared_ptr<const std::string>> loaded_;
  std::set<std::string> failed_;
  std::vector<std::string> unreported_;
};

}  // namespace talvoro::tabs
