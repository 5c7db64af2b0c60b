#include "app/import_export.h"

#include "config/import_file.h"
#include "config/io_error.h"
#include "config/line_file.h"
#include "config/text.h"

namespace talvoro::app {
namespace {

constexpr const char* kWarningCaption = "Avertissement";

std::string TwoDigits(int value) {
  return (value >= 0 && value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string ExportFileName(const platform::DateTime& now) {
  return "Talvoro_" + std::to_string(now.day) + "_" + std::to_string(now.month) + "_" +
         std::to_string(now.year) + "_" + std::to_string(now.hour) + "_" + TwoDigits(now.minute) +
         "_" + TwoDigits(now.second);
}

std::optional<std::string> PathToWrite(const std::string& utf8_path, platform::IFileSystem& files) {
  if (auto kept = config::ProgramPath(utf8_path, files)) return kept;
  // A new file has no short form yet; its folder may.
  const std::size_t separator = utf8_path.find_last_of("\\/");
  if (separator == std::string::npos) return std::nullopt;
  const std::string name = utf8_path.substr(separator + 1);
  const std::string name_bytes = config::Utf8ToAnsi(name);
  if (name.empty() || config::AnsiToUtf8(name_bytes) != name) return std::nullopt;
  auto folder = config::ProgramPath(utf8_path.substr(0, separator), files);
  if (!folder) return std::nullopt;
  return *folder + "\\" + name_bytes;
}

void ImportExport::Export() {
  platform::SaveFileRequest request;
  request.filter = kConfigurationFilter;
  request.default_name = ExportFileName(clock_.Now());
  request.default_extension = kConfigurationExtension;
  const std::optional<std::string> chosen = file_dialogs_.Save(request);
  file_dialogs_.SaveFolderAfter([&] {
    if (chosen) Write(*chosen);
  });
}

void ImportExport::Write(const std::string& chosen) {
  const std::optional<std::string> path = PathToWrite(chosen, files_);
  if (!path) throw config::IoError::FromFileError(platform::FileError::InvalidName);
  if (files_.FileExists(*path) &&
      dialogs_.MessageBox(kOverwriteQuestion, kWarningCaption, platform::BoxIcon::Warning,
                          platform::BoxButtons::YesNo) != platform::BoxResult::Yes)
    return;
  config::SaveChosenFileSafely(files_, *path, config::FormatLines(config_.programme().Lines()));
}

void ImportExport::Import() {
  const std::optional<std::string> chosen =
      file_dialogs_.Open(config::FileDialogs::kImportDialog, kConfigurationFilter);
  file_dialogs_.SaveFolderAfter([&] { Load(chosen); });
}

void ImportExport::Load(const std::optional<std::string>& chosen) {
  if (chosen) {
    // A name the file system cannot be given is a file that cannot be opened.
    const std::optional<std::string> path = config::ProgramPath(*chosen, files_);
    if (!path) throw config::IoError::FromFileError(platform::FileError::InvalidName);

    // Any file can be chosen, and an import replaces the whole table and
    // programme_IR.inf with no way back: what is plainly no configuration is
    // refused before it changes anything, and a huge one is never read whole.
    const platform::ReadResult bytes = files_.ReadFileUpTo(*path, config::kMaxImportBytes);
    std::optional<config::ImportRefusal> refusal;
    config::ImportedFile imported;
    if (!bytes) {
      const platform::ReadError& error = bytes.error();
      if (error.failure != platform::ReadFailure::TooLarge)
        throw config::IoError::FromFileError(error.error, error.system_code);
      refusal = config::ImportRefusal::TooLarge;
    } else {
      imported = config::ReadImportedFile(*bytes);
      refusal = imported.refusal;
    }
    if (refusal) {
      dialogs_.MessageBox(config::RefusalMessage(*refusal, *chosen), kWarningCaption,
                          platform::BoxIcon::Warning, platform::BoxButtons::Ok);
      return;
    }
    config_.programme().Assign(imported.slots);
  }
  // Also after a cancelled dialog: the file is rewritten and the window set
  // from the table again.
  config_.SaveProgramme();
  if (apply_) apply_();
}

}  // namespace talvoro::app
