#include "tabs/images.h"

#include "config/io_error.h"
#include "config/text.h"

namespace talvoro::tabs {

namespace {

// Why a picture could not be had, as the sentence after the file's name.
std::string Reason(const platform::ReadError& error) {
  switch (error.failure) {
    case platform::ReadFailure::Missing:
      return "Le fichier spécifié est introuvable";
    case platform::ReadFailure::TooLarge:
      return "Le fichier dépasse 4 Mo : ce n'est pas une image du programme";
    case platform::ReadFailure::CannotOpen:
    case platform::ReadFailure::CannotRead:
      break;
  }
  return config::IoError::FromFileError(error.error, error.system_code).what();
}

}  // namespace

std::shared_ptr<const std::string> LoadPicture(platform::IFileSystem& files,
                                               const std::string& path) {
  auto bytes = files.ReadFileUpTo(path, kMaxPictureBytes);
  if (bytes) return std::make_shared<const std::string>(std::move(*bytes));
  throw config::AppError("Impossible d'ouvrir le fichier \"" + config::AnsiToUtf8(path) + "\". " +
                         Reason(bytes.error()));
}

std::shared_ptr<const std::string> Pictures::Get(const std::string& name) {
  if (auto it = loaded_.find(name); it != loaded_.end()) return it->second;
  if (failed_.count(name)) return nullptr;
  try {
    return loaded_[name] = LoadPicture(files_, path_of_(name));
  } catch (const config::AppError& error) {
    failed_.insert(name);
    unreported_.push_back(error.what());
    return nullptr;
  }
}

void Pictures::ReportNewFailures() {
  if (unreported_.empty()) return;
  std::string message;
  for (const std::string& failure : unreported_)
    message += (message.empty() ? "" : ".\n") + failure;
  unreported_.clear();
  throw config::AppError(message);
}

}  // namespace talvoro::tabs
