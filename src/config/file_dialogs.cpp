#include "config/file_dialogs.h"

#include <stdexcept>

#include "config/text.h"

namespace talvoro::config {

std::optional<std::string> ProgramPath(const std::string& utf8_path, platform::IFileSystem& files) {
  std::string bytes = Utf8ToAnsi(utf8_path);
  // Every character survived when the bytes read back as the same text.
  if (AnsiToUtf8(bytes) == utf8_path) return bytes;
  return files.ShortPath(utf8_path);
}

std::optional<std::string> FileDialogs::Open(int number, const std::string& filter,
                                             const std::string& title) {
  if (number < 1 || number > kCount) throw std::out_of_range("file dialog number");
  const bool import_dialog = number == kImportDialog;
  std::string& folder = folders_[static_cast<std::size_t>(number - 1)];
  platform::OpenFileRequest request;
  request.title = title;
  request.filter = filter;
  request.initial_folder = import_dialog ? AnsiToUtf8(config_.settings()[kDialogFolder]) : folder;

  platform::OpenFileResult result = dialogs_.OpenFile(request);

  if (!result.folder.empty()) {
    if (import_dialog)
      KeepDialogFolder(result.folder);
    else
      folder = result.folder;
  }
  return result.path;
}

std::optional<std::string> FileDialogs::Save(platform::SaveFileRequest request) {
  request.initial_folder = AnsiToUtf8(config_.settings()[kDialogFolder]);
  platform::SaveFileResult result = dialogs_.SaveFile(request);
  if (!result.folder.empty()) KeepDialogFolder(result.folder);
  return result.path;
}

void FileDialogs::SaveFolderAfter(const std::function<void()>& operation) {
  auto save = [this] {
    if (!folder_unsaved_) return;
    // Owed no more, whatever the save gives: its failure is told once.
    folder_unsaved_ = false;
    config_.SaveSettings();
  };
  try {
    operation();
  } catch (...) {
    try {
      save();
    } catch (...) {
      folder_unsaved_ = true;
    }
    throw;
  }
  save();
}

void FileDialogs::KeepDialogFolder(const std::string& utf8_folder) {
  // A folder the settings cannot keep is left out: the next dialog then
  // opens where the setting still points.
  if (auto kept = ProgramPath(utf8_folder, files_);
      kept && *kept != config_.settings()[kDialogFolder]) {
    config_.settings()[kDialogFolder] = *kept;
    folder_unsaved_ = true;
  }
}

}  // namespace talvoro::config
